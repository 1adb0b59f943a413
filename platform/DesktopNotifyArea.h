#pragma once

#include "NotifyArea.h"

#include <QObject>

#include <map>
#include <utility>

class QSystemTrayIcon;

// The notification area of the desktop session, through the toolkit's tray icon. Without a
// notification area (no tray host running) every Add fails.
class DesktopNotifyArea : public QObject, public NotifyArea
{
public:
    DesktopNotifyArea();
    ~DesktopNotifyArea() override;

    bool notifyIcon(Message message, const NotifyIconData& data) override;

private:
    using Key = std::pair<const QWidget*, quint32>;
    std::map<Key, QSystemTrayIcon*> m_icons;
};
