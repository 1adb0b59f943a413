#pragma once

#include <QByteArray>
#include <QIcon>
#include <QPointer>
#include <QWidget>

// A window's record of its notification-area icon, field for field as the shell takes it: the
// window and id name the icon, the callback message says how mouse activity over the icon comes
// back to the window.
struct NotifyIconData
{
    quint32 cbSize = 0;
    QPointer<QWidget> hWnd;
    quint32 uID = 0;
    quint32 uFlags = 0;
    quint32 uCallbackMessage = 0;
    QIcon hIcon;
    QByteArray szTip; // ANSI text, NUL-terminated within its 64 bytes
};

namespace notifyicon {

inline constexpr quint32 RecordSize = 88; // ANSI layout
inline constexpr int TipSize = 64;

inline constexpr quint32 NIF_MESSAGE = 0x1;
inline constexpr quint32 NIF_ICON = 0x2;
inline constexpr quint32 NIF_TIP = 0x4;

// Mouse messages the shell reports over an icon.
inline constexpr quint32 WM_MOUSEMOVE = 0x200;
inline constexpr quint32 WM_LBUTTONDOWN = 0x201;
inline constexpr quint32 WM_LBUTTONUP = 0x202;
inline constexpr quint32 WM_LBUTTONDBLCLK = 0x203;
inline constexpr quint32 WM_RBUTTONDOWN = 0x204;
inline constexpr quint32 WM_RBUTTONUP = 0x205;
inline constexpr quint32 WM_RBUTTONDBLCLK = 0x206;
inline constexpr quint32 WM_MBUTTONDOWN = 0x207;
inline constexpr quint32 WM_MBUTTONUP = 0x208;

} // namespace notifyicon

// The desktop's notification area. One real implementation over the toolkit's tray icon; tests
// install a recording double that delivers the mouse messages themselves.
class NotifyArea
{
public:
    enum class Message { Add = 0, Delete = 2 };

    virtual ~NotifyArea();

    // Adds or removes the icon named by the record's window and id. False when nothing changed:
    // no notification area, an icon of that window and id already there (Add) or none (Delete).
    virtual bool notifyIcon(Message message, const NotifyIconData& data) = 0;

    // Hands a mouse message over an icon to its window the way the window's callback expects it:
    // as a mouse move over the window's surface whose X is the message number in pixels, which is
    // the message number times 15 in twips. Nothing happens for a record without NIF_MESSAGE or
    // whose window is gone.
    static void deliverCallback(const NotifyIconData& data, quint32 mouseMessage);

    // The area installed by the process start (or a test); installing nullptr removes it.
    static NotifyArea& current();
    static void install(NotifyArea* area);
};
