#pragma once

#include <QList>
#include <QString>

// The fixed channel tree: five categories, their regions and channels, in pre-order.
struct ChannelRecord
{
    int order = 0;
    QString key;
    QString caption;
    QString parentKey; // empty for a top-level category
};

namespace ChannelCatalogue {

inline constexpr int RecordCount = 588;

const QList<ChannelRecord>& records();
const ChannelRecord* find(const QString& key);

// Adds every record to a tree in table order, each parent before its children. Generic over the
// tree so the catalogue needs no widgets: `add(relativeKey, isChild, key, caption)`.
template <class AddFn> void loadInto(AddFn&& add)
{
    for (const ChannelRecord& r : records())
        add(r.parentKey, !r.parentKey.isEmpty(), r.key, r.caption);
}

} // namespace ChannelCatalogue
