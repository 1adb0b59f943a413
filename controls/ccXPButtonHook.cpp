#include "ccXPButtonHook.h"

#include "ccXPButton.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QWidget>

ccXPButtonHook::ccXPButtonHook(ccXPButton* owner) : QObject(owner), m_owner(owner) {}

ccXPButtonHook::~ccXPButtonHook() { stopAll(); }

ccXPButtonHook::Record* ccXPButtonHook::find(const QObject* window)
{
    for (Record& r : m_records) {
        if (r.window && r.window == window)
            return &r;
    }
    return nullptr;
}

void ccXPButtonHook::start(QWidget* window)
{
    if (!window || find(window))
        return;
    Record* record = nullptr;
    for (Record& r : m_records) {
        if (!r.window) {
            record = &r;
            break;
        }
    }
    if (!record) {
        m_records.append(Record{});
        record = &m_records.last();
    }
    *record = Record{};
    record->window = window;
    window->installEventFilter(this);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window)) {
        // A sub-window is not a top-level window: it never gets window activation events, only
        // the change of its own active state.
        record->subWindowState = connect(sub, &QMdiSubWindow::windowStateChanged, this,
                                         [this, sub](Qt::WindowStates oldState, Qt::WindowStates newState) {
                                             if (!((oldState ^ newState) & Qt::WindowActive))
                                                 return;
                                             if (Record* r = find(sub))
                                                 report(*r, xpbutton::msg::NcActivate, (newState & Qt::WindowActive) ? 1 : 0);
                                         });
    }
}

void ccXPButtonHook::stop(QWidget* window)
{
    Record* record = find(window);
    if (!record)
        return;
    record->window->removeEventFilter(this);
    disconnect(record->subWindowState);
    *record = Record{};
}

void ccXPButtonHook::stopAll()
{
    for (Record& r : m_records) {
        if (r.window)
            r.window->removeEventFilter(this);
        disconnect(r.subWindowState);
        r = Record{};
    }
}

void ccXPButtonHook::addMessage(QWidget* window, qint32 message)
{
    if (Record* r = find(window); r && !r->messages.contains(message))
        r->messages.append(message);
}

void ccXPButtonHook::trackMouseLeave(QWidget* window)
{
    if (Record* r = find(window))
        r->leaveTracked = true;
}

bool ccXPButtonHook::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Leave:
        if (Record* r = find(watched); r && r->leaveTracked) {
            r->leaveTracked = false;
            report(*r, xpbutton::msg::MouseLeave, 0);
        }
        break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        // Only the window's own activation counts: Qt forwards these events to child widgets
        // too, and a watched child must not report its parent's activation as its own.
        if (Record* r = find(watched); r && r->window->isWindow())
            report(*r, xpbutton::msg::Activate, event->type() == QEvent::WindowActivate ? 1 : 0);
        break;
    default:
        break;
    }
    return false;
}

void ccXPButtonHook::report(Record& record, qint32 message, qint32 wParam)
{
    if (!record.messages.contains(message))
        return;
    bool handled = false;
    qint32 result = 0;
    qint32 window = qint32(record.window->internalWinId());
    qint32 uMsg = message;
    qint32 lParam = 0;
    m_owner->zSubclass_Proc(false, handled, result, window, uMsg, wParam, lParam);
}
