#include "SkinPictures.h"

#include <QGuiApplication>
#include <QTest>

class TestSkinPictures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyElementHasItsPicture();
    void sizes_data();
    void sizes();
    void stripsAreOpaque();
    void unknownName();
};

// Every picture the main window assigns exists at both scales, and the 2x one is the same
// picture at twice the detail: it paints at the 1x size.
void TestSkinPictures::everyElementHasItsPicture()
{
    QCOMPARE(skin::mainWindow().size(), size_t(33));
    for (const skin::Assignment& a : skin::mainWindow()) {
        const QString name = QLatin1String(a.picture);
        const QPixmap one = skin::picture(name, 1);
        const QPixmap two = skin::picture(name, 2);
        QVERIFY2(!one.isNull() && !two.isNull(), a.picture);
        QCOMPARE(one.devicePixelRatio(), 1.0);
        QCOMPARE(two.devicePixelRatio(), 2.0);
        QCOMPARE(two.size(), one.size() * 2);
        QCOMPARE(skin::pictureFor(QLatin1String(a.element)), name);
    }
}

void TestSkinPictures::sizes_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QSize>("size");
    // The sizes the window's elements are laid out for.
    QTest::newRow("window background") << "Form1" << QSize(301, 21);
    for (const char* e : {"Bi0", "Bi1", "Bi2", "ba0", "ba1", "Ba2", "Bc0", "Bc1", "bc2"})
        QTest::newRow(e) << e << QSize(16, 16);
    QTest::newRow("Pt1") << "Pt1" << QSize(24, 16);
    QTest::newRow("Pt2") << "Pt2" << QSize(24, 17);
    QTest::newRow("Pt3") << "Pt3" << QSize(23, 16);
    QTest::newRow("Pt4") << "Pt4" << QSize(23, 17);
    for (const char* e : {"Image1", "Image2", "Image3", "Image4"})
        QTest::newRow(e) << e << QSize(20, 50);
    // Strips are drawn at their thickness in the window, so they stretch only along their length.
    QTest::newRow("caption bar") << "Bd1" << QSize(32, 26);
    QTest::newRow("caption-button panel") << "Bd2" << QSize(69, 23);
    QTest::newRow("caption mark") << "Tr" << QSize(2, 26);
    QTest::newRow("menu strip") << "Mnu" << QSize(32, 21);
    QTest::newRow("bottom bar") << "Bd6" << QSize(32, 13);
    QTest::newRow("bottom accent") << "Bd3" << QSize(12, 2);
    QTest::newRow("left edge") << "Bd4" << QSize(7, 32);
    QTest::newRow("right edge") << "Rc" << QSize(6, 32);
    QTest::newRow("divider") << "Bd5" << QSize(7, 32);
    QTest::newRow("above the player") << "Bd9" << QSize(32, 7);
    QTest::newRow("below the player") << "Bd10" << QSize(32, 7);
}

void TestSkinPictures::sizes()
{
    QFETCH(QString, element);
    QFETCH(QSize, size);
    QCOMPARE(skin::picture(skin::pictureFor(element)).size(), size);
    QCOMPARE(skin::picture(skin::pictureFor(element), 2).deviceIndependentSize().toSize(), size);
}

// A transparent pixel in a strip would show the control's grey surface through the skin.
void TestSkinPictures::stripsAreOpaque()
{
    for (const skin::Assignment& a : skin::mainWindow()) {
        const QString name = QLatin1String(a.picture);
        if (!name.startsWith(QLatin1String("strip-")) && name != QLatin1String("window-background"))
            continue;
        for (qreal scale : {1.0, 2.0})
            QVERIFY2(!skin::picture(name, scale).hasAlphaChannel(), a.picture);
    }
}

void TestSkinPictures::unknownName()
{
    QVERIFY(skin::picture(QStringLiteral("no-such-picture"), 2).isNull());
    QVERIFY(skin::pictureFor(QStringLiteral("Bd99")).isEmpty());
    const QCursor hand = skin::linkCursor(2);
    QCOMPARE(hand.hotSpot(), skin::LinkCursorHotSpot);
    QCOMPARE(hand.pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
}

QTEST_MAIN(TestSkinPictures)
#include "tst_skinpictures.moc"
