// Shows one window of the program by its name, with the real web engine and nothing else, so an
// end-to-end test can look at a window that the main window would only reach through clicks.
// Links and message boxes are recorded, never opened. Prints "shown NAME" once the window is up.
#include "ProcessSetup.h"
#include "RecordingHost.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: lumivo-show-window WINDOW   (e.g. Form3)\n", stderr);
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    processsetup::beforeApplication();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    processsetup::afterApplication();

    RecordingHost host;
    registerWindows();
    if (!WindowRegistry::instance().isRegistered(name)) {
        std::fprintf(stderr, "lumivo-show-window: no window named %s\n", qPrintable(name));
        return 2;
    }
    if (!WindowRegistry::instance().show(name))
        return 1;
    std::printf("shown %s\n", qPrintable(name));
    std::fflush(stdout);
    const int rc = QApplication::exec();
    WindowRegistry::instance().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rc;
}
