#pragma once

#include <QList>
#include <QString>

// One channel's stream: either an ASX playlist on the content server or a station's own URL.
struct StreamEntry
{
    QString key;
    QString url;
    QString region; // content-server region directory; empty for a direct URL
    QString code;   // playlist name inside the region directory; empty for a direct URL

    bool isContent() const { return !region.isEmpty(); }
    // "/asx/REGION/CODE.asx" for a content-server entry, empty otherwise.
    QString contentPath() const;
};

// The compiled-in map from channel key to stream URL, in catalogue order. Content-server URLs are
// the content server's base URL (a build value) followed by the entry's content path.
namespace StreamTable {

inline constexpr int EntryCount = 553;
inline constexpr int ContentEntryCount = 418;
inline constexpr int DirectEntryCount = 135;

const QList<StreamEntry>& entries();

// Exact, case-sensitive lookup; nullptr for categories, regions and channels without a stream.
const StreamEntry* entry(const QString& key);
const QString* find(const QString& key);

// The region directory serving a tree parent's channels, empty when its channels are not on the
// content server.
QString regionDirectory(const QString& parentKey);

// True when the build replaced the direct-URL table with a packager's file, whose hosts and
// playlist forms are the packager's choice.
bool hasPackagerDirectTable();

} // namespace StreamTable
