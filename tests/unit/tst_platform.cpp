#include "BrowserControl.h"
#include "EdgeAlignment.h"
#include "Placement.h"
#include "PreviousInstance.h"
#include "PropertyBag.h"
#include "RecordingHost.h"
#include "RecordingWebPage.h"
#include "media/RenderPath.h"

#include <QTest>
#include <QUuid>

class TestPlatform : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void propertyBagKeysIgnoreCase();
    void placementRoundsAndConvertsTwips_data();
    void placementRoundsAndConvertsTwips();
    void previousInstanceClaim();
    void browserRoutesSchemes_data();
    void browserRoutesSchemes();
    void linkThatCannotOpenIsReported();
    void edgeAlignmentFollowsContainer();
    void gpuDeviceFromNodes_data();
    void gpuDeviceFromNodes();
    void renderPathFromRenderer_data();
    void renderPathFromRenderer();
};

void TestPlatform::propertyBagKeysIgnoreCase()
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("&OK"), QString());
    bag.WriteProperty(QStringLiteral("Enabled"), true, true); // the default is not stored
    QCOMPARE(bag.ReadProperty(QStringLiteral("CAPTION")).toString(), QStringLiteral("&OK"));
    QCOMPARE(bag.ReadProperty(QStringLiteral("caption"), QStringLiteral("x")).toString(), QStringLiteral("&OK"));
    QVERIFY(!bag.contains(QStringLiteral("enabled")));
    QCOMPARE(bag.ReadProperty(QStringLiteral("Enabled"), false).toBool(), false);
    bag.WriteProperty(QStringLiteral("CAPTION"), QStringLiteral("B"), QString());
    QCOMPARE(bag.size(), 1);
    QCOMPARE(bag.ReadProperty(QStringLiteral("Caption")).toString(), QStringLiteral("B"));
}

void TestPlatform::placementRoundsAndConvertsTwips_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<bool>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("pixels exact") << 159.0f << false << 159;
    QTest::newRow("half rounds away") << 2.5f << false << 3;
    QTest::newRow("negative half") << -2.5f << false << -3;
    QTest::newRow("twips") << 3300.0f << true << 220;
    QTest::newRow("twips fraction") << 1740.0f << true << 116;
    QTest::newRow("negative twips") << -60.0f << true << -4;
}

void TestPlatform::placementRoundsAndConvertsTwips()
{
    QFETCH(float, value);
    QFETCH(bool, twips);
    QFETCH(int, pixels);
    QWidget parent;
    QWidget child(&parent);
    const auto unit = twips ? placement::Unit::Twips : placement::Unit::Pixels;
    placement::setLeft(&child, value, unit);
    placement::setTop(&child, value, unit);
    QCOMPARE(child.pos(), QPoint(pixels, pixels));
    placement::setWidth(&child, value, unit);
    QCOMPARE(child.width(), std::max(0, pixels)); // a size below zero applies as zero
    QCOMPARE(placement::left(&child, unit), twips ? float(pixels * 15) : float(pixels));
}

void TestPlatform::previousInstanceClaim()
{
    const QString name = QStringLiteral("lumivo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto* first = new QObject;
    QVERIFY(PreviousInstance::tryClaim(name, first));
    QObject second;
    QVERIFY(!PreviousInstance::tryClaim(name, &second));
    delete first; // the holder goes away: the name is free again, no file left behind
    QVERIFY(PreviousInstance::tryClaim(name, &second));

    // The program's own claim is given up when its last window goes, while the process lives on.
    const QString own = name + QStringLiteral("-own");
    PreviousInstance::decide(own);
    QVERIFY(!PreviousInstance::wasRunningAtStart());
    QObject third;
    QVERIFY(!PreviousInstance::tryClaim(own, &third));
    PreviousInstance::release();
    QVERIFY(PreviousInstance::tryClaim(own, &third));
}

void TestPlatform::browserRoutesSchemes_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("toPage");
    QTest::newRow("http") << "http://127.0.0.1:1/ad/ad.html" << true;
    QTest::newRow("https") << "https://example.invalid/" << true;
    QTest::newRow("file") << "file:///nonexistent.html" << true;
    QTest::newRow("tencent") << "tencent://message/?uin=10000" << false;
    QTest::newRow("mailto") << "mailto:someone@example.invalid" << false;
}

void TestPlatform::browserRoutesSchemes()
{
    QFETCH(QString, url);
    QFETCH(bool, toPage);
    RecordingHost host;
    RecordingPages pages;
    BrowserControl browser;
    browser.Navigate(url);
    QCOMPARE(pages.allLoads.size(), toPage ? 1 : 0);
    QCOMPARE(host.opened.size(), toPage ? 0 : 1);
    if (!toPage)
        QCOMPARE(host.opened[0].toString(), url);
}

void TestPlatform::linkThatCannotOpenIsReported()
{
    RecordingHost host;
    host.openSucceeds = false;
    openLink(QStringLiteral("http://www.example.invalid/"));
    QCOMPARE(host.opened.size(), 1);
    QCOMPARE(host.boxes.size(), 1);
    QVERIFY(host.boxes[0].text.contains(QStringLiteral("http://www.example.invalid/")));
    QCOMPARE(host.endCalls, 0); // the program keeps running
}

void TestPlatform::edgeAlignmentFollowsContainer()
{
    QWidget window;
    window.resize(739, 530);
    QWidget top(&window), bottom(&window), left(&window), right(&window);
    top.resize(10, 26);
    bottom.resize(10, 13);
    left.resize(7, 10);
    right.resize(6, 10);
    auto* edges = new EdgeAlignment(&window);
    edges->align(&top, EdgeAlignment::Edge::Top);
    edges->align(&bottom, EdgeAlignment::Edge::Bottom);
    edges->align(&left, EdgeAlignment::Edge::Left);
    edges->align(&right, EdgeAlignment::Edge::Right);
    window.show();
    window.resize(800, 600);
    QCOMPARE(top.geometry(), QRect(0, 0, 800, 26));
    QCOMPARE(bottom.geometry(), QRect(0, 587, 800, 13));
    QCOMPARE(left.geometry(), QRect(0, 26, 7, 561));
    QCOMPARE(right.geometry(), QRect(794, 26, 6, 561));
    top.hide(); // a hidden strip gives its edge to the others
    QCOMPARE(left.geometry(), QRect(0, 0, 7, 587));
}

void TestPlatform::gpuDeviceFromNodes_data()
{
    QTest::addColumn<QStringList>("driNodes");
    QTest::addColumn<bool>("nvidiaControl");
    QTest::addColumn<bool>("possible");
    QTest::newRow("no /dev/dri (container, VM)") << QStringList() << false << false;
    QTest::newRow("only the by-path folder") << QStringList{QStringLiteral("by-path")} << false << false;
    QTest::newRow("card and render node") << QStringList{QStringLiteral("card0"), QStringLiteral("renderD128")} << false
                                          << true;
    QTest::newRow("render node alone") << QStringList{QStringLiteral("renderD129")} << false << true;
    QTest::newRow("NVIDIA without DRM nodes") << QStringList() << true << true;
}

void TestPlatform::gpuDeviceFromNodes()
{
    QFETCH(QStringList, driNodes);
    QFETCH(bool, nvidiaControl);
    QFETCH(bool, possible);
    QCOMPARE(gpuDevicePossible(driNodes, nvidiaControl), possible);
}

void TestPlatform::renderPathFromRenderer_data()
{
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("software");
    QTest::newRow("llvmpipe") << "llvmpipe (LLVM 15.0.6, 256 bits)" << true;
    QTest::newRow("softpipe") << "softpipe" << true;
    QTest::newRow("no renderer string") << " " << true;
    QTest::newRow("Intel") << "Mesa Intel(R) UHD Graphics 620 (KBL GT2)" << false;
    QTest::newRow("AMD") << "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)" << false;
}

void TestPlatform::renderPathFromRenderer()
{
    QFETCH(QString, renderer);
    QFETCH(bool, software);
    QCOMPARE(renderPathForRenderer(renderer) == RenderPath::Software, software);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
