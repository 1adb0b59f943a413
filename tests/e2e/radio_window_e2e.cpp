// The radio window alone, with the real playback engine and web engine, for test_radio_window.py.
// The notification area is the recording double, so the test can play the shell's mouse messages
// on a display that has no tray. Commands arrive on stdin, one a line; answers go to stdout:
//   play URL        the window's player opens URL
//   tray MESSAGE    a mouse message over the radio's notification-area icon
//   state           "state stage=N visible=0|1 icons=N position=SECONDS"
//   quit            unload every window and end
// When the window is on screen: "ready zxh X Y", the screen point of the bar's 最小化 item.
#include "Form5.h"
#include "MediaPlayer.h"
#include "MpvEngine.h"
#include "PlaybackEngineFactory.h"
#include "ProcessSetup.h"
#include "RecordingHost.h"
#include "RecordingNotifyArea.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QApplication>
#include <QMenuBar>
#include <QSocketNotifier>
#include <QTest>

#include <cstdio>

#include <unistd.h>

namespace {

void say(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    processsetup::beforeApplication();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    processsetup::afterApplication();

    RecordingHost host;
    RecordingNotifyArea tray;
    setPlaybackEngineFactory([] {
        MpvEngine::Settings settings;
        settings.core.audioOutput = "null";
        return std::make_unique<MpvEngine>(settings);
    });
    registerWindows();

    auto* form = qobject_cast<Form5*>(WindowRegistry::instance().show(QStringLiteral("Form5")));
    if (!form) {
        std::fputs("radio window did not load\n", stderr);
        return 1;
    }
    double position = 0;
    QObject::connect(form->WindowsMediaPlayer1->engine(), &PlaybackEngine::positionChanged,
                     [&position](double seconds, double) { position = seconds; });

    const auto run = [&](const QString& line) {
        const QString command = line.section(u' ', 0, 0);
        const QString argument = line.section(u' ', 1);
        if (command == u"play") {
            form->WindowsMediaPlayer1->setURL(argument);
        } else if (command == u"tray") {
            tray.mouse(argument.toUInt(), form);
        } else if (command == u"state") {
            say(QStringLiteral("state stage=%1 visible=%2 icons=%3 position=%4")
                    .arg(int(form->WindowsMediaPlayer1->stage()))
                    .arg(form->isVisible() ? 1 : 0)
                    .arg(tray.iconsOf(form))
                    .arg(position));
        } else if (command == u"quit") {
            QCoreApplication::quit();
        } else if (!command.isEmpty()) {
            say(QStringLiteral("unknown %1").arg(command));
        }
    };
    // Raw reads, so several lines arriving together are all seen.
    QByteArray pending;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[4096];
        const ssize_t n = ::read(0, chunk, sizeof chunk);
        if (n <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending.append(chunk, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            run(line);
        }
    });

    if (!QTest::qWaitForWindowExposed(form, 20000)) {
        std::fputs("radio window never exposed\n", stderr);
        return 1;
    }
    QMenuBar* bar = form->menuBar();
    const QPoint zxh = bar->mapToGlobal(bar->actionGeometry(form->builtMenus().action(QStringLiteral("zxh"))).center());
    say(QStringLiteral("ready zxh %1 %2").arg(zxh.x()).arg(zxh.y()));

    const int rc = QApplication::exec();
    WindowRegistry::instance().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rc;
}
