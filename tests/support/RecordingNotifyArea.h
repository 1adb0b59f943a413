#pragma once

#include "NotifyArea.h"

#include <QList>

// A notification area that keeps its icons in a list and lets a test play the user's mouse over
// them; installs itself for its lifetime. Like the shell, it refuses a second icon with the same
// window and id.
class RecordingNotifyArea : public NotifyArea
{
public:
    RecordingNotifyArea();
    ~RecordingNotifyArea() override;

    bool notifyIcon(Message message, const NotifyIconData& data) override;

    // Mouse messages over the icons of `window` (every icon when null), as the shell sends them.
    void mouse(quint32 mouseMessage, const QWidget* window = nullptr);
    void doubleClick(const QWidget* window = nullptr);
    int iconsOf(const QWidget* window) const;

    bool available = true; // false: a desktop without a notification area, every Add fails
    QList<NotifyIconData> icons;
    struct Call
    {
        Message message;
        NotifyIconData data;
        bool result;
    };
    QList<Call> calls;
};
