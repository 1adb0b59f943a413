#include "ColorValue.h"

#include <QTest>

class TestColorValue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void values_data();
    void values();
};

void TestColorValue::values_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("expected");
    const QPalette p;
    QTest::newRow("0x00BBGGRR red") << 0x000000FFu << QColor(255, 0, 0);
    QTest::newRow("0x00BBGGRR mixed") << 0x00403020u << QColor(0x20, 0x30, 0x40);
    QTest::newRow("high byte ignored below the system bit") << 0x7F0000FFu << QColor(255, 0, 0);
    QTest::newRow("5 window") << 0x80000005u << p.color(QPalette::Base);
    QTest::newRow("8 window text") << 0x80000008u << p.color(QPalette::Text);
    QTest::newRow("13 highlight") << 0x8000000Du << p.color(QPalette::Highlight);
    QTest::newRow("15 button face") << 0x8000000Fu << p.color(QPalette::Button);
    QTest::newRow("17 grey text") << 0x80000011u << p.color(QPalette::Disabled, QPalette::Text);
    QTest::newRow("18 button text") << 0x80000012u << p.color(QPalette::ButtonText);
    QTest::newRow("24 tooltip back") << 0x80000018u << p.color(QPalette::ToolTipBase);
    QTest::newRow("25 has no colour") << 0x80000019u << QColor(Qt::black);
    QTest::newRow("26 hot track") << 0x8000001Au << p.color(QPalette::Link);
    QTest::newRow("past the last index") << 0x80000040u << QColor(Qt::black);
}

void TestColorValue::values()
{
    QFETCH(quint32, value);
    QFETCH(QColor, expected);
    QCOMPARE(colorvalue::toColor(value, QPalette()), expected);
}

QTEST_MAIN(TestColorValue)
#include "tst_colorvalue.moc"
