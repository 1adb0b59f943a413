#pragma once

#include "MenuTable.h"

#include <QString>

// The radio window's station menus (gn, gat, gwdt) with each station's stream address, in menu
// order. A row's value is the URL the player opens unchanged.
namespace RadioStationTable {

inline constexpr int StationCount = 227; // station items in the menus
inline constexpr int EntryCount = 226;   // stations with an address: all but twtblxyydt

const MenuTable& table();

// The station's URL; nullptr for twtblxyydt (no address: choosing it does nothing), sub-menus and
// unknown keys. Exact, case-sensitive.
const QString* find(const QString& key);

// An http, https, rtsp or mms URL with a host, an optional numeric port and no white space; the
// build's check of LUMIVO_RADIO_STREAMS_TSV accepts the same.
bool isStationUrl(const QString& url);

// True when the build replaced the address table with a packager's file, whose hosts and URL
// forms are the packager's choice.
bool hasPackagerTable();

} // namespace RadioStationTable
