// Playlists come from the network: whatever the bytes, sniffing and parsing must end, must not
// crash, and may only ever hand out network streams.
//
// Built two ways: as a libFuzzer target (LUMIVO_LIBFUZZER, clang only) and as a plain replay
// program that runs the files named on its command line, or else a built-in set of seeds and a
// fixed series of mutations of them, so every compiler's CI run exercises the parser the same way.

#include "Playlist.h"

#include <QByteArray>
#include <QFile>
#include <QSet>
#include <QUrl>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_playlist: broken: %s\n", what);
        std::abort();
    }
}

void runOne(QByteArrayView bytes)
{
    static const QUrl base(QStringLiteral("http://content.example/asx/cctv/cctv1.asx"));
    const playlist::Kind kind = playlist::sniff(bytes);
    const auto early = playlist::sniffPrefix(bytes);
    check(!early || *early == kind, "sniffPrefix disagrees with sniff");
    (void)playlist::looksLikeHtml(bytes);

    const playlist::Parsed parsed = playlist::parse(bytes, base);
    check(parsed.kind == kind, "parse and sniff disagree on the kind");
    check(kind != playlist::Kind::NotPlaylist || parsed.candidates.isEmpty(), "candidates from a non-playlist");
    check(!parsed.candidates.isEmpty() || !parsed.error.isEmpty(), "nothing usable, yet no error");
    QSet<QUrl> seen;
    for (const QUrl& candidate : parsed.candidates) {
        check(playlist::isNetworkStreamUrl(candidate), "a candidate that is not a network stream");
        check(!seen.contains(candidate), "a duplicate candidate");
        seen.insert(candidate);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    runOne(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}

#ifndef LUMIVO_LIBFUZZER

namespace {

QList<QByteArray> seeds()
{
    QList<QByteArray> out = {
        "<asx version=\"3.0\"><entry><ref href=\"mms://a/1\"/><ref href=\"http://a/2\"/></entry></asx>",
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!-- c --><ASX><Entry><Ref HREF='x.asf'/></Entry><EntryRef href=more.asx></ASX>",
        "<asx><ref href=\"http://a/s?x=1&amp;y=2&#38;z&#x26;\"/><ref href=\"http://a/t?x=1&y=2\"/></asx>",
        "<asx><ref href=\"file:///etc/passwd\"/><ref href=\"lavf://x\"/><ref href=\"C:\\x\"/><ref href=\"/etc/passwd\"/></asx>",
        "<asx><!-- <ref href=\"http://old/\"/> --><abstract><![CDATA[<ref href=\"http://x/\">]]></abstract>",
        "<asx><entry><ref href=\"http://a/1\"\n<ref href=\"http://a/2\"></entry>",
        "<?wsx version=\"1.0\"?>\r\n<smil><seq><media src=\"http://a/1\"/><switch><ref src=\"rtsp://a/2\"/></switch></seq></smil>",
        "[Reference]\r\nRef1=http://a/1?MSWMExt=.asf\r\nRef2=mms://a/2\r\n",
        "[reference]\nref2=\"mmst://a/2\"\nref1=//b/1\n[x]\nref3=http://c/",
        "<!DOCTYPE html><html><body><ref href=\"http://a/1\"></body></html>",
        "#EXTM3U\n#EXTINF:2,\nseg.ts\n",
        "\x47\x40\x00\x10\x00\x00\xB0\x0D",
        "<asx><ref href=http://a/1/><ref href = 'http://a/2' ><ref href=\"",
        "<asx><ref href=\"&#xD800;&#0;&#99999999;&#x;&\"/></asx>",
        "<",
        "[Ref",
        "<!--",
        "<?",
    };
    // UTF-16 in both byte orders.
    const QString wide = QStringLiteral("<?xml version=\"1.0\"?><ASX><Entry><Ref href=\"mms://a/1\"/></Entry></ASX>");
    for (bool bigEndian : {false, true}) {
        QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
        for (QChar c : wide) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
            bytes += bigEndian ? hi : lo;
            bytes += bigEndian ? lo : hi;
        }
        out += bytes;
    }
    return out;
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

QByteArray mutate(QByteArray bytes, const QList<QByteArray>& pool, Random& random)
{
    static const QList<QByteArray> tokens = {
        "<", ">", "/>", "\"", "'", "=", "&", "&amp;", "&#", ";", "<!--", "-->", "<![CDATA[", "]]>", "<?", "?>",
        "<ref href=", "<entryref href=", "<media src=", "<asx>", "<smil>", "[Reference]", "Ref1=", "\r\n", "\n",
        QByteArray("\0", 1), "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF", "mms://", "file://", "../", "\\\\", "C:\\",
    };
    const int steps = 1 + int(random.below(4));
    for (int step = 0; step < steps; ++step) {
        const qsizetype at = random.below(bytes.size() + 1);
        switch (random.below(7)) {
        case 0: // flip a byte
            if (!bytes.isEmpty())
                bytes[random.below(bytes.size())] = char(random.next());
            break;
        case 1:
            bytes.insert(at, tokens[random.below(tokens.size())]);
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
            const QByteArray& other = pool[random.below(pool.size())];
            bytes.insert(at, other.mid(random.below(other.size() + 1)));
            break;
        }
        default:
            bytes.insert(at, char(random.next()));
            break;
        }
    }
    return bytes.left(64 * 1024);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) {
            QFile file(QString::fromLocal8Bit(argv[i]));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "fuzz_playlist: cannot read %s\n", argv[i]);
                return 2;
            }
            runOne(file.readAll());
        }
        std::printf("fuzz_playlist: %d file(s) passed\n", argc - 1);
        return 0;
    }
    const QList<QByteArray> pool = seeds();
    Random random;
    int runs = 0;
    for (const QByteArray& seed : pool) {
        for (qsizetype n = 0; n <= seed.size(); ++n, ++runs)
            runOne(QByteArrayView(seed).first(n)); // every truncation of every seed
    }
    QByteArray current = pool.first();
    for (int i = 0; i < 20000; ++i, ++runs) {
        // Mostly walk on from the last input, sometimes start again from a seed.
        if (random.below(8) == 0)
            current = pool[random.below(pool.size())];
        current = mutate(current, pool, random);
        runOne(current);
    }
    std::printf("fuzz_playlist: %d inputs passed\n", runs);
    return 0;
}

#endif
