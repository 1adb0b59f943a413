// Shows the main window with the real engines in one view state and writes a screenshot of the
// whole screen, so the skin can be looked at: grab_main_window OUT.png [normal|list-hidden|
// compact|fullscreen]. Links and message boxes are recorded, never opened.
#include "Bd.h"
#include "Form1.h"
#include "Module1.h"
#include "ProcessSetup.h"
#include "RecordingHost.h"
#include "SkinLabel.h"
#include "TreeView.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: lumivo-grab-main OUT.png [normal|list-hidden|compact|fullscreen]\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString view = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("normal");
    processsetup::beforeApplication();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    processsetup::afterApplication();

    RecordingHost host;
    registerWindows();
    auto* f = WindowRegistry::instance().show<Form1>();
    if (!f)
        return 1;
    // The states as the view switches leave them.
    if (view == QLatin1String("list-hidden")) {
        f->TreeView1->hide();
        f->Bd4->hide();
        f->ImageA->hide();
        f->ImageB->show();
        f->Bd5->move(0, f->Bd5->y());
        f->Form_Resize();
    } else if (view == QLatin1String("compact")) {
        for (QWidget* w : {static_cast<QWidget*>(f->Bd1), static_cast<QWidget*>(f->Bd4), static_cast<QWidget*>(f->Bd6),
                           static_cast<QWidget*>(f->Mnu), static_cast<QWidget*>(f->TreeView1),
                           static_cast<QWidget*>(f->ImageA), static_cast<QWidget*>(f->ImageB)})
            w->hide();
        f->Bd10->show();
        f->Form_Resize();
    } else if (view == QLatin1String("fullscreen")) {
        Module1::ToggleFullScreen(f, f->Tr, f->Rc, f->Br);
    }
    QTimer::singleShot(2500, &app, [&] {
        const bool ok = f->screen()->grabWindow(0).save(out);
        std::printf("%s %s\n", ok ? "wrote" : "failed", qPrintable(out));
        std::fflush(stdout);
        if (Module1::fullScreenState().fullScreen)
            Module1::ToggleFullScreen(f, f->Tr, f->Rc, f->Br);
        QApplication::exit(ok ? 0 : 1);
    });
    const int rc = QApplication::exec();
    WindowRegistry::instance().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rc;
}
