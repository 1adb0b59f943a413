#include "ReplayDriver.h"

#include <QFile>
#include <QString>

#include <cstdio>

namespace fuzzreplay {
namespace {

void runOne(QByteArrayView bytes)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), size_t(bytes.size()));
}

// xorshift64*: the same series on every machine.
struct Random
{
    quint64 state = 0x9E3779B97F4A7C15ull;
    quint64 next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1Dull;
    }
    qsizetype below(qsizetype n) { return n > 0 ? qsizetype(next() % quint64(n)) : 0; }
};

QByteArray mutate(QByteArray bytes, const Target& target, Random& random)
{
    const int steps = 1 + int(random.below(4));
    for (int step = 0; step < steps; ++step) {
        const qsizetype at = random.below(bytes.size() + 1);
        switch (random.below(7)) {
        case 0: // flip a byte
            if (!bytes.isEmpty())
                bytes[random.below(bytes.size())] = char(random.next());
            break;
        case 1:
            if (!target.tokens.isEmpty())
                bytes.insert(at, target.tokens[random.below(target.tokens.size())]);
            break;
        case 2:
            bytes.remove(at, random.below(16) + 1);
            break;
        case 3:
            bytes.truncate(at);
            break;
        case 4: { // repeat a piece
            const qsizetype len = random.below(32) + 1;
            bytes.insert(at, bytes.mid(random.below(bytes.size() + 1), len));
            break;
        }
        case 5: { // splice in part of another seed
            const QByteArray& other = target.seeds[random.below(target.seeds.size())];
            bytes.insert(at, other.mid(random.below(other.size() + 1)));
            break;
        }
        default:
            bytes.insert(at, char(random.next()));
            break;
        }
    }
    return bytes.left(target.maxSize);
}

} // namespace

int run(const Target& target, int argc, char** argv)
{
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) {
            QFile file(QString::fromLocal8Bit(argv[i]));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "%s: cannot read %s\n", target.name, argv[i]);
                return 2;
            }
            runOne(file.readAll());
        }
        std::printf("%s: %d file(s) passed\n", target.name, argc - 1);
        return 0;
    }
    Random random;
    int runs = 0;
    for (const QByteArray& seed : target.seeds) {
        for (qsizetype n = 0; n <= seed.size(); ++n, ++runs)
            runOne(QByteArrayView(seed).first(n)); // every truncation of every seed
    }
    QByteArray current = target.seeds.first();
    for (int i = 0; i < target.mutations; ++i, ++runs) {
        // Mostly walk on from the last input, sometimes start again from a seed.
        if (random.below(8) == 0)
            current = target.seeds[random.below(target.seeds.size())];
        current = mutate(current, target, random);
        runOne(current);
    }
    std::printf("%s: %d inputs passed\n", target.name, runs);
    return 0;
}

} // namespace fuzzreplay
