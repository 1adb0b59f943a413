#include "DesktopNotifyArea.h"

#include <QSystemTrayIcon>

namespace {

// The shell's sequence of mouse messages for what the toolkit reports as one activation.
QList<quint32> messagesFor(QSystemTrayIcon::ActivationReason reason)
{
    using namespace notifyicon;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    case QSystemTrayIcon::DoubleClick:
        return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case QSystemTrayIcon::Context:
        return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case QSystemTrayIcon::MiddleClick:
        return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    case QSystemTrayIcon::Unknown:
        break;
    }
    return {};
}

} // namespace

DesktopNotifyArea::DesktopNotifyArea() = default;

DesktopNotifyArea::~DesktopNotifyArea()
{
    for (auto& [key, icon] : m_icons)
        delete icon;
}

bool DesktopNotifyArea::notifyIcon(Message message, const NotifyIconData& data)
{
    const Key key(data.hWnd.data(), data.uID);
    const auto it = m_icons.find(key);
    if (message == Message::Delete) {
        if (it == m_icons.end())
            return false;
        it->second->hide();
        it->second->deleteLater(); // it may be inside its own activation
        m_icons.erase(it);
        return true;
    }
    if (!data.hWnd || it != m_icons.end() || !QSystemTrayIcon::isSystemTrayAvailable())
        return false;

    auto* icon = new QSystemTrayIcon(this);
    if (data.uFlags & notifyicon::NIF_ICON)
        icon->setIcon(data.hIcon);
    if (data.uFlags & notifyicon::NIF_TIP)
        icon->setToolTip(QString::fromLocal8Bit(data.szTip.constData(), qstrnlen(data.szTip.constData(), data.szTip.size())));
    if (data.uFlags & notifyicon::NIF_MESSAGE) {
        const NotifyIconData record = data;
        connect(icon, &QSystemTrayIcon::activated, this, [record](QSystemTrayIcon::ActivationReason reason) {
            for (quint32 m : messagesFor(reason))
                NotifyArea::deliverCallback(record, m);
        });
    }
    icon->show();
    m_icons.emplace(key, icon);
    return true;
}
