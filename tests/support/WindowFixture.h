#pragma once

#include "FakeEngines.h"
#include "RecordingHost.h"
#include "RecordingNotifyArea.h"
#include "RecordingWebPage.h"

// What every window test needs in place, and takes away again: the recording desktop, the page
// double, the engine double, the notification area, and a window registry that records the
// program's end instead of quitting. Create one in init(), delete it in cleanup(); its destructor unloads every window.
class WindowFixture
{
public:
    WindowFixture();
    ~WindowFixture();

    RecordingHost host;
    RecordingPages pages;
    FakeEngines engines;
    RecordingNotifyArea tray;
    int programEnds = 0; // times the last window went
};
