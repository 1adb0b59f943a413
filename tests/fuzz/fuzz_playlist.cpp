// Playlists come from the network: whatever the bytes, sniffing and parsing must end, must not
// crash, and may only ever hand out network streams.
//
// Built two ways: as a libFuzzer target (LUMIVO_LIBFUZZER, clang only) and as a plain replay
// program (ReplayDriver).

#include "Playlist.h"
#include "ReplayDriver.h"

#include <QByteArray>
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

} // namespace

int main(int argc, char** argv)
{
    static const QList<QByteArray> tokens = {
        "<", ">", "/>", "\"", "'", "=", "&", "&amp;", "&#", ";", "<!--", "-->", "<![CDATA[", "]]>", "<?", "?>",
        "<ref href=", "<entryref href=", "<media src=", "<asx>", "<smil>", "[Reference]", "Ref1=", "\r\n", "\n",
        QByteArray("\0", 1), "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF", "mms://", "file://", "../", "\\\\", "C:\\",
    };
    return fuzzreplay::run({"fuzz_playlist", seeds(), tokens}, argc, argv);
}

#endif
