#include "Bd.h"
#include "BdImage.h"
#include "EdgeAlignment.h"
#include "PropertyBag.h"

#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

enum class Target { Picture, Caption, Surface, HostChild };
enum class Act { Press, Release, DblClick, Move };

struct Step
{
    Act act;
    Target target;
    QPoint pos;
    Qt::MouseButton button = Qt::LeftButton;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
};
using Steps = QList<Step>;

// Four quadrants, red, green, blue and yellow from the top left, so a stretched picture shows
// where each part of it went.
QPixmap quadrants()
{
    QImage image(16, 16, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 8, 8, Qt::red);
    p.fillRect(8, 0, 8, 8, Qt::green);
    p.fillRect(0, 8, 8, 8, Qt::blue);
    p.fillRect(8, 8, 8, 8, Qt::yellow);
    p.end();
    return QPixmap::fromImage(image);
}

QString number(float v) { return QString::number(double(v)); }

// A host window with one control loaded from saved data, and everything it raises, in order.
struct Rig
{
    explicit Rig(const PropertyBag& saved = {}, QSize size = {200, 40})
    {
        host.resize(400, 200);
        bd = new Bd(&host);
        bd->setGeometry(QRect(QPoint(10, 10), size));
        bd->ReadProperties(saved);
        hostChild = new QLabel(QStringLiteral("child"));
        bd->placeChild(hostChild, 2400, 60, 300, 225); // (160, 4) 20 x 15 pixels
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QObject::connect(bd, &Bd::DblClick, bd, [this] { events << QStringLiteral("DblClick"); });
        QObject::connect(bd, &Bd::Click, bd, [this] { events << QStringLiteral("Click"); });
        auto record = [this](const char* name) {
            return [this, name](qint16 b, qint16 s, float x, float y) {
                events << QStringLiteral("%1 %2 %3 %4 %5").arg(QLatin1String(name)).arg(b).arg(s).arg(number(x), number(y));
            };
        };
        QObject::connect(bd, &Bd::MouseDown, bd, record("Down"));
        QObject::connect(bd, &Bd::MouseMove, bd, record("Move"));
        QObject::connect(bd, &Bd::MouseUp, bd, record("Up"));
    }

    QWidget* widget(Target t) const
    {
        switch (t) {
        case Target::Picture: return bd->image();
        case Target::Caption: return bd->label();
        case Target::Surface: return bd;
        case Target::HostChild: return hostChild;
        }
        return nullptr;
    }

    void run(const Step& s)
    {
        QWidget* w = widget(s.target);
        switch (s.act) {
        case Act::Press: QTest::mousePress(w, s.button, s.mods, s.pos); break;
        case Act::Release: QTest::mouseRelease(w, s.button, s.mods, s.pos); break;
        case Act::DblClick: QTest::mouseDClick(w, s.button, s.mods, s.pos); break;
        case Act::Move: {
            // QTest moves a button-less pointer through the cursor, which the offscreen platform
            // does not turn into events; send the event the window system would.
            QMouseEvent e(QEvent::MouseMove, QPointF(s.pos), QPointF(w->mapToGlobal(s.pos)), Qt::NoButton,
                          s.button == Qt::NoButton ? Qt::MouseButtons() : Qt::MouseButtons(s.button), s.mods);
            QApplication::sendEvent(w, &e);
            break;
        }
        }
    }

    QImage shot() const { return bd->grab().toImage(); }

    QStringList events; // first: outlives the window
    QWidget host;
    Bd* bd = nullptr;
    QLabel* hostChild = nullptr;
};

PropertyBag captioned(const QString& caption)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Caption"), caption);
    return bag;
}

Step press(Target t, QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) { return {Act::Press, t, p, b, m}; }
Step release(Target t, QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) { return {Act::Release, t, p, b, m}; }
Step dblClick(Target t, QPoint p) { return {Act::DblClick, t, p}; }
Step move(Target t, QPoint p, Qt::MouseButton held = Qt::NoButton, Qt::KeyboardModifiers m = {}) { return {Act::Move, t, p, held, m}; }

} // namespace

Q_DECLARE_METATYPE(Steps)

class TestBd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void events_data();
    void events();
    void pictureStretchedAtEverySize_data();
    void pictureStretchedAtEverySize();
    void pictureFollowsEdgeAlignment();
    void backColourWhereNoPicture();
    void captionCentred_data();
    void captionCentred();
    void propertyWrites_data();
    void propertyWrites();
    void foreColourValues_data();
    void foreColourValues();
    void savedDataRoundTrip();
    void loadWithoutPictureKeepsShownPicture();
    void wrongTypeStopsLoad_data();
    void wrongTypeStopsLoad();
};

void TestBd::events_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QStringList>("expected");

    const QPoint onPicture(50, 20);  // (750, 300) twips: the picture's coordinates are the control's
    const QPoint onCaption(3, 4);    // (45, 60) twips from the caption's own corner
    const QPoint onSurface(30, 10);

    QTest::newRow("picture: click") << Steps{press(Target::Picture, onPicture), release(Target::Picture, onPicture)}
                                    << QStringList{"Down 1 0 750 300", "Up 1 0 750 300", "Click"};
    QTest::newRow("picture: double click")
        << Steps{press(Target::Picture, onPicture), release(Target::Picture, onPicture), dblClick(Target::Picture, onPicture),
                 release(Target::Picture, onPicture)}
        << QStringList{"Down 1 0 750 300", "Up 1 0 750 300", "Click", "DblClick", "Up 1 0 750 300"};
    QTest::newRow("picture: right button with Shift and Ctrl")
        << Steps{press(Target::Picture, onPicture, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier),
                 release(Target::Picture, onPicture, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier)}
        << QStringList{"Down 2 3 750 300", "Up 2 3 750 300", "Click"};
    QTest::newRow("picture: middle button with Alt")
        << Steps{press(Target::Picture, onPicture, Qt::MiddleButton, Qt::AltModifier)} << QStringList{"Down 4 4 750 300"};
    QTest::newRow("picture: released outside, no click")
        << Steps{press(Target::Picture, onPicture), release(Target::Picture, QPoint(250, 20))}
        << QStringList{"Down 1 0 750 300", "Up 1 0 3750 300"};
    QTest::newRow("picture: move without a button") << Steps{move(Target::Picture, onPicture)} << QStringList{"Move 0 0 750 300"};

    QTest::newRow("caption: click, label coordinates")
        << Steps{press(Target::Caption, onCaption), release(Target::Caption, onCaption)}
        << QStringList{"Down 1 0 45 60", "Up 1 0 45 60", "Click"};
    QTest::newRow("caption: double click raises no DblClick")
        << Steps{press(Target::Caption, onCaption), release(Target::Caption, onCaption), dblClick(Target::Caption, onCaption),
                 release(Target::Caption, onCaption)}
        << QStringList{"Down 1 0 45 60", "Up 1 0 45 60", "Click", "Up 1 0 45 60"};
    QTest::newRow("caption: drag with the left button and Alt")
        << Steps{move(Target::Caption, onCaption, Qt::LeftButton, Qt::AltModifier)} << QStringList{"Move 1 4 45 60"};

    QTest::newRow("surface: click raises no Click") << Steps{press(Target::Surface, onSurface), release(Target::Surface, onSurface)}
                                                    << QStringList{"Down 1 0 450 150", "Up 1 0 450 150"};
    QTest::newRow("surface: double click")
        << Steps{press(Target::Surface, onSurface), release(Target::Surface, onSurface), dblClick(Target::Surface, onSurface),
                 release(Target::Surface, onSurface)}
        << QStringList{"Down 1 0 450 150", "Up 1 0 450 150", "DblClick", "Up 1 0 450 150"};
    QTest::newRow("surface: move") << Steps{move(Target::Surface, onSurface)} << QStringList{"Move 0 0 450 150"};

    QTest::newRow("press on caption, release on picture: no click")
        << Steps{press(Target::Caption, onCaption), release(Target::Picture, onPicture)}
        << QStringList{"Down 1 0 45 60", "Up 1 0 750 300"};
    QTest::newRow("a host control inside keeps its own events")
        << Steps{press(Target::HostChild, QPoint(5, 5)), release(Target::HostChild, QPoint(5, 5)),
                 dblClick(Target::HostChild, QPoint(5, 5)), move(Target::HostChild, QPoint(6, 6))}
        << QStringList{};
}

void TestBd::events()
{
    QFETCH(Steps, steps);
    QFETCH(QStringList, expected);
    Rig rig(captioned(QStringLiteral("Play")));
    for (const Step& s : steps)
        rig.run(s);
    QCOMPARE(rig.events, expected);
}

void TestBd::pictureStretchedAtEverySize_data()
{
    QTest::addColumn<QSize>("resized");
    QTest::newRow("wider only") << QSize(480, 40);
    QTest::newRow("narrower only") << QSize(60, 40);
    QTest::newRow("taller only") << QSize(200, 150);
    QTest::newRow("a 7-pixel strip") << QSize(200, 7);
    QTest::newRow("both") << QSize(33, 300);
}

void TestBd::pictureStretchedAtEverySize()
{
    QFETCH(QSize, resized);
    PropertyBag saved = captioned(QString());
    saved.WriteProperty(QStringLiteral("Picture"), quadrants());
    Rig rig(saved);
    rig.bd->resize(resized);
    const QImage shot = rig.shot();
    QCOMPARE(shot.size(), resized);
    const int w = resized.width();
    const int h = resized.height();
    // The middle of each quadrant, and the four corner pixels: the picture reaches every edge.
    QCOMPARE(shot.pixelColor(w / 4, h / 4), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(3 * w / 4, h / 4), QColor(Qt::green));
    QCOMPARE(shot.pixelColor(w / 4, 3 * h / 4), QColor(Qt::blue));
    QCOMPARE(shot.pixelColor(3 * w / 4, 3 * h / 4), QColor(Qt::yellow));
    QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(w - 1, 0), QColor(Qt::green));
    QCOMPARE(shot.pixelColor(0, h - 1), QColor(Qt::blue));
    QCOMPARE(shot.pixelColor(w - 1, h - 1), QColor(Qt::yellow));
}

void TestBd::pictureFollowsEdgeAlignment()
{
    // The host keeps a top strip across its width and a left strip down the rest; each strip
    // shows its whole picture after the host changes only its width, then only its height.
    QWidget host;
    host.resize(300, 200);
    auto* top = new Bd(&host);
    auto* left = new Bd(&host);
    for (Bd* bd : {top, left}) {
        bd->setCaption(QString());
        bd->setPicture(quadrants());
    }
    top->resize(10, 26);
    left->resize(7, 10);
    EdgeAlignment edges(&host);
    edges.align(top, EdgeAlignment::Edge::Top);
    edges.align(left, EdgeAlignment::Edge::Left);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    for (const QSize size : {QSize(520, 200), QSize(520, 90)}) {
        host.resize(size);
        QCOMPARE(top->geometry(), QRect(0, 0, size.width(), 26));
        QCOMPARE(left->geometry(), QRect(0, 26, 7, size.height() - 26));
        const QImage a = top->grab().toImage();
        QCOMPARE(a.pixelColor(a.width() - 1, a.height() - 1), QColor(Qt::yellow));
        QCOMPARE(a.pixelColor(a.width() / 4, 2), QColor(Qt::red));
        const QImage b = left->grab().toImage();
        QCOMPARE(b.pixelColor(b.width() - 1, b.height() - 1), QColor(Qt::yellow));
        QCOMPARE(b.pixelColor(1, b.height() / 4), QColor(Qt::red));
    }
}

void TestBd::backColourWhereNoPicture()
{
    Rig rig(captioned(QString()));
    QCOMPARE(rig.shot().pixelColor(100, 20), QColor(64, 64, 64));
    rig.bd->setPicture(quadrants());
    QCOMPARE(rig.shot().pixelColor(10, 5), QColor(Qt::red));
    rig.bd->setPicture(QPixmap());
    QCOMPARE(rig.shot().pixelColor(10, 5), QColor(64, 64, 64));
}

void TestBd::captionCentred_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("caption");
    QTest::newRow("wide strip") << QSize(200, 40) << QStringLiteral("Play");
    QTest::newRow("odd sizes") << QSize(201, 27) << QStringLiteral("Lumivo网络电视");
    QTest::newRow("smaller than its caption") << QSize(12, 6) << QStringLiteral("a long caption");
}

void TestBd::captionCentred()
{
    QFETCH(QSize, size);
    QFETCH(QString, caption);
    Rig rig(captioned(caption), size);
    const QRect label = rig.bd->label()->geometry();
    const QFontMetrics metrics(rig.bd->Font());
    QCOMPARE(label.size(), QSize(metrics.horizontalAdvance(caption), metrics.height()));
    // Half the difference, rounded half away from zero when the control applies it.
    auto centred = [](int outer, int inner) { return int(std::lround((outer - inner) / 2.0)); };
    QCOMPARE(label.x(), centred(size.width(), label.width()));
    QCOMPARE(label.y(), centred(size.height(), label.height()));
    // The caption's grey shows at its own corner when it lies inside the control.
    if (label.x() >= 0 && label.y() >= 0)
        QCOMPARE(rig.shot().pixelColor(label.topLeft()), QColor(224, 224, 224));

    // A new caption is centred again.
    rig.bd->setCaption(caption + caption);
    const QRect again = rig.bd->label()->geometry();
    QCOMPARE(again.x(), centred(size.width(), again.width()));
}

void TestBd::propertyWrites_data()
{
    QTest::addColumn<QString>("property");
    QTest::newRow("Caption") << QStringLiteral("Caption");
    QTest::newRow("ToolTipText") << QStringLiteral("ToolTipText");
    QTest::newRow("Font") << QStringLiteral("Font");
    QTest::newRow("ForeColor") << QStringLiteral("ForeColor");
    QTest::newRow("Picture") << QStringLiteral("Picture");
}

void TestBd::propertyWrites()
{
    QFETCH(QString, property);
    Rig rig;
    QSignalSpy changed(rig.bd, &UserControl::PropertyChanged);
    Bd* bd = rig.bd;
    if (property == QLatin1String("Caption")) {
        bd->setCaption(QStringLiteral("Go"));
        QCOMPARE(bd->label()->text(), QStringLiteral("Go"));
    } else if (property == QLatin1String("ToolTipText")) {
        bd->setToolTipText(QStringLiteral("tip"));
        QCOMPARE(bd->label()->toolTip(), QStringLiteral("tip"));
        QCOMPARE(bd->image()->toolTip(), QStringLiteral("tip")); // a run-time write covers the picture too
    } else if (property == QLatin1String("Font")) {
        QFont font(QStringLiteral("DejaVu Serif"), 17);
        bd->setFont(font);
        QCOMPARE(bd->label()->font(), font);
        QCOMPARE(bd->Font(), font);
    } else if (property == QLatin1String("ForeColor")) {
        bd->setForeColor(0x000000FF);
        QCOMPARE(bd->ForeColor(), 0x000000FFu);
    } else {
        const QPixmap picture = quadrants();
        bd->setPicture(picture);
        QCOMPARE(bd->Picture().cacheKey(), picture.cacheKey()); // the same picture, not a copy
        QCOMPARE(bd->image()->picture().cacheKey(), picture.cacheKey());
    }
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().toString(), property);
}

void TestBd::foreColourValues_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("red, stored blue-green-red") << 0x000000FFu << QColor(255, 0, 0);
    QTest::newRow("a mixed colour") << 0x00336699u << QColor(0x99, 0x66, 0x33);
    QTest::newRow("system button text") << 0x80000012u << QApplication::palette().color(QPalette::ButtonText);
}

void TestBd::foreColourValues()
{
    QFETCH(quint32, value);
    QFETCH(QColor, expected);
    Rig rig;
    rig.bd->setForeColor(value);
    QCOMPARE(rig.bd->label()->palette().color(QPalette::WindowText), expected);
}

void TestBd::savedDataRoundTrip()
{
    // Nothing saved: the defaults, only the picture write notified, and nothing stored again.
    {
        QWidget host;
        auto* bd = new Bd(&host);
        QSignalSpy changed(bd, &UserControl::PropertyChanged);
        bd->ReadProperties(PropertyBag());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toString(), QStringLiteral("Picture"));
        QCOMPARE(bd->Caption(), QStringLiteral("Label1"));
        QCOMPARE(bd->ToolTipText(), QString());
        QCOMPARE(bd->ForeColor(), Bd::DefaultForeColor);
        QVERIFY(bd->Picture().isNull());
        PropertyBag out;
        bd->WriteProperties(out);
        QCOMPARE(out.keys(), QStringList());
    }
    // Everything saved, under keys in lower case as the window's data has them.
    QWidget host;
    auto* bd = new Bd(&host);
    const QFont font(QStringLiteral("DejaVu Serif"), 9);
    const QPixmap picture = quadrants();
    PropertyBag saved;
    saved.WriteProperty(QStringLiteral("picture"), picture);
    saved.WriteProperty(QStringLiteral("caption"), QStringLiteral("Go"));
    saved.WriteProperty(QStringLiteral("tooltiptext"), QStringLiteral("tip"));
    saved.WriteProperty(QStringLiteral("font"), font);
    saved.WriteProperty(QStringLiteral("forecolor"), 0x00FF0000u);
    bd->ReadProperties(saved);
    QCOMPARE(bd->Caption(), QStringLiteral("Go"));
    QCOMPARE(bd->ToolTipText(), QStringLiteral("tip"));
    QCOMPARE(bd->image()->toolTip(), QString()); // saved data puts the tooltip on the caption only
    QCOMPARE(bd->Font(), font);
    QCOMPARE(bd->ForeColor(), 0x00FF0000u);
    QCOMPARE(bd->Picture().cacheKey(), picture.cacheKey());
    QCOMPARE(bd->image()->picture().cacheKey(), picture.cacheKey());

    PropertyBag out;
    bd->WriteProperties(out);
    QCOMPARE(out.keys(), (QStringList{"Picture", "Caption", "ToolTipText", "Font", "ForeColor"}));
    QCOMPARE(out.ReadProperty(QStringLiteral("PICTURE")).value<QPixmap>().cacheKey(), picture.cacheKey());
    QCOMPARE(out.ReadProperty(QStringLiteral("caption")).toString(), QStringLiteral("Go"));
    QCOMPARE(out.ReadProperty(QStringLiteral("Font")).value<QFont>(), font);
    QCOMPARE(out.ReadProperty(QStringLiteral("ForeColor")).toUInt(), 0x00FF0000u);
}

void TestBd::loadWithoutPictureKeepsShownPicture()
{
    // The second read of the picture, without a saved one, empties the property but leaves the
    // element showing what it showed.
    Rig rig(captioned(QString()));
    rig.bd->setPicture(quadrants());
    rig.bd->ReadProperties(captioned(QString()));
    QVERIFY(rig.bd->Picture().isNull());
    QCOMPARE(rig.shot().pixelColor(10, 5), QColor(Qt::red));
}

void TestBd::wrongTypeStopsLoad_data()
{
    QTest::addColumn<QString>("badKey");
    QTest::addColumn<QVariant>("badValue");
    QTest::addColumn<QStringList>("applied");
    // Each load is of a full set of good values with one of them replaced; the values read
    // before the bad one are in, the ones after it are not.
    QTest::newRow("picture as text") << QStringLiteral("picture") << QVariant(QStringLiteral("skin.png")) << QStringList{};
    QTest::newRow("caption as a picture") << QStringLiteral("Caption") << QVariant(quadrants()) << QStringList{"Picture"};
    QTest::newRow("font as text") << QStringLiteral("FONT") << QVariant(QStringLiteral("SimSun"))
                                  << QStringList{"Picture", "Caption", "ToolTipText"};
    QTest::newRow("colour as a word") << QStringLiteral("ForeColor") << QVariant(QStringLiteral("red"))
                                      << QStringList{"Picture", "Caption", "ToolTipText", "Font"};
}

void TestBd::wrongTypeStopsLoad()
{
    QFETCH(QString, badKey);
    QFETCH(QVariant, badValue);
    QFETCH(QStringList, applied);
    const QPixmap picture = quadrants();
    const QFont font(QStringLiteral("DejaVu Serif"), 15);
    PropertyBag saved;
    saved.WriteProperty(QStringLiteral("Picture"), picture);
    saved.WriteProperty(QStringLiteral("Caption"), QStringLiteral("Go"));
    saved.WriteProperty(QStringLiteral("ToolTipText"), QStringLiteral("tip"));
    saved.WriteProperty(QStringLiteral("Font"), font);
    saved.WriteProperty(QStringLiteral("ForeColor"), 0x000000FFu);
    saved.WriteProperty(badKey, badValue);

    QWidget host;
    auto* bd = new Bd(&host);
    const QFont before = bd->Font();
    try {
        bd->ReadProperties(saved);
        QFAIL("the load went through");
    } catch (const PropertyTypeError& e) {
        const QString message = QString::fromStdString(e.what());
        QVERIFY2(message.contains(QLatin1Char('"') + badKey + QLatin1Char('"'), Qt::CaseInsensitive), qPrintable(message));
    }
    QCOMPARE(bd->Picture().cacheKey() == picture.cacheKey(), applied.contains(QLatin1String("Picture")));
    QCOMPARE(bd->Caption(), applied.contains(QLatin1String("Caption")) ? QStringLiteral("Go") : QStringLiteral("Label1"));
    QCOMPARE(bd->ToolTipText(), applied.contains(QLatin1String("ToolTipText")) ? QStringLiteral("tip") : QString());
    QCOMPARE(bd->Font(), applied.contains(QLatin1String("Font")) ? font : before);
    QCOMPARE(bd->ForeColor(), Bd::DefaultForeColor); // the last step: never reached
}

QTEST_MAIN(TestBd)
#include "tst_bd.moc"
