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

int main(int argc, char** argv)
{
    return fuzzreplay::run({"fuzz_playlist"}, argc, argv);
}

#endif
