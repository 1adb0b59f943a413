// Push buttons in each of their five looks, and a row of live ones that log their events.
//   xpbutton-gallery                 opens the window
//   xpbutton-gallery --grab FILE.png writes a picture of the window and exits
#include "PropertyBag.h"
#include "ccXPButton.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

ccXPButton* addButton(QWidget* parent, QGridLayout* grid, int row, int column, const QString& caption)
{
    auto* b = new ccXPButton(parent);
    b->ReadProperties(PropertyBag());
    b->setCaption(caption);
    b->setFixedSize(b->sizeHint());
    grid->addWidget(b, row, column);
    return b;
}

void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent e(type, at, w->mapToGlobal(at), button, type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption grab(QStringLiteral("grab"), QStringLiteral("Write a picture of the window and exit."), QStringLiteral("file"));
    parser.addOption(grab);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("ccXPButton"));
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0xEC, 0xE9, 0xD8));
    window.setPalette(pal);
    auto* grid = new QGridLayout(&window);

    const QStringList looks{QStringLiteral("Disabled"), QStringLiteral("Normal"), QStringLiteral("Focused"),
                            QStringLiteral("Hot"), QStringLiteral("Pressed")};
    QList<ccXPButton*> shown;
    for (int i = 0; i < looks.size(); ++i) {
        grid->addWidget(new QLabel(looks[i]), 0, i, Qt::AlignHCenter);
        shown << addButton(&window, grid, 1, i, QStringLiteral("&OK"));
        auto* large = addButton(&window, grid, 2, i, QStringLiteral("Save && &Exit"));
        large->setFixedSize(110, 34);
        shown << large;
    }

    grid->addWidget(new QLabel(QStringLiteral("Live (Alt+P, Alt+S, arrows, Space, Enter):")), 3, 0, 1, 5);
    auto* log = new QPlainTextEdit;
    log->setReadOnly(true);
    log->setMaximumBlockCount(200);
    const QStringList liveCaptions{QStringLiteral("&Play"), QStringLiteral("&Stop"), QStringLiteral("R&&D")};
    QList<ccXPButton*> live;
    for (int i = 0; i < liveCaptions.size(); ++i) {
        ccXPButton* b = addButton(&window, grid, 4, i, liveCaptions[i]);
        live << b;
        const QString name = liveCaptions[i];
        QObject::connect(b, &ccXPButton::Click, log, [log, name] { log->appendPlainText(name + QStringLiteral(": Click")); });
        QObject::connect(b, &ccXPButton::DblClick, log, [log, name] { log->appendPlainText(name + QStringLiteral(": DblClick")); });
        QObject::connect(b, &ccXPButton::FormActivate, log,
                         [log, name](qint32 state) { log->appendPlainText(name + QStringLiteral(": FormActivate %1").arg(state)); });
    }
    auto* disabledLive = addButton(&window, grid, 4, 3, QStringLiteral("&Off"));
    disabledLive->setEnabled(false);
    grid->addWidget(log, 5, 0, 1, 5);

    window.show();

    // The static rows are put into their looks the way a user would: the host's activation, the
    // default-button ambient, a pointer over the button, a press.
    auto pose = [&] {
        if (!window.isActiveWindow()) {
            QEvent activation(QEvent::WindowActivate);
            QApplication::sendEvent(&window, &activation);
        }
        live.first()->setFocus(); // the keyboard starts on the live row, away from the posed looks
        for (int i = 0; i < shown.size(); ++i) {
            ccXPButton* b = shown[i];
            switch (i / 2) {
            case 0: b->setEnabled(false); break;
            case 2: b->setAmbientDisplayAsDefault(true); break;
            case 3: sendMouse(b, QEvent::MouseMove, Qt::NoButton); break;
            case 4:
                sendMouse(b, QEvent::MouseMove, Qt::NoButton);
                sendMouse(b, QEvent::MouseButtonPress, Qt::LeftButton);
                break;
            default: break;
            }
        }
    };

    if (parser.isSet(grab)) {
        const QString file = parser.value(grab);
        QTimer::singleShot(100, &window, [&] {
            pose();
            const bool ok = window.grab().save(file);
            app.exit(ok ? 0 : 1);
        });
    } else {
        QTimer::singleShot(100, &window, pose);
    }
    return app.exec();
}
