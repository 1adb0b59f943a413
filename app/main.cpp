#include "DesktopHostServices.h"
#include "DesktopNotifyArea.h"
#include "Form1.h"
#include "PreviousInstance.h"
#include "ProcessSetup.h"
#include "QuitSignals.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv)
{
    processsetup::limitAllocatorArenas();
    if (const QString problem = processsetup::displayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "lumivo: Lumivo网络电视无法启动：%s\n", problem.toLocal8Bit().constData());
        return 1;
    }
    processsetup::beforeApplication();
    quitsignals::block();
    // The program takes no command line: only the program name reaches the toolkit.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    processsetup::afterApplication();
    quitsignals::listen(&app);

    DesktopHostServices desktop;
    HostServices::install(&desktop);
    DesktopNotifyArea notifyArea;
    NotifyArea::install(&notifyArea);
    PreviousInstance::decide();
    registerWindows();
    WindowRegistry::instance().setOnLastUnload([] {
        PreviousInstance::release();
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    });

    WindowRegistry::instance().show<Form1>();
    int rc = desktop.exitCode();
    if (!desktop.programEnding())
        rc = QApplication::exec();
    PreviousInstance::release();

    // Teardown may wait on the network or the playback engine (a name lookup that never answers
    // holds the engine's thread): the user asked to end, so it gets a bounded time.
    std::thread([rc] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        std::fputs("lumivo: teardown took too long, ending now\n", stderr);
        ::_exit(rc);
    }).detach();
    WindowRegistry::instance().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    NotifyArea::install(nullptr);
    HostServices::install(nullptr);
    return rc;
}
