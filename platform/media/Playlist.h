#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// Playlists as stations and our content server publish them: XML playlists of entries with
// references, the server-side XML form, and the old INI "[Reference]" form. A pure function of
// the bytes: no network, no engine.
namespace playlist {

enum class Kind { NotPlaylist, Asx, Wsx, Reference };

struct Parsed
{
    Kind kind = Kind::NotPlaylist;
    // Every reference in document order (entries in order, refs within an entry in order),
    // resolved against the playlist's own URL; duplicates removed, first occurrence kept.
    QList<QUrl> candidates;
    // References dropped because they lead somewhere other than a network stream, as written.
    QStringList refused;
    QString error; // set when the kind was recognised but nothing usable came out
};

// Recognises a playlist by its first bytes (BOM, whitespace and an XML declaration allowed).
Kind sniff(QByteArrayView head);

// The same for bytes still arriving: no value while `head` is too short to tell. Decides at the
// latest once `head` holds sniffWindow bytes.
std::optional<Kind> sniffPrefix(QByteArrayView head);
inline constexpr qsizetype sniffWindow = 16 * 1024;

// True when the first bytes are an HTML page (doctype or root element), which no engine plays.
bool looksLikeHtml(QByteArrayView head);

Parsed parse(QByteArrayView bytes, const QUrl& base);

// Only network streams may come out of a remote playlist.
bool isNetworkStreamUrl(const QUrl& url);

} // namespace playlist
