#pragma once

#include "MenuTable.h"

#include <QString>

// The web-TV window's channel menu cntv, in menu order. A channel's value is a scheme of the
// peer-to-peer service ("pa", "pb" or "pl"), "://" and the service's channel id.
namespace WebTvChannelTable {

inline constexpr int EntryCount = 136;

// The channel whose player page the window loads when it opens (CCTV-1).
inline constexpr char FirstChannelKey[] = "cctv1";

const MenuTable& table();

// The channel value; nullptr for sub-menus and unknown keys. Exact, case-sensitive.
const QString* find(const QString& key);

// "pa", "pb" or "pl", "://", then an id of letters, digits, '-' and '_': nothing in it needs
// escaping inside a query, which is why playerPageUrl passes it through as it stands.
bool isChannelValue(const QString& value);

// The player page on the web-TV page server (a build value) for a channel value of the table:
// ".../cctv/cctvplayer.html?width=550&height=480&channel=VALUE&type=p2p", VALUE not escaped.
QString playerPageUrl(const QString& channelValue);

} // namespace WebTvChannelTable
