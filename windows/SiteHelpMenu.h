#pragma once

#include "MenuBuilder.h"

// The help sub-menu the chat room, music box and 易视直播 windows share: its rows come last on their
// menu bars, its actions after their own.
namespace sitehelp {

QList<menus::MenuRow> rows();
QList<menus::ActionRow> actions();

} // namespace sitehelp
