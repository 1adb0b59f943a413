#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;
class ccXPButton;

// Message numbers the button's notifications carry, so they read as the window messages they
// stand for.
namespace xpbutton::msg {
inline constexpr qint32 Activate = 0x0006;
inline constexpr qint32 NcActivate = 0x0086;
inline constexpr qint32 MouseLeave = 0x02A3;
} // namespace xpbutton::msg

// Watches windows for the button and hands it the listed notifications through zSubclass_Proc:
// mouse leave on its own window, activation of its host window, and (for a host that is a
// sub-window of an MDI area) the sub-window's activation. Nothing is ever consumed.
class ccXPButtonHook : public QObject
{
    Q_OBJECT
public:
    explicit ccXPButtonHook(ccXPButton* owner);
    ~ccXPButtonHook() override;

    void start(QWidget* window);
    void stop(QWidget* window);
    void stopAll();
    void addMessage(QWidget* window, qint32 message);

    // Leave is one-shot, like the system's mouse-leave tracking: only the first leave after a
    // request is reported.
    void trackMouseLeave(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Record
    {
        QPointer<QWidget> window; // null: a free record, reused before the table grows
        QList<qint32> messages;
        bool leaveTracked = false;
        QMetaObject::Connection subWindowState;
    };

    Record* find(const QObject* window);
    void report(Record& record, qint32 message, qint32 wParam);

    ccXPButton* m_owner;
    QList<Record> m_records;
};
