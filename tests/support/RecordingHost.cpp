#include "RecordingHost.h"

RecordingHost::RecordingHost() { HostServices::install(this); }
RecordingHost::~RecordingHost() { HostServices::install(nullptr); }

void RecordingHost::messageBox(const QString& text, Icon icon, const QString& caption)
{
    boxes.push_back(Box{text, icon, caption});
}

bool RecordingHost::openExternal(const QUrl& url)
{
    opened.push_back(url);
    return openSucceeds;
}
