#include "Bd.h"
#include "BrowserControl.h"
#include "Form1.h"
#include "LinkLabel.h"
#include "MediaPlayer.h"
#include "Placement.h"
#include "SkinLabel.h"
#include "TreeView.h"
#include "WebLinks.h"
#include "WindowFixture.h"
#include "WindowRegistry.h"
#include "Windows.h"

#include <QAction>
#include <QMenuBar>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

// The main window's pop-up menus, their titles, the ad switch and the view switches.
class TestForm1Menus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menusAsDesigned_data();
    void menusAsDesigned();
    void itemsDoWhatTheySay_data();
    void itemsDoWhatTheySay();
    void titlesFrameUntilCleared();
    void alwaysOnTopCaptionsAlternate();
    void compactModeAtDesignSize();
    void hideAndShowTheList();
    void hideListCompactLeaveEndsInNormalView();
    void adSwitchOnlyHidesThePanel();
    void playerMovesShowFloatingButtonsInCompactModeOnly();

private:
    Form1* showMain();
    QRect rect(QWidget* w) const { return w->geometry(); }

    WindowFixture* m_fixture = nullptr;
};

void TestForm1Menus::init()
{
    m_fixture = new WindowFixture;
    registerWindows();
}

void TestForm1Menus::cleanup() { delete m_fixture; }

Form1* TestForm1Menus::showMain()
{
    Form1* form = WindowRegistry::instance().show<Form1>();
    form->resize(Form1::DesignClientWidth, Form1::DesignClientHeight);
    // Where the layout rule puts the tree in the normal view.
    placement::setRect(form->TreeView1, 7, 47, 145, 470);
    return form;
}

void TestForm1Menus::menusAsDesigned_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items"); // name=caption, "-" marks a separator
    QTest::newRow("MnuFile") << "MnuFile"
                             << QStringList{"Formtop=窗口置顶(&O)...", "ghn=-", "Mnumini=精简模式(&A)...", "l125=-",
                                            "MnuExit=退出(&X)"};
    QTest::newRow("MnuHelp") << "MnuHelp"
                             << QStringList{"mnuabout=关于我们", "cd=-", "Mnunew=淘宝特价", "ff=-", "mnuzhuye=Orvalis"};
}

void TestForm1Menus::menusAsDesigned()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    Form1* form = showMain();
    auto* m = form->findChild<QMenu*>(menu);
    QVERIFY(m);
    QCOMPARE(m->title(), menu == u"MnuFile" ? QStringLiteral("选项(&F)") : QStringLiteral("帮助(&H)"));
    QStringList got;
    for (QAction* a : m->actions())
        got << a->objectName() + u'=' + (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(got, items);
    QCOMPARE(form->findChild<QAction*>(QStringLiteral("Formtop"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QVERIFY(!form->findChild<QMenuBar*>()); // pop-up menus only, never a bar
}

void TestForm1Menus::itemsDoWhatTheySay_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("mainLoaded");
    QTest::addColumn<bool>("aboutLoaded");
    QTest::addColumn<QString>("link");
    QTest::newRow("MnuExit") << "MnuExit" << false << false << QString();
    QTest::newRow("mnuabout") << "mnuabout" << true << true << QString();
    QTest::newRow("Mnunew") << "Mnunew" << true << false << weblinks::bargainPage();
    QTest::newRow("mnuzhuye, with its slash") << "mnuzhuye" << true << false << weblinks::homePage();
}

void TestForm1Menus::itemsDoWhatTheySay()
{
    QFETCH(QString, item);
    QFETCH(bool, mainLoaded);
    QFETCH(bool, aboutLoaded);
    QFETCH(QString, link);
    Form1* form = showMain();
    form->findChild<QAction*>(item)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(WindowRegistry::instance().find<Form1>() != nullptr, mainLoaded);
    QCOMPARE(WindowRegistry::instance().find(QStringLiteral("Form2")) != nullptr, aboutLoaded);
    QCOMPARE(m_fixture->host.opened, link.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(link)});
    QVERIFY(link.isEmpty() || link.endsWith(u'/'));
}

void TestForm1Menus::titlesFrameUntilCleared()
{
    Form1* form = showMain();
    QTest::mousePress(form->Mnu1, Qt::RightButton); // any button opens the file menu
    QCOMPARE(form->Mnu1->frameShape(), QFrame::Box);
    QTRY_VERIFY(form->MnuFile->isVisible());
    form->MnuFile->hide();
    QCOMPARE(form->Mnu1->frameShape(), QFrame::Box); // kept after the menu closes
    QTest::mouseClick(form->Mnu4, Qt::LeftButton);
    QCOMPARE(form->Mnu1->frameShape(), QFrame::NoFrame);
    QCOMPARE(form->Mnu4->frameShape(), QFrame::Box);
    QTRY_VERIFY(form->MnuHelp->isVisible());
    QCOMPARE(form->MnuHelp->pos(), form->mapToGlobal(QPoint(83, 40))); // below the title's left end
    form->MnuHelp->hide();
    Q_EMIT form->Bd1->Click();
    QCOMPARE(form->Mnu4->frameShape(), QFrame::NoFrame);
}

void TestForm1Menus::alwaysOnTopCaptionsAlternate()
{
    Form1* form = showMain();
    QAction* item = form->findChild<QAction*>(QStringLiteral("Formtop"));
    const QStringList expected{QStringLiteral("取消置顶"), QStringLiteral("窗口置顶"), QStringLiteral("取消置顶")};
    for (int i = 0; i < expected.size(); ++i) {
        item->trigger();
        QCOMPARE(item->text(), expected[i]);
        QCOMPARE(form->alwaysOnTop(), i % 2 == 0);
        QCOMPARE(bool(form->windowFlags() & Qt::WindowStaysOnTopHint), i % 2 == 0);
        QVERIFY(form->isVisible());
    }
}

void TestForm1Menus::compactModeAtDesignSize()
{
    Form1* form = showMain();
    form->Mnumini_Click();
    QCOMPARE(rect(form->wmp1), QRect(7, 0, 726, 575));
    QCOMPARE(rect(form->Bd9).topLeft(), QPoint(-8, 0));
    QCOMPARE(form->Bd9->width(), 756);
    QCOMPARE(rect(form->Bd10).topLeft(), QPoint(-8, 522));
    QCOMPARE(form->Bd10->width(), 756);
    QCOMPARE(rect(form->Bd5), QRect(0, 0, 7, 530));
    for (QWidget* hidden : {static_cast<QWidget*>(form->Bd1), static_cast<QWidget*>(form->Bd4),
                            static_cast<QWidget*>(form->Bd6), static_cast<QWidget*>(form->Mnu),
                            static_cast<QWidget*>(form->TreeView1), static_cast<QWidget*>(form->ImageA),
                            static_cast<QWidget*>(form->ImageB)})
        QVERIFY2(!placement::visible(hidden), qPrintable(hidden->objectName()));
    QVERIFY(placement::visible(form->Bd10));
}

void TestForm1Menus::hideAndShowTheList()
{
    Form1* form = showMain();
    QTest::mouseClick(form->ImageA, Qt::LeftButton);
    QCOMPARE(form->wmp1->x(), 7);
    QCOMPARE(form->wmp1->width(), 726);
    QCOMPARE(form->Bd5->x(), 0);
    QVERIFY(!placement::visible(form->TreeView1) && !placement::visible(form->ImageA) && placement::visible(form->ImageB));
    QTest::mouseClick(form->ImageB, Qt::LeftButton);
    QCOMPARE(form->Bd5->x(), 152);
    QCOMPARE(form->wmp1->x(), 159);
    QCOMPARE(form->wmp1->width(), 574);
    QVERIFY(placement::visible(form->TreeView1) && placement::visible(form->ImageA) && !placement::visible(form->ImageB));
}

void TestForm1Menus::hideListCompactLeaveEndsInNormalView()
{
    Form1* form = showMain();
    form->ImageA_Click();
    form->Mnumini_Click();
    form->PtA->show();
    QTest::mouseClick(form->PtA, Qt::LeftButton);
    QVERIFY(placement::visible(form->TreeView1));
    QVERIFY(placement::visible(form->ImageA));
    QVERIFY(!placement::visible(form->ImageB));
    QVERIFY(!placement::visible(form->PtA) && !placement::visible(form->PtB) && !placement::visible(form->Bd10));
    QCOMPARE(form->wmp1->x(), 159);
    QCOMPARE(form->wmp1->width(), 574);
    QCOMPARE(form->TreeView1->geometry().topLeft(), QPoint(7, 47)); // below the menu strip and the caption
    QCOMPARE(form->Bd5->geometry(), QRect(152, 47, 7, form->TreeView1->height())); // exactly as high as the tree
}

void TestForm1Menus::adSwitchOnlyHidesThePanel()
{
    Form1* form = showMain();
    QVERIFY(form->Option1->isChecked());
    const int loads = int(m_fixture->pages.allLoads.size());
    QTest::mouseClick(form->Option2, Qt::LeftButton);
    QVERIFY(!form->Option1->isChecked() && form->Option2->isChecked());
    QVERIFY(!placement::visible(form->WebBrowser1));
    QTest::mouseClick(form->Option1, Qt::LeftButton);
    QVERIFY(placement::visible(form->WebBrowser1));
    QCOMPARE(int(m_fixture->pages.allLoads.size()), loads); // not navigated again
}

void TestForm1Menus::playerMovesShowFloatingButtonsInCompactModeOnly()
{
    Form1* form = showMain();
    form->ImageA->showStore(QStringLiteral("Image2")); // as the handle's own hover leaves it
    Q_EMIT form->wmp1->MouseMove(0, 0, 10, 10);
    QVERIFY(!placement::visible(form->PtA) && !placement::visible(form->PtB));
    QCOMPARE(form->ImageA->store(), QStringLiteral("Image1"));

    form->Mnumini_Click();
    Q_EMIT form->wmp1->MouseMove(0, 0, 10, 10);
    QVERIFY(placement::visible(form->PtA) && placement::visible(form->PtB));
    QCOMPARE(form->PtB->pos(), QPoint(form->Bd5->width(), form->Bd9->height()));
    QCOMPARE(form->PtA->pos(), QPoint(form->PtB->width() + 8, form->Bd9->height()));
    QCOMPARE(form->PtB->x(), 7);
    QCOMPARE(form->PtA->store(), QStringLiteral("Pt1"));
    QCOMPARE(form->PtB->store(), QStringLiteral("Pt4"));

    form->ImageB->showStore(QStringLiteral("Image3"));
    Q_EMIT form->TreeView1->MouseMove(0, 0, 5, 5);
    QCOMPARE(form->ImageB->store(), QStringLiteral("Image4"));
}

QTEST_MAIN(TestForm1Menus)
#include "tst_form1menus.moc"
