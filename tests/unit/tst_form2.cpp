#include "Form2.h"
#include "LinkLabel.h"
#include "LumivoBuildValues.h"
#include "WebLinks.h"
#include "WindowFixture.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QCursor>
#include <QTest>

class TestForm2 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void opensTopmostAtThePointer();
    void labelsAsDesigned_data();
    void labelsAsDesigned();
    void hoverColouring();
    void clicks_data();
    void clicks();
    void doubleClickClosesOnlyFromTheSurface();
    void anyButtonOnTheSurfaceDrags();

private:
    Form2* show();
    WindowFixture* m_fixture = nullptr;
};

void TestForm2::init()
{
    m_fixture = new WindowFixture;
    registerWindows();
}

void TestForm2::cleanup() { delete m_fixture; }

Form2* TestForm2::show()
{
    Form2* form = WindowRegistry::instance().show<Form2>();
    if (form)
        (void)QTest::qWaitForWindowExposed(form);
    return form;
}

void TestForm2::opensTopmostAtThePointer()
{
    QCursor::setPos(1200, 700); // near the screen's edge: no check keeps it inside
    Form2* form = show();
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("关于我们"));
    QVERIFY(form->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(form->pos(), QPoint(1200, 700));
    QCOMPARE(form->clientArea()->size(), QSize(287, 242));
    QVERIFY(!(form->windowFlags() & Qt::WindowMinMaxButtonsHint));
    // Shown again while loaded: it stays where it is.
    QCursor::setPos(10, 10);
    QCOMPARE(WindowRegistry::instance().show<Form2>(), form);
    QCOMPARE(form->pos(), QPoint(1200, 700));
}

void TestForm2::labelsAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("tooltip");
    const QString qq = QString::fromUtf8(buildvalues::SupportQq);
    QTest::newRow("Label1") << "Label1" << "   QQ " + qq << QPoint(72, 24) << 21.75 << QColor(0, 192, 192) << "点击Q我";
    QTest::newRow("Label3") << "Label3" << "       官方主页" + weblinks::homePage() << QPoint(16, 152) << 18.0
                            << QColor(255, 0, 0) << "单击此处";
    QTest::newRow("Label2") << "Label2" << "       邮箱" + QString::fromUtf8(buildvalues::SupportEmail) << QPoint(48, 104)
                            << 18.0 << QColor(0, 192, 192) << QString();
    QTest::newRow("Label4") << "Label4" << "网页版:" + QUrl(weblinks::productSite()).host() << QPoint(32, 216) << 14.25
                            << QColor(0, 255, 0) << QString();
}

void TestForm2::labelsAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QPoint, topLeft);
    QFETCH(qreal, points);
    QFETCH(QColor, colour);
    QFETCH(QString, tooltip);
    Form2* form = show();
    auto* label = form->findChild<LinkLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->pos(), topLeft);
    QCOMPARE(label->font().pointSizeF(), points);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label->toolTip(), tooltip);
}

void TestForm2::hoverColouring()
{
    Form2* form = show();
    const auto colour = [](QLabel* l) { return l->palette().color(QPalette::WindowText); };
    QTest::mouseMove(form->Label1, QPoint(5, 5));
    QTRY_COMPARE(colour(form->Label1), QColor(255, 0, 0));
    QCOMPARE(colour(form->Label3), QColor(255, 0, 0)); // red from the start, until the surface is crossed
    QTest::mouseMove(form, QPoint(5, 5));
    QTRY_COMPARE(colour(form->Label1), QColor(0, 192, 192));
    QCOMPARE(colour(form->Label3), QColor(0, 192, 192));
    QTest::mouseMove(form->Label3, QPoint(5, 5));
    QTRY_COMPARE(colour(form->Label3), QColor(255, 0, 0));
    QCOMPARE(colour(form->Label2), QColor(0, 192, 192)); // never changes
}

void TestForm2::clicks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("Label1: QQ chat through the hidden browser")
        << "Label1" << "tencent://message/?uin=" + QString::fromUtf8(buildvalues::SupportQq) << false;
    QTest::newRow("Label3: home page") << "Label3" << weblinks::homePage() << false;
    QTest::newRow("Label4: product site") << "Label4" << weblinks::productSite() << true;
    QTest::newRow("Label2: nothing") << "Label2" << QString() << true;
}

void TestForm2::clicks()
{
    QFETCH(QString, name);
    QFETCH(QString, opened);
    QFETCH(bool, staysOpen);
    Form2* form = show();
    QTest::mouseClick(form->findChild<LinkLabel*>(name), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_fixture->host.opened, opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(opened)});
    QCOMPARE(WindowRegistry::instance().find<Form2>() != nullptr, staysOpen);
    QVERIFY(m_fixture->pages.allLoads.isEmpty()); // the chat address is never loaded as a page
}

void TestForm2::doubleClickClosesOnlyFromTheSurface()
{
    Form2* form = show();
    QTest::mouseDClick(form->Label2, Qt::LeftButton);
    QTest::mouseDClick(form->Label4, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(WindowRegistry::instance().find<Form2>(), form);
    QTest::mouseDClick(form, Qt::RightButton, {}, QPoint(5, 5));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(WindowRegistry::instance().find<Form2>(), nullptr);
}

void TestForm2::anyButtonOnTheSurfaceDrags()
{
    QCursor::setPos(100, 100);
    Form2* form = show();
    const auto drag = [form](QWidget* on, Qt::MouseButton button, QPoint by) {
        const QPoint start = on->mapToGlobal(QPoint(2, 2));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(start), button, button, {});
        QCoreApplication::sendEvent(on, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2) + by, QPointF(start + by), Qt::NoButton, button, {});
        QCoreApplication::sendEvent(form, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2) + by, QPointF(start + by), button, {}, {});
        QCoreApplication::sendEvent(form, &release);
    };
    drag(form, Qt::MiddleButton, QPoint(40, 30));
    QCOMPARE(form->pos(), QPoint(140, 130));
    drag(form->Label2, Qt::LeftButton, QPoint(40, 30)); // a press on a label starts no drag
    QCOMPARE(form->pos(), QPoint(140, 130));
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
