#include "Form1.h"
#include "HostServices.h"
#include "PreviousInstance.h"
#include "ProcessSetup.h"
#include "WindowRegistry.h"

#include <QApplication>

int main(int argc, char** argv)
{
    processsetup::beforeApplication();
    // The program takes no command line: only the program name reaches the toolkit.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    processsetup::afterApplication();
    PreviousInstance::decide();

    WindowRegistry::instance().show<Form1>();
    int rc = 0;
    if (!HostServices::current().programEnding())
        rc = QApplication::exec();

    WindowRegistry::instance().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rc;
}
