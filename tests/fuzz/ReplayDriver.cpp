#include "ReplayDriver.h"

#include <QDir>
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

struct Data
{
    QList<QByteArray> seeds;
    QList<QByteArray> tokens;
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(2);
    }
    return file.readAll();
}

Data loadData(const Target& target)
{
    const QString shortName = QString::fromLatin1(target.name).remove(QStringLiteral("fuzz_"));
    const QDir root(QStringLiteral(LUMIVO_FUZZ_DATA_DIR));
    Data data;
    const QDir corpus(root.filePath(QStringLiteral("corpus/") + shortName));
    for (const QString& entry : corpus.entryList(QDir::Files, QDir::Name))
        data.seeds += readFile(corpus.filePath(entry));
    data.tokens = parseDictionary(readFile(root.filePath(shortName + QStringLiteral(".dict"))));
    if (data.seeds.isEmpty()) {
        std::fprintf(stderr, "%s: no seeds in %s\n", target.name, qPrintable(corpus.path()));
        std::exit(2);
    }
    return data;
}

QByteArray mutate(QByteArray bytes, const Target& target, const Data& data, Random& random)
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
            if (!data.tokens.isEmpty())
                bytes.insert(at, data.tokens[random.below(data.tokens.size())]);
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
            const QByteArray& other = data.seeds[random.below(data.seeds.size())];
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

QList<QByteArray> parseDictionary(const QByteArray& text)
{
    QList<QByteArray> tokens;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        const qsizetype open = line.indexOf('"');
        if (line.isEmpty() || line.startsWith('#') || open < 0 || !line.endsWith('"') || line.size() - open < 2)
            continue;
        const QByteArray body = line.mid(open + 1, line.size() - open - 2);
        QByteArray token;
        bool ok = true;
        for (qsizetype i = 0; i < body.size() && ok; ++i) {
            if (body[i] != '\\') {
                token += body[i];
            } else if (i + 1 < body.size() && (body[i + 1] == '\\' || body[i + 1] == '"')) {
                token += body[++i];
            } else if (i + 3 < body.size() && body[i + 1] == 'x') {
                token += char(body.mid(i + 2, 2).toInt(&ok, 16));
                i += 3;
            } else {
                ok = false;
            }
        }
        if (ok && !token.isEmpty())
            tokens += token;
    }
    return tokens;
}

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
    const Data data = loadData(target);
    Random random;
    int runs = 0;
    for (const QByteArray& seed : data.seeds) {
        for (qsizetype n = 0; n <= seed.size(); ++n, ++runs)
            runOne(QByteArrayView(seed).first(n)); // every truncation of every seed
    }
    QByteArray current = data.seeds.first();
    for (int i = 0; i < target.mutations; ++i, ++runs) {
        // Mostly walk on from the last input, sometimes start again from a seed.
        if (random.below(8) == 0)
            current = data.seeds[random.below(data.seeds.size())];
        current = mutate(current, target, data, random);
        runOne(current);
    }
    std::printf("%s: %d inputs passed\n", target.name, runs);
    return 0;
}

} // namespace fuzzreplay
