#include "DesktopHostServices.h"
#include "DesktopNotifyArea.h"
#include "Form1.h"
#include "PreviousInstance.h"
#include "ProcessSetup.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (!processsetup::displayAvailable()) {
        std::fputs("lumivo: Lumivo网络电视无法启动：找不到可用的显示（DISPLAY 与 WAYLAND_DISPLAY 均未设置）\n", stderr);
        return 1;
    }
    processsetup::beforeApplication();
    // The program takes no command line: only the program name reaches the toolkit.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    processsetup::afterApplication();

    DesktopHostServices desktop;
    HostServices::install(&desktop);
    DesktopNotifyArea notifyArea;
    NotifyArea::install(&notifyArea);
    PreviousInstance::decide();
    registerWindows();

    WindowRegistry::instance().show<Form1>();
    int rc = desktop.exitCode();
    if (!desktop.programEnding())
        rc = QApplication::exec();

    WindowRegistry::instance().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    NotifyArea::install(nullptr);
    HostServices::install(nullptr);
    return rc;
}
