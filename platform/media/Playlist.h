#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

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
    QString error; // set when the kind was recognised but nothing usable came out
};

// Recognises a playlist by its first bytes (BOM, whitespace and an XML declaration allowed).
Kind sniff(QByteArrayView head);

Parsed parse(QByteArrayView bytes, const QUrl& base);

// Only network streams may come out of a remote playlist.
bool isNetworkStreamUrl(const QUrl& url);

} // namespace playlist
