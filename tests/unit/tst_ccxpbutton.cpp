#include "PropertyBag.h"
#include "XPButtonPainter.h"
#include "ccXPButton.h"
#include "ccXPButtonColors.h"
#include "ccXPButtonHook.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>

namespace {

enum class Act { Activate, Deactivate, Move, Press, Release, DblClick, KeyDown, KeyUp, Leave, FocusIn, Default };

struct Step
{
    Act act;
    QPoint pos = {};
    int key = 0;
};
using Steps = QList<Step>;

constexpr QPoint In(30, 10);
constexpr QPoint Out(120, 60);

Step activate() { return {Act::Activate}; }
Step deactivate() { return {Act::Deactivate}; }
Step move(QPoint p) { return {Act::Move, p}; }
Step press(QPoint p = In) { return {Act::Press, p}; }
Step release(QPoint p = In) { return {Act::Release, p}; }
Step dblClick(QPoint p = In) { return {Act::DblClick, p}; }
Step keyDown(int key) { return {Act::KeyDown, {}, key}; }
Step keyUp(int key) { return {Act::KeyUp, {}, key}; }
Step leave() { return {Act::Leave}; }
Step focusIn() { return {Act::FocusIn}; }
Step displayAsDefault(bool on) { return {Act::Default, {}, on ? 1 : 0}; }


// A host window with one button loaded from saved data, as a window would place it.
struct Rig
{
    explicit Rig(QSize size = {75, 23})
    {
        host.resize(200, 100);
        button = new ccXPButton(&host);
        button->setGeometry(QRect(QPoint(10, 10), size));
        button->ReadProperties(PropertyBag());
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        // Whatever the platform did on showing (activation, focus), start from an inactive,
        // unfocused host; tests that need the real thing ask for it.
        button->clearFocus();
        run(deactivate());
        recordEvents();
    }

    void recordEvents()
    {
        QObject::connect(button, &ccXPButton::Click, button, [this] { events << QStringLiteral("Click"); });
        QObject::connect(button, &ccXPButton::DblClick, button, [this] { events << QStringLiteral("DblClick"); });
        QObject::connect(button, &ccXPButton::MouseMove, button, [this](qint16, qint16, float, float) { events << QStringLiteral("Move"); });
        QObject::connect(button, &ccXPButton::FormActivate, button, [this](qint32 s) { events << QStringLiteral("Activate%1").arg(s); });
    }

    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton b)
    {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
            held |= b;
        else if (type == QEvent::MouseButtonRelease)
            held &= ~Qt::MouseButtons(b);
        QMouseEvent e(type, QPointF(pos), QPointF(button->mapToGlobal(pos)), b, held, Qt::NoModifier);
        QApplication::sendEvent(button, &e);
    }

    void run(const Step& s)
    {
        switch (s.act) {
        case Act::Activate:
        case Act::Deactivate: {
            QEvent e(s.act == Act::Activate ? QEvent::WindowActivate : QEvent::WindowDeactivate);
            QApplication::sendEvent(&host, &e);
            break;
        }
        case Act::Move: mouse(QEvent::MouseMove, s.pos, Qt::NoButton); break;
        case Act::Press: mouse(QEvent::MouseButtonPress, s.pos, Qt::LeftButton); break;
        case Act::Release: mouse(QEvent::MouseButtonRelease, s.pos, Qt::LeftButton); break;
        case Act::DblClick: mouse(QEvent::MouseButtonDblClick, s.pos, Qt::LeftButton); break;
        case Act::KeyDown: QTest::keyPress(button, Qt::Key(s.key)); break;
        case Act::KeyUp: QTest::keyRelease(button, Qt::Key(s.key)); break;
        case Act::Leave: {
            QEvent e(QEvent::Leave);
            QApplication::sendEvent(button, &e);
            break;
        }
        case Act::FocusIn: {
            QFocusEvent e(QEvent::FocusIn, Qt::OtherFocusReason);
            QApplication::sendEvent(button, &e);
            break;
        }
        case Act::Default: button->setAmbientDisplayAsDefault(s.key != 0); break;
        }
    }

    QStringList events; // first: it must outlive the window, which reports its own closing
    Qt::MouseButtons held;
    QWidget host;
    ccXPButton* button = nullptr;
};

struct Pixel
{
    QPoint at;
    quint32 rgb;
};

} // namespace

Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(QList<Pixel>)

class TestCcXPButton : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void statePixels_data();
    void statePixels();
    void gradientRoundsTiesToEven();
    void disabledLook();
    void captionColour_data();
    void captionColour();
    void sixPixelButton();
    void behaviour_data();
    void behaviour();
    void accessKeyFromCaption_data();
    void accessKeyFromCaption();
    void altKeyClicks();
    void accessKeyEndsSpacePress();
    void minimumSize_data();
    void minimumSize();
    void fontChangesRedraw();
    void newInstanceCaption_data();
    void newInstanceCaption();
    void newInstanceAnswersMouse();
    void savedDataOrderAndDefaults();
    void snapMouseToCentre();
    void hooksFollowRealWindows();
    void subWindowActivation();
};

// Where each coloured element lies on a 75 x 23 button.
static QList<Pixel> elementPixels(int state)
{
    const auto& k = xpbutton::StateTable[std::size_t(state)];
    auto c = [](quint32 bgr) { return xpbutton::colorFromBgr(bgr).rgb() & 0xFFFFFF; };
    const int W = 75, H = 23;
    QList<Pixel> px = {
        {{37, 0}, c(k.frame)}, {{0, 11}, c(k.frame)}, {{37, H - 1}, c(k.frame)}, {{W - 1, 11}, c(k.frame)},
        {{0, 1}, c(k.cornerNeighbour)}, {{0, 2}, c(k.cornerEdge)}, {{1, 0}, c(k.cornerNeighbour)},
        {{1, 1}, c(k.cornerInner)}, {{2, 0}, c(k.cornerEdge)},
        {{W - 1, 1}, c(k.cornerNeighbour)}, {{W - 1, 2}, c(k.cornerEdge)}, {{W - 2, 0}, c(k.cornerNeighbour)},
        {{W - 2, 1}, c(k.cornerInner)}, {{W - 3, 0}, c(k.cornerEdge)},
        {{0, H - 2}, c(k.cornerNeighbour)}, {{0, H - 3}, c(k.cornerEdge)}, {{1, H - 1}, c(k.cornerNeighbour)},
        {{1, H - 2}, c(k.cornerInner)}, {{2, H - 1}, c(k.cornerEdge)},
        {{W - 1, H - 2}, c(k.cornerNeighbour)}, {{W - 1, H - 3}, c(k.cornerEdge)},
        {{W - 2, H - 1}, c(k.cornerNeighbour)}, {{W - 2, H - 2}, c(k.cornerInner)}, {{W - 3, H - 1}, c(k.cornerEdge)},
    };
    if (state == ccXPButton::Disabled || state == ccXPButton::Pressed) {
        px << Pixel{{1, 11}, c(k.flatFace)} << Pixel{{W - 2, 3}, c(k.flatFace)} << Pixel{{5, H - 2}, c(k.flatFace)};
    } else {
        px << Pixel{{37, 1}, c(k.row1)} << Pixel{{37, 2}, c(k.row2)} << Pixel{{W - 1 - 1, H - 3}, c(k.rowHm3)}
           << Pixel{{37, H - 3}, c(k.rowHm3)} << Pixel{{37, H - 2}, c(k.rowHm2)}
           // first gradient rows: side band and face
           << Pixel{{1, 3}, c(k.bandTop)} << Pixel{{W - 2, 3}, c(k.bandTop)} << Pixel{{4, 3}, c(xpbutton::FaceTop)};
    }
    return px;
}

void TestCcXPButton::statePixels_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<int>("state");
    QTest::addColumn<QList<Pixel>>("lastRows"); // last visible gradient row (H-4), side band and face

    const quint32 face19 = 0xEDECE7;
    QTest::newRow("normal") << Steps{activate()} << int(ccXPButton::Normal)
                            << QList<Pixel>{{{1, 19}, 0xEEEDE8}, {{10, 19}, face19}};
    QTest::newRow("focused (default)") << Steps{activate(), displayAsDefault(true)} << int(ccXPButton::Focused)
                                       << QList<Pixel>{{{1, 19}, 0x91B2E9}, {{10, 19}, face19}};
    QTest::newRow("hot") << Steps{activate(), move(In)} << int(ccXPButton::Hot)
                         << QList<Pixel>{{{1, 19}, 0xFCBB3C}, {{10, 19}, face19}};
    QTest::newRow("pressed") << Steps{activate(), move(In), press()} << int(ccXPButton::Pressed) << QList<Pixel>{};
}

void TestCcXPButton::statePixels()
{
    QFETCH(Steps, steps);
    QFETCH(int, state);
    QFETCH(QList<Pixel>, lastRows);
    Rig rig;
    rig.button->setCaption(QString()); // keep the face free of text
    for (const Step& s : steps)
        rig.run(s);
    QCOMPARE(int(rig.button->state()), state);
    // What the window shows, not only what the control keeps.
    const QImage shown = rig.button->grab().toImage();
    QCOMPARE(shown.size(), QSize(75, 23));
    QCOMPARE(shown.pixel(40, 8), rig.button->image().pixel(40, 8));
    for (const Pixel& p : elementPixels(state) + lastRows)
        QVERIFY2((shown.pixel(p.at) & 0xFFFFFF) == p.rgb,
                 qPrintable(QStringLiteral("(%1,%2) is %3, want %4").arg(p.at.x()).arg(p.at.y())
                                .arg(shown.pixel(p.at) & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                                .arg(p.rgb, 6, 16, QLatin1Char('0'))));
    // The window is the rectangle less its four corner pixels.
    const QRegion mask = rig.button->mask();
    QVERIFY(!mask.contains(QPoint(0, 0)) && !mask.contains(QPoint(74, 22)));
    QVERIFY(mask.contains(QPoint(1, 0)) && mask.contains(QPoint(0, 1)) && mask.contains(QPoint(37, 11)));
}

void TestCcXPButton::gradientRoundsTiesToEven()
{
    // 14 high: the face gradient spans 8 steps, and on row 7 green and blue fall on .5 exactly.
    Rig rig(QSize(40, 14));
    rig.button->setCaption(QString());
    rig.run(activate());
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Normal));
    QCOMPARE(rig.button->image().pixel(10, 7) & 0xFFFFFF, 0xF4F4F0u);
}

void TestCcXPButton::disabledLook()
{
    Rig rig;
    QFont font = rig.button->Font();
    font.setStyleStrategy(QFont::NoAntialias);
    rig.button->setFont(font);
    rig.button->setCaption(QStringLiteral("&OK"));
    rig.run(activate());
    rig.run(move(In));
    rig.run(press()); // focused and pressed: the look that carries a focus rectangle
    rig.button->setEnabled(false);
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Disabled));
    const QImage img = rig.button->image();
    QCOMPARE(img.pixel(37, 0) & 0xFFFFFF, 0xC9C7BAu);
    QCOMPARE(img.pixel(1, 11) & 0xFFFFFF, 0xF5F4EAu);
    QCOMPARE(img.pixel(3, 3) & 0xFFFFFF, 0xF5F4EAu); // where the focus dots would start
    QCOMPARE(img.pixel(71, 19) & 0xFFFFFF, 0xF5F4EAu);
    int grey = 0, black = 0;
    for (int y = 3; y < 20; ++y)
        for (int x = 3; x < 72; ++x) {
            const QRgb p = img.pixel(x, y) & 0xFFFFFF;
            grey += p == 0xA1A192;
            black += p == 0;
        }
    QVERIFY(grey > 10);
    QCOMPARE(black, 0);
    for (const Pixel& p : elementPixels(ccXPButton::Disabled))
        QCOMPARE(img.pixel(p.at) & 0xFFFFFF, p.rgb);
}

void TestCcXPButton::captionColour_data()
{
    QTest::addColumn<quint32>("foreColor");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("black") << 0u << QColor(Qt::black);
    QTest::newRow("bgr order") << 0x000000FFu << QColor(0xFF, 0, 0);
    QTest::newRow("button text") << 0x80000012u << QPalette().color(QPalette::ButtonText);
    QTest::newRow("highlight") << 0x8000000Du << QPalette().color(QPalette::Highlight);
}

void TestCcXPButton::captionColour()
{
    QFETCH(quint32, foreColor);
    QFETCH(QColor, expected);
    Rig rig;
    QFont font = rig.button->Font();
    font.setStyleStrategy(QFont::NoAntialias);
    rig.button->setFont(font);
    rig.button->setCaption(QStringLiteral("&Go"));
    QSignalSpy changed(rig.button, &ccXPButton::PropertyChanged);
    rig.button->setForeColor(foreColor);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(rig.button->ForeColor(), foreColor);
    int hits = 0;
    const QImage img = rig.button->image();
    for (int y = 3; y < 20; ++y)
        for (int x = 3; x < 72; ++x)
            hits += (img.pixel(x, y) & 0xFFFFFF) == (expected.rgb() & 0xFFFFFF);
    QVERIFY(hits > 10);
}

void TestCcXPButton::sixPixelButton()
{
    // The control itself never gets this small (100 twips round to 7 pixels), so the drawing is
    // checked on its own.
    QImage img(40, 6, QImage::Format_RGB32);
    xpbutton::paintBody(img, ccXPButton::Normal, Qt::magenta);
    QFont font;
    font.setStyleStrategy(QFont::NoAntialias);
    xpbutton::paintCaption(img, QStringLiteral("&OK"), font, Qt::red);
    const auto& k = xpbutton::StateTable[ccXPButton::Normal];
    auto c = [](quint32 bgr) { return xpbutton::colorFromBgr(bgr).rgb(); };
    QCOMPARE(img.pixel(3, 0), c(k.frame));
    QCOMPARE(img.pixel(36, 5), c(k.frame));
    QCOMPARE(img.pixel(0, 1), c(k.cornerNeighbour));
    QCOMPARE(img.pixel(0, 3), c(k.cornerEdge)); // edge pixel at H-3 meets the top corner's
    QCOMPARE(img.pixel(1, 4), c(k.cornerInner));
    QCOMPARE(img.pixel(38, 1), c(k.cornerInner));
    QCOMPARE(img.pixel(37, 5), c(k.cornerEdge));
    int red = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 40; ++x)
            red += img.pixel(x, y) == QColor(Qt::red).rgb();
    QVERIFY(red > 0);
    QCOMPARE(img.pixel(0, 0), QColor(Qt::magenta).rgb()); // the cut-off corner keeps the back colour

    // A gradient with no height draws nothing.
    QImage flat(10, 10, QImage::Format_RGB32);
    flat.fill(Qt::white);
    xpbutton::paintGradient(flat, 0, 3, 10, 3, 0x0000FF, 0xFF0000);
    QCOMPARE(flat.pixel(5, 3), QColor(Qt::white).rgb());
}

void TestCcXPButton::behaviour_data()
{
    using S = ccXPButton::State;
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QList<int>>("states"); // after each step
    QTest::addColumn<QStringList>("events");

    QTest::newRow("click") << Steps{activate(), move(In), press(), release()}
                           << QList<int>{S::Normal, S::Hot, S::Pressed, S::Hot}
                           << QStringList{"Activate1", "Move", "Click"};
    QTest::newRow("drag out and back, release outside")
        << Steps{activate(), move(In), press(), move(Out), move(In), move(Out), release(Out)}
        << QList<int>{S::Normal, S::Hot, S::Pressed, S::Focused, S::Pressed, S::Focused, S::Focused}
        << QStringList{"Activate1", "Move", "Move", "Move", "Move"};
    QTest::newRow("space held ignores the mouse, clicks outside")
        << Steps{activate(), keyDown(Qt::Key_Space), move(In), move(Out), keyUp(Qt::Key_Space)}
        << QList<int>{S::Normal, S::Pressed, S::Pressed, S::Pressed, S::Focused}
        << QStringList{"Activate1", "Click"};
    QTest::newRow("space released over the button")
        << Steps{activate(), move(In), keyDown(Qt::Key_Space), keyUp(Qt::Key_Space)}
        << QList<int>{S::Normal, S::Hot, S::Pressed, S::Hot} << QStringList{"Activate1", "Move", "Click"};
    QTest::newRow("space while the mouse holds the press")
        << Steps{activate(), move(In), press(), keyDown(Qt::Key_Space), keyUp(Qt::Key_Space), release()}
        << QList<int>{S::Normal, S::Hot, S::Pressed, S::Pressed, S::Pressed, S::Hot}
        << QStringList{"Activate1", "Move", "Click"};
    QTest::newRow("enter clicks on key down, no pressed look")
        << Steps{activate(), keyDown(Qt::Key_Return), keyUp(Qt::Key_Return)}
        << QList<int>{S::Normal, S::Normal, S::Normal} << QStringList{"Activate1", "Click"};
    QTest::newRow("double click") << Steps{activate(), move(In), press(), release(), dblClick(), release()}
                                  << QList<int>{S::Normal, S::Hot, S::Pressed, S::Hot, S::Pressed, S::Hot}
                                  << QStringList{"Activate1", "Move", "Click", "DblClick"};
    QTest::newRow("deactivation cancels a press")
        << Steps{activate(), move(In), press(), deactivate(), release()}
        << QList<int>{S::Normal, S::Hot, S::Pressed, S::Normal, S::Normal}
        << QStringList{"Activate1", "Move", "Activate0"};
    QTest::newRow("deactivation cancels space")
        << Steps{activate(), keyDown(Qt::Key_Space), deactivate(), keyUp(Qt::Key_Space)}
        << QList<int>{S::Normal, S::Pressed, S::Normal, S::Focused} << QStringList{"Activate1", "Activate0"};
    QTest::newRow("reactivation shows focus") << Steps{activate(), focusIn(), deactivate(), activate()}
                                              << QList<int>{S::Normal, S::Focused, S::Normal, S::Focused}
                                              << QStringList{"Activate1", "Activate0", "Activate1"};
    QTest::newRow("inactive host: no hover, no click")
        << Steps{move(In), press(), release()} << QList<int>{S::Normal, S::Pressed, S::Pressed} << QStringList{};
    QTest::newRow("leave without focus") << Steps{activate(), move(In), leave()}
                                         << QList<int>{S::Normal, S::Hot, S::Normal} << QStringList{"Activate1", "Move"};
    QTest::newRow("leave with focus") << Steps{activate(), move(In), press(), release(), leave()}
                                      << QList<int>{S::Normal, S::Hot, S::Pressed, S::Hot, S::Focused}
                                      << QStringList{"Activate1", "Move", "Click"};
    QTest::newRow("leave that was never asked for") << Steps{activate(), focusIn(), leave()}
                                                    << QList<int>{S::Normal, S::Focused, S::Focused}
                                                    << QStringList{"Activate1"};
    QTest::newRow("default button") << Steps{activate(), displayAsDefault(true), move(In), leave(), displayAsDefault(false)}
                                    << QList<int>{S::Normal, S::Focused, S::Hot, S::Focused, S::Normal}
                                    << QStringList{"Activate1", "Move"};
    QTest::newRow("right button neither presses nor double-clicks")
        << Steps{activate(), move(In), {Act::Press, In, 2}}
        << QList<int>{S::Normal, S::Hot, S::Hot} << QStringList{"Activate1", "Move"};
}

void TestCcXPButton::behaviour()
{
    QFETCH(Steps, steps);
    QFETCH(QList<int>, states);
    QFETCH(QStringList, events);
    QCOMPARE(steps.size(), states.size());
    Rig rig;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        Step s = steps[i];
        if (s.act == Act::Press && s.key == 2)
            rig.mouse(QEvent::MouseButtonPress, s.pos, Qt::RightButton);
        else
            rig.run(s);
        QVERIFY2(int(rig.button->state()) == states[i],
                 qPrintable(QStringLiteral("step %1: state %2, want %3").arg(i).arg(int(rig.button->state())).arg(states[i])));
    }
    QCOMPARE(rig.events, events);
}

void TestCcXPButton::accessKeyFromCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("ampersand and letter") << "&O" << "o";
    QTest::newRow("inside a word") << "Save &As" << "a";
    QTest::newRow("doubled ampersand before a letter") << "&&O" << "";
    QTest::newRow("doubled, then a single one") << "&&&O" << "o";
    QTest::newRow("doubled in the middle") << "R&&D &Log" << "l";
    QTest::newRow("ampersand last") << "OK&" << "";
    QTest::newRow("only an ampersand") << "&" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("no ampersand") << "OK" << "";
    QTest::newRow("digit") << "&1 Play" << "1";
}

void TestCcXPButton::accessKeyFromCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, key);
    const QChar k = ccXPButton::accessKeyFrom(caption);
    QCOMPARE(k.isNull() ? QString() : QString(k), key);
}

void TestCcXPButton::altKeyClicks()
{
    Rig rig;
    auto* other = new ccXPButton(&rig.host);
    other->setGeometry(100, 10, 75, 23);
    other->ReadProperties(PropertyBag());
    other->setCaption(QStringLiteral("&&Cancel")); // no access key
    other->show();
    rig.button->setCaption(QStringLiteral("&&&Next"));
    rig.host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.host));
    rig.events.clear();
    QSignalSpy otherClicks(other, &ccXPButton::Click);

    QTest::keyClick(&rig.host, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(rig.events, QStringList{"Click"});
    QVERIFY(rig.button->hasFocus()); // the key also brings the focus, as a click would

    QTest::keyClick(&rig.host, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(otherClicks.size(), 0);

    rig.button->setEnabled(false);
    rig.events.clear();
    QTest::keyClick(&rig.host, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(rig.events, QStringList{});

    // The key follows the caption.
    rig.button->setEnabled(true);
    rig.button->setCaption(QStringLiteral("&Back"));
    QTest::keyClick(&rig.host, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(rig.events, QStringList{});
    QTest::keyClick(&rig.host, Qt::Key_B, Qt::AltModifier);
    QCOMPARE(rig.events, QStringList{"Click"});
}

void TestCcXPButton::accessKeyEndsSpacePress()
{
    Rig rig;
    rig.button->setCaption(QStringLiteral("&Go"));
    rig.host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.host));
    rig.button->setFocus();
    rig.events.clear();
    rig.run(keyDown(Qt::Key_Space));
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Pressed));
    QTest::keyClick(&rig.host, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Focused));
    rig.run(keyUp(Qt::Key_Space)); // the press was cancelled: no click on release
    QCOMPARE(rig.events, QStringList{});
}

void TestCcXPButton::minimumSize_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("result");
    QTest::newRow("both too small") << QSize(3, 3) << QSize(7, 7);
    QTest::newRow("6 pixels = 90 twips") << QSize(75, 6) << QSize(75, 7);
    QTest::newRow("narrow") << QSize(1, 40) << QSize(7, 40);
    QTest::newRow("7 pixels is enough") << QSize(7, 7) << QSize(7, 7);
    QTest::newRow("ordinary") << QSize(75, 23) << QSize(75, 23);
}

void TestCcXPButton::minimumSize()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, result);
    Rig rig;
    rig.run(activate());
    rig.run(move(QPoint(3, 3)));
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Hot));
    rig.button->resize(requested);
    QCOMPARE(rig.button->size(), result);
    // Drawn once at the enlarged size, in the look it had.
    QCOMPARE(rig.button->image().size(), result);
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Hot));
    const auto& k = xpbutton::StateTable[ccXPButton::Hot];
    QCOMPARE(rig.button->image().pixel(1, 0), xpbutton::colorFromBgr(k.cornerNeighbour).rgb());
    QCOMPARE(rig.button->image().pixel(result.width() - 3, result.height() - 1), xpbutton::colorFromBgr(k.cornerEdge).rgb());
    // The control keeps working: the lock is not left behind.
    rig.button->setForeColor(0xFF);
    rig.button->resize(40, 30);
    QCOMPARE(rig.button->image().size(), QSize(40, 30));
}

void TestCcXPButton::fontChangesRedraw()
{
    Rig rig;
    QSignalSpy changed(rig.button, &ccXPButton::PropertyChanged);
    const QImage before = rig.button->image();
    QFont big = rig.button->Font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    rig.button->setFont(big);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toString(), QStringLiteral("Font"));
    QVERIFY(rig.button->image() != before);

    // A change of the font from outside the property (the plain widget call) redraws too.
    const QImage bold = rig.button->image();
    static_cast<QWidget*>(rig.button)->setFont(QFont(big.family(), 6));
    QCOMPARE(changed.size(), 2);
    QVERIFY(rig.button->image() != bold);

    // Writing the same font still counts as a write.
    rig.button->setFont(rig.button->Font());
    QCOMPARE(changed.size(), 3);
}

void TestCcXPButton::newInstanceCaption_data()
{
    QTest::addColumn<QStringList>("others");
    QTest::addColumn<QString>("caption");
    QTest::newRow("first") << QStringList{} << "&OK";
    QTest::newRow("after OK") << QStringList{"&OK"} << "&Cancel";
    QTest::newRow("after OK and Cancel") << QStringList{"&Cancel", "&OK"} << "&Apply";
    QTest::newRow("all three taken") << QStringList{"&OK", "&Apply", "&Cancel"} << "cmdNew";
    QTest::newRow("only Cancel") << QStringList{"&Cancel"} << "&OK";
    QTest::newRow("whole captions only") << QStringList{"&OK now", "OK"} << "&OK";
}

void TestCcXPButton::newInstanceCaption()
{
    QFETCH(QStringList, others);
    QFETCH(QString, caption);
    QWidget host;
    auto* panel = new QWidget(&host); // buttons anywhere on the same window count
    for (const QString& c : others) {
        auto* b = new ccXPButton(panel);
        b->ReadProperties(PropertyBag());
        b->setCaption(c);
    }
    QWidget elsewhere;
    auto* foreign = new ccXPButton(&elsewhere);
    foreign->InitProperties();
    QCOMPARE(foreign->Caption(), QStringLiteral("&OK"));

    auto* b = new ccXPButton(&host);
    b->setObjectName(QStringLiteral("cmdNew"));
    b->InitProperties();
    QCOMPARE(b->Caption(), caption);
    QCOMPARE(b->ForeColor(), 0u);
    QVERIFY(b->Enabled());
    QVERIFY(b->FocusRect());
    QCOMPARE(int(b->state()), int(ccXPButton::Normal));
    QVERIFY(!b->image().isNull());
}

void TestCcXPButton::newInstanceAnswersMouse()
{
    // Created without saved data, the button must still hear its window's activation.
    QWidget host;
    host.resize(200, 100);
    auto* b = new ccXPButton(&host);
    b->setGeometry(10, 10, 75, 23);
    b->InitProperties();
    host.show();
    QSignalSpy clicks(b, &ccXPButton::Click);
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(&host, &activation);
    QMouseEvent moveIn(QEvent::MouseMove, QPointF(In), QPointF(b->mapToGlobal(In)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(b, &moveIn);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, In);
    QCOMPARE(clicks.size(), 1);
}

void TestCcXPButton::savedDataOrderAndDefaults()
{
    QWidget host;
    auto* b = new ccXPButton(&host);
    QSignalSpy changed(b, &ccXPButton::PropertyChanged);
    b->ReadProperties(PropertyBag());
    QStringList order;
    for (const auto& args : changed)
        order << args[0].toString();
    QCOMPARE(order, (QStringList{"Caption", "ForeColor", "Font", "FocusRect", "Enabled"}));
    QCOMPARE(b->Caption(), QStringLiteral("&OK"));
    QCOMPARE(b->ForeColor(), 0u);
    QVERIFY(b->FocusRect() && b->Enabled());

    PropertyBag defaults;
    b->WriteProperties(defaults);
    QCOMPARE(defaults.keys(), QStringList{"Font"}); // the font is always stored, the rest only if changed

    QFont font(QStringLiteral("DejaVu Serif"), 13);
    PropertyBag saved;
    saved.WriteProperty(QStringLiteral("caption"), QStringLiteral("&Play"));
    saved.WriteProperty(QStringLiteral("FORECOLOR"), 0x80000012u);
    saved.WriteProperty(QStringLiteral("Font"), font);
    saved.WriteProperty(QStringLiteral("FocusRect"), false);
    saved.WriteProperty(QStringLiteral("Enabled"), false);
    auto* c = new ccXPButton(&host);
    c->ReadProperties(saved);
    QCOMPARE(c->Caption(), QStringLiteral("&Play"));
    QCOMPARE(c->accessKey(), QLatin1Char('p'));
    QCOMPARE(c->ForeColor(), 0x80000012u);
    QCOMPARE(c->Font().pointSize(), 13);
    QVERIFY(!c->FocusRect());
    QVERIFY(!c->Enabled() && !c->isEnabled());
    QCOMPARE(int(c->state()), int(ccXPButton::Disabled));

    PropertyBag again;
    c->WriteProperties(again);
    QCOMPARE(again.size(), 5);
    QCOMPARE(again.ReadProperty(QStringLiteral("Caption")).toString(), QStringLiteral("&Play"));
    QCOMPARE(again.ReadProperty(QStringLiteral("ForeColor")).toUInt(), 0x80000012u);
    QCOMPARE(again.ReadProperty(QStringLiteral("Font")).value<QFont>(), c->Font());
    QCOMPARE(again.ReadProperty(QStringLiteral("Enabled"), true).toBool(), false);
    QCOMPARE(again.ReadProperty(QStringLiteral("FocusRect"), true).toBool(), false);
}

void TestCcXPButton::snapMouseToCentre()
{
    Rig rig;
    rig.host.move(101, 100);
    QTest::qWait(0);
    const QPoint origin = rig.button->mapToGlobal(QPoint(0, 0));
    QVERIFY(origin.x() % 2 == 1 && origin.y() % 2 == 0);
    rig.button->SnapMouseTo();
    // 75 x 23: half a pixel either way, rounded to the even neighbour.
    QCOMPARE(QCursor::pos(), origin + QPoint(37, 12));
    QVERIFY(rig.button->hWnd() != 0);
}

void TestCcXPButton::hooksFollowRealWindows()
{
    Rig rig;
    auto* next = new ccXPButton(&rig.host);
    next->setGeometry(100, 10, 75, 23);
    next->ReadProperties(PropertyBag());
    next->show();
    QWidget other;
    other.resize(50, 50);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QSignalSpy activations(rig.button, &ccXPButton::FormActivate);

    rig.host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.host));
    QTRY_VERIFY(!activations.isEmpty());
    QCOMPARE(activations.last()[0].toInt(), 1);
    rig.button->setFocus();
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Focused));

    // Arrow keys move the focus between controls.
    QTest::keyClick(rig.button, Qt::Key_Right);
    QVERIFY(next->hasFocus());
    QCOMPARE(int(next->state()), int(ccXPButton::Focused));
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Normal));
    QTest::keyClick(next, Qt::Key_Up);
    QVERIFY(rig.button->hasFocus());

    // Another window taking the activation: Normal look, FormActivate 0.
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTRY_COMPARE(activations.last()[0].toInt(), 0);
    QCOMPARE(int(rig.button->state()), int(ccXPButton::Normal));
}

void TestCcXPButton::subWindowActivation()
{
    QMdiArea area;
    area.resize(400, 300);
    auto* form = new QWidget;
    auto* b = new ccXPButton(form);
    b->setGeometry(10, 10, 75, 23);
    QMdiSubWindow* sub = area.addSubWindow(form);
    b->ReadProperties(PropertyBag());
    QSignalSpy activations(b, &ccXPButton::FormActivate);
    auto* second = area.addSubWindow(new QWidget);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    sub->show();
    second->show();
    area.setActiveSubWindow(sub);
    area.setActiveSubWindow(second);
    QVERIFY(activations.size() >= 2);
    QCOMPARE(activations.last()[0].toInt(), 0);
    area.setActiveSubWindow(sub);
    QCOMPARE(activations.last()[0].toInt(), 1);
}

QTEST_MAIN(TestCcXPButton)
#include "tst_ccxpbutton.moc"
