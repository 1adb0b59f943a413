#pragma once

#include <QString>

class QWidget;

// The pages the web windows load into their panes; hosts are build values.
namespace webpages {

QString cntvAdPage(); // the web windows' ad panel, on the content server
QString portalPage(); // the live-TV and movie portal, "/3tv/" on the portal server
QString chatRoom();
QString musicBox();
QString yishiLive();

// Puts a top-level window in the middle of the screen's available area, as it first appears.
void centreOnScreen(QWidget* window);

} // namespace webpages
