#include "RecordingNotifyArea.h"

RecordingNotifyArea::RecordingNotifyArea() { NotifyArea::install(this); }
RecordingNotifyArea::~RecordingNotifyArea() { NotifyArea::install(nullptr); }

bool RecordingNotifyArea::notifyIcon(Message message, const NotifyIconData& data)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < icons.size(); ++i)
        if (icons[i].hWnd == data.hWnd && icons[i].uID == data.uID)
            found = i;
    bool result = false;
    if (message == Message::Add && available && data.hWnd && found < 0) {
        icons.push_back(data);
        result = true;
    } else if (message == Message::Delete && found >= 0) {
        icons.removeAt(found);
        result = true;
    }
    calls.push_back(Call{message, data, result});
    return result;
}

void RecordingNotifyArea::mouse(quint32 mouseMessage, const QWidget* window)
{
    // A copy: the window may remove its icon while handling the message.
    const QList<NotifyIconData> now = icons;
    for (const NotifyIconData& icon : now)
        if (!window || icon.hWnd == window)
            NotifyArea::deliverCallback(icon, mouseMessage);
}

void RecordingNotifyArea::doubleClick(const QWidget* window)
{
    using namespace notifyicon;
    for (quint32 m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        mouse(m, window);
}

int RecordingNotifyArea::iconsOf(const QWidget* window) const
{
    int n = 0;
    for (const NotifyIconData& icon : icons)
        n += icon.hWnd == window ? 1 : 0;
    return n;
}
