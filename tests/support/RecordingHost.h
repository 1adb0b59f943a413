#pragma once

#include "HostServices.h"

#include <QList>
#include <QStringList>
#include <QUrl>

// Records what the windows ask of the desktop; installs itself for its lifetime.
class RecordingHost : public HostServices
{
public:
    struct Box
    {
        QString text;
        Icon icon;
        QString caption;
    };

    RecordingHost();
    ~RecordingHost() override;

    void messageBox(const QString& text, Icon icon, const QString& caption) override;
    bool openExternal(const QUrl& url) override;
    void endProgram() override { ++endCalls; }
    bool programEnding() const override { return endCalls > 0; }
    void failStart(const QString& reason) override
    {
        startFailures.push_back(reason);
        ++endCalls;
    }
    bool previousInstanceRunning() const override { return previousInstance; }

    bool previousInstance = false;
    bool openSucceeds = true;
    int endCalls = 0;
    QList<Box> boxes;
    QList<QUrl> opened;
    QStringList startFailures;
};
