#include "StreamTable.h"

#include "ChannelCatalogue.h"
#include "KeyIndex.h"
#include "LumivoBuildValues.h"
#include "TsvTable.h"

#include <QHash>
#include <QSet>

#include <stdexcept>

namespace embedded {
std::string_view kStreamRegionsTsv();
std::string_view kStreamCodesTsv();
std::string_view kDirectStreamsTsv();
std::string_view kChannelsWithoutStreamTsv();
} // namespace embedded

namespace {

[[noreturn]] void fail(const QString& message)
{
    throw std::logic_error("stream table: " + message.toStdString());
}

QList<TsvTable::Row> rowsOf(std::string_view text, int columns, const char* name)
{
    QString error;
    auto rows = TsvTable::parse(text, columns, &error);
    if (!error.isEmpty())
        fail(QString::fromLatin1(name) + u' ' + error);
    return rows;
}

// Key -> value of a two-column table whose keys occur once.
QHash<QString, QString> mapOf(std::string_view text, const char* name)
{
    QHash<QString, QString> out;
    for (const auto& row : rowsOf(text, 2, name)) {
        if (out.contains(row.fields[0]))
            fail(QStringLiteral("%1 line %2: key '%3' twice").arg(QLatin1String(name)).arg(row.line).arg(row.fields[0]));
        out.insert(row.fields[0], row.fields[1]);
    }
    return out;
}

// Tree parent -> region directory; one directory may serve several parents.
const QHash<QString, QString>& regionsByParent()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> out;
        for (const auto& row : rowsOf(embedded::kStreamRegionsTsv(), 2, "stream-regions")) {
            const QStringList parents = row.fields[1].split(u' ', Qt::SkipEmptyParts);
            if (row.fields[0].isEmpty() || parents.isEmpty())
                fail(QStringLiteral("stream-regions line %1: empty field").arg(row.line));
            for (const QString& parent : parents) {
                if (out.contains(parent))
                    fail(QStringLiteral("stream-regions: parent '%1' twice").arg(parent));
                out.insert(parent, row.fields[0]);
            }
        }
        return out;
    }();
    return table;
}

QList<StreamEntry> build()
{
    const QHash<QString, QString>& regions = regionsByParent();
    const QHash<QString, QString> codes = mapOf(embedded::kStreamCodesTsv(), "stream-codes");
    const QHash<QString, QString> direct = mapOf(embedded::kDirectStreamsTsv(), "direct-streams");
    QSet<QString> without;
    for (const auto& row : rowsOf(embedded::kChannelsWithoutStreamTsv(), 1, "channels-without-stream"))
        without.insert(row.fields[0]);

    QSet<QString> parents;
    for (const ChannelRecord& r : ChannelCatalogue::records())
        parents.insert(r.parentKey);

    const QString base = QString::fromUtf8(buildvalues::ContentServer);
    QList<StreamEntry> out;
    QSet<QString> usedCodes, usedDirect;
    for (const ChannelRecord& r : ChannelCatalogue::records()) {
        if (parents.contains(r.key))
            continue; // categories and regions play nothing
        const bool isDirect = direct.contains(r.key);
        if (without.contains(r.key)) {
            if (isDirect)
                fail(QStringLiteral("'%1' has a direct URL but is listed without a stream").arg(r.key));
            continue;
        }
        if (isDirect) {
            usedDirect.insert(r.key);
            out.push_back(StreamEntry{r.key, direct.value(r.key), {}, {}});
            continue;
        }
        const QString region = regions.value(r.parentKey);
        if (region.isEmpty())
            fail(QStringLiteral("channel '%1' has neither a direct URL nor a region directory").arg(r.key));
        StreamEntry e{r.key, {}, region, codes.value(r.key, r.key)};
        if (codes.contains(r.key))
            usedCodes.insert(r.key);
        e.url = base + e.contentPath();
        out.push_back(std::move(e));
    }
    // Rows that match no channel are typos; catch them here rather than let a channel go silent.
    for (auto it = direct.cbegin(); it != direct.cend(); ++it)
        if (!usedDirect.contains(it.key()))
            fail(QStringLiteral("direct-streams: '%1' is not a channel of the tree").arg(it.key()));
    for (auto it = codes.cbegin(); it != codes.cend(); ++it)
        if (!usedCodes.contains(it.key()))
            fail(QStringLiteral("stream-codes: '%1' is not a content-server channel").arg(it.key()));
    return out;
}

} // namespace

QString StreamEntry::contentPath() const
{
    return isContent() ? QStringLiteral("/asx/") + region + u'/' + code + QStringLiteral(".asx") : QString();
}

namespace StreamTable {

const QList<StreamEntry>& entries()
{
    static const QList<StreamEntry> table = build();
    return table;
}

const StreamEntry* entry(const QString& key)
{
    static const KeyIndex<StreamEntry> index(entries());
    return index.find(key);
}

const QString* find(const QString& key)
{
    const StreamEntry* e = entry(key);
    return e ? &e->url : nullptr;
}

QString regionDirectory(const QString& parentKey)
{
    return regionsByParent().value(parentKey);
}

bool hasPackagerDirectTable()
{
    return LUMIVO_PACKAGER_DIRECT_STREAMS != 0;
}

} // namespace StreamTable
