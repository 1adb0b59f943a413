// The main window's layout in its three view states, and its chrome: outline, caption drag,
// full screen, caption buttons and hover pictures.
#include "Bd.h"
#include "BdImage.h"
#include "Form1.h"
#include "MediaPlayer.h"
#include "Module1.h"
#include "SkinLabel.h"
#include "TreeView.h"
#include "WindowFixture.h"
#include "WindowRegistry.h"

#include <QMouseEvent>
#include <QScreen>
#include <QTest>

namespace {

enum class View { Normal, ListHidden, Compact };

// Puts the window into a view state by the visibility that tells the states apart, as the
// state switches leave it.
void enterView(Form1* f, View view)
{
    if (view == View::ListHidden) {
        f->TreeView1->hide();
        f->Bd4->hide();
        f->ImageA->hide();
        f->ImageB->show();
    } else if (view == View::Compact) {
        for (QWidget* w : std::initializer_list<QWidget*>{f->Bd1, f->Bd4, f->Bd6, f->Mnu, f->TreeView1, f->ImageA,
                                                          f->ImageB})
            w->hide();
        f->Bd10->show();
    }
}

// A pointer moving over `w` with no button down.
void hover(QWidget* w)
{
    const QPointF local(1, 1);
    QMouseEvent move(QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

// Every piece the window places (its children and the elements inside its strips) has a size of
// zero or more.
void verifyNoNegativeSizes(QWidget* root)
{
    QList<QWidget*> placed = root->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (Bd* strip : root->findChildren<Bd*>())
        placed += strip->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : placed) {
        QVERIFY2(w->width() >= 0 && w->height() >= 0,
                 qPrintable(w->objectName() + u' ' + QLatin1String(w->metaObject()->className()) + u' '
                            + QString::number(w->width()) + u'x' + QString::number(w->height())));
    }
}

} // namespace

Q_DECLARE_METATYPE(View)

class TestForm1Layout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void designSizeInEachView_data();
    void designSizeInEachView();
    void resizingKeepsTheRules_data();
    void resizingKeepsTheRules();
    void minimiseSkipsTheRuleAndRestoreLaysOut();
    void roundedOutline();
    void fullScreenInAndOutRestoresExactly();
    void fullScreenStateOutlivesTheWindow();
    void captionButtonPictures_data();
    void captionButtonPictures();
    void closeButtonUnloads();
    void hoverPictures_data();
    void hoverPictures();
    void floatingButtonsGoOverSurfaces_data();
    void floatingButtonsGoOverSurfaces();
    void captionDragMovesUnlessFullScreen();
    void edgeGripResizes();

private:
    Form1* showForm();
    WindowFixture* m_fixture = nullptr;
};

void TestForm1Layout::init() { m_fixture = new WindowFixture; }
void TestForm1Layout::cleanup()
{
    delete m_fixture;
    QCOMPARE(Module1::fullScreenState().fullScreen, false); // each test leaves full screen again
}

Form1* TestForm1Layout::showForm()
{
    Form1* form = WindowRegistry::instance().show<Form1>();
    form->resize(Form1::DesignClientWidth, Form1::DesignClientHeight);
    return form;
}

void TestForm1Layout::designSizeInEachView_data()
{
    QTest::addColumn<View>("view");
    QTest::addColumn<QRect>("player");
    QTest::addColumn<QRect>("tree");
    QTest::addColumn<QRect>("divider"); // Bd5
    QTest::addColumn<QRect>("aboveStrip"); // Bd9
    QTest::addColumn<QRect>("belowStrip"); // Bd10, when the state places it
    QTest::addColumn<bool>("captionPanelMoved");

    const QRect treeDesign(4, 44, 145, 465);
    const QRect bd10Design(376, 400, 215, 7);
    QTest::newRow("normal") << View::Normal << QRect(159, 52, 574, 470) << QRect(7, 47, 145, 470)
                            << QRect(152, 45, 7, 475) << QRect(156, 45, 588, 7) << bd10Design << true;
    // The player's top and the divider's left stay where the normal run left them.
    QTest::newRow("list hidden") << View::ListHidden << QRect(7, 52, 726, 470) << QRect(7, 47, 145, 470)
                                 << QRect(152, 52, 7, 470) << QRect(4, 45, 740, 7) << bd10Design << true;
    QTest::newRow("compact") << View::Compact << QRect(7, 7, 726, 568) << QRect(7, 47, 145, 470)
                             << QRect(0, 0, 7, 530) << QRect(4, 0, 731, 7) << QRect(-8, 522, 756, 7) << false;
}

void TestForm1Layout::designSizeInEachView()
{
    QFETCH(View, view);
    QFETCH(QRect, player);
    QFETCH(QRect, tree);
    QFETCH(QRect, divider);
    QFETCH(QRect, aboveStrip);
    QFETCH(QRect, belowStrip);
    QFETCH(bool, captionPanelMoved);

    Form1* f = showForm();
    QCOMPARE(f->size(), QSize(739, 530));
    // The first layout has run in the normal view; the state switch comes after it.
    QCOMPARE(f->wmp1->geometry(), QRect(159, 52, 574, 470));
    const QRect bd2Before = f->Bd2->geometry();
    f->Bd2->move(0, 0);
    enterView(f, view);
    f->Form_Resize();

    QCOMPARE(f->wmp1->geometry(), player);
    QCOMPARE(f->TreeView1->geometry(), tree);
    QCOMPARE(f->Bd5->geometry(), divider);
    QCOMPARE(f->Bd9->geometry(), aboveStrip);
    QCOMPARE(f->Bd10->geometry(), belowStrip);
    // Menu strip as wide as the outer width's twip count; the panel's right edge at the outer width.
    QCOMPARE(f->Mnu->width(), 739 * 15);
    QCOMPARE(f->Bd2->geometry(), captionPanelMoved ? QRect(670, 0, 69, 23) : QRect(0, 0, 69, 23));
    QCOMPARE(bd2Before, QRect(670, 0, 69, 23));
    // Handles: 7950 / 2 - 26 - 21 - 13 - 800 = 3115 twips.
    QCOMPARE(f->ImageA->y(), 208);
    QCOMPARE(f->ImageB->y(), f->ImageA->y());
    QCOMPARE(f->Bd5->width(), 7);
    QCOMPARE(f->ImageA->isHidden(), view != View::Normal);
    QCOMPARE(f->ImageB->isHidden(), view != View::ListHidden);
    // Aligned strips follow the window by themselves.
    QCOMPARE(f->Rc->x(), 733);
}

void TestForm1Layout::resizingKeepsTheRules_data()
{
    QTest::addColumn<View>("view");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("playerWidth"); // as the rule gives it, zero where it comes out negative
    QTest::addColumn<int>("playerHeight");

    const struct
    {
        const char* name;
        View view;
    } views[] = {{"normal", View::Normal}, {"list hidden", View::ListHidden}, {"compact", View::Compact}};
    const QSize sizes[] = {{1000, 700}, {739, 530}, {165, 60}, {100, 40}, {1, 1}};
    for (const auto& v : views) {
        for (const QSize& s : sizes) {
            const int fixedW = v.view == View::Normal ? 165 : 13;
            const int h = v.view == View::Compact ? s.height() + 52 - 14 : s.height() - 60;
            QTest::addRow("%s %dx%d", v.name, s.width(), s.height())
                << v.view << s << std::max(0, s.width() - fixedW) << std::max(0, h);
        }
    }
}

void TestForm1Layout::resizingKeepsTheRules()
{
    QFETCH(View, view);
    QFETCH(QSize, size);
    QFETCH(int, playerWidth);
    QFETCH(int, playerHeight);

    Form1* f = showForm();
    enterView(f, view);
    f->Form_Resize();
    f->resize(size);
    QCOMPARE(f->size(), size);
    QCOMPARE(f->wmp1->width(), playerWidth);
    QCOMPARE(f->wmp1->height(), playerHeight);
    QCOMPARE(f->Bd5->width(), 7);
    QCOMPARE(f->ImageA->y(), f->ImageB->y());
    QCOMPARE(f->TreeView1->width(), 145); // only the player grows or shrinks
    if (view != View::Compact) {
        QCOMPARE(f->Mnu->width(), size.width() * 15);
        QCOMPARE(f->Bd2->x() + f->Bd2->width(), size.width());
    }
    verifyNoNegativeSizes(f);

    // Back at the design size, the design numbers return.
    f->resize(739, 530);
    if (view == View::Normal)
        QCOMPARE(f->wmp1->geometry(), QRect(159, 52, 574, 470));
    else if (view == View::Compact)
        QCOMPARE(f->wmp1->geometry(), QRect(7, 7, 726, 568));
    else
        QCOMPARE(f->wmp1->size(), QSize(726, 470));
}

void TestForm1Layout::minimiseSkipsTheRuleAndRestoreLaysOut()
{
    Form1* f = showForm();
    f->wmp1->setGeometry(1, 2, 3, 4); // a mark the rule would overwrite
    QTest::mouseClick(f->Bi, Qt::LeftButton);
    QVERIFY(f->isMinimized());
    f->Form_Resize(); // the platform raises the resize event while minimised
    QCOMPARE(f->wmp1->geometry(), QRect(1, 2, 3, 4));

    f->setWindowState(f->windowState() & ~Qt::WindowMinimized);
    QCOMPARE(f->wmp1->geometry(), QRect(159, 52, 574, 470));
}

void TestForm1Layout::roundedOutline()
{
    Form1* f = showForm();
    f->resize(747, 546);
    f->DoTransparency(f, 5);
    const QRegion region = f->mask();
    QCOMPARE(region.boundingRect(), QRect(0, 0, 747, 546));
    QVERIFY(!region.contains(QPoint(0, 0)));
    QVERIFY(!region.contains(QPoint(746, 545)));
    QVERIFY(!region.contains(QPoint(746, 0)));
    QVERIFY(region.contains(QPoint(3, 3)));
    QVERIFY(region.contains(QPoint(373, 0)));
    QVERIFY(region.contains(QPoint(0, 273)));
    QVERIFY(region.contains(QPoint(746, 273)));
    // Every layout run cuts it again for the new size.
    f->resize(800, 600);
    QCOMPARE(f->mask().boundingRect(), QRect(0, 0, 800, 600));
}

void TestForm1Layout::fullScreenInAndOutRestoresExactly()
{
    Form1* f = showForm();
    f->move(23, 31);
    const QRect before = f->frameGeometry();
    const QRect screen = f->screen()->geometry();
    const int trLeft = f->Tr->x();
    const int brLeft = f->Br->x();
    const int rcLeft = f->Rc->x();
    for (int i = 0; i < 20; ++i) {
        QTest::mouseClick(f->BA, Qt::LeftButton);
        QCOMPARE(f->BA->store(), QStringLiteral("ba0"));
        verifyNoNegativeSizes(f);
        if (i % 2 == 0) {
            QVERIFY(Module1::fullScreenState().fullScreen);
            // The whole screen but 500 twips at the bottom.
            QCOMPARE(f->frameGeometry(),
                     QRect(screen.topLeft(), QSize(screen.width(), qRound(screen.height() - 500 / 15.0))));
            // The three edge pieces at the outer width (twips) less their own width, each in its unit.
            QCOMPARE(f->Tr->x(), qRound((screen.width() * 15 - 30) / 15.0));
            QCOMPARE(f->Br->x(), screen.width() - 1);
            QCOMPARE(f->Rc->x(), screen.width() - 6); // an aligned strip keeps its edge
            QCOMPARE(f->wmp1->width(), screen.width() - 165);
        } else {
            QVERIFY(!Module1::fullScreenState().fullScreen);
            QCOMPARE(f->frameGeometry(), before);
            QCOMPARE(f->Tr->x(), trLeft);
            QCOMPARE(f->Br->x(), brLeft);
            QCOMPARE(f->Rc->x(), rcLeft);
            QCOMPARE(f->wmp1->geometry(), QRect(159, 52, 574, 470));
        }
    }
}

void TestForm1Layout::fullScreenStateOutlivesTheWindow()
{
    auto& reg = WindowRegistry::instance();
    Form1* f = showForm();
    f->move(40, 50);
    QTest::mouseDClick(f->Bd1->image(), Qt::LeftButton);
    QVERIFY(Module1::fullScreenState().fullScreen);
    QCOMPARE(Module1::fullScreenState().savedLeft, 40 * 15);
    QCOMPARE(Module1::fullScreenState().savedWidth, 739 * 15);
    reg.unload(f);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    Form1* again = showForm();
    QVERIFY(again != nullptr);
    again->move(5, 6);
    again->resize(600, 400);
    // The first double click on the title restores the old rectangle instead of filling the screen.
    QTest::mouseDClick(again->Cap, Qt::LeftButton);
    QVERIFY(!Module1::fullScreenState().fullScreen);
    QCOMPARE(again->frameGeometry(), QRect(40, 50, 739, 530));
}

void TestForm1Layout::captionButtonPictures_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("hovered");
    QTest::addColumn<QString>("pressed");
    QTest::newRow("minimise") << "Bi" << "Bi0" << "Bi1" << "Bi2";
    QTest::newRow("full screen") << "BA" << "ba0" << "ba1" << "Ba2";
    QTest::newRow("close") << "BC" << "Bc0" << "Bc1" << "bc2";
}

void TestForm1Layout::captionButtonPictures()
{
    QFETCH(QString, button);
    QFETCH(QString, normal);
    QFETCH(QString, hovered);
    QFETCH(QString, pressed);
    Form1* f = showForm();
    auto* b = f->findChild<SkinLabel*>(button);
    QVERIFY(b);
    QCOMPARE(b->store(), normal);
    QCOMPARE(b->pixmap().size(), QSize(16, 16));
    hover(b);
    QCOMPARE(b->store(), hovered);
    // Leaving the button elsewhere than over the panel keeps the hover picture.
    hover(f->Bd1->image());
    QCOMPARE(b->store(), hovered);
    QTest::mousePress(b, Qt::RightButton);
    QCOMPARE(b->store(), pressed);
    // The panel around the buttons puts all three back.
    hover(f->Bd2->image());
    for (auto [name, store] : {std::pair{"Bi", "Bi0"}, std::pair{"BA", "ba0"}, std::pair{"BC", "Bc0"}})
        QCOMPARE(f->findChild<SkinLabel*>(name)->store(), QString::fromLatin1(store));
}

void TestForm1Layout::closeButtonUnloads()
{
    QPointer<Form1> f = showForm();
    QTest::mousePress(f->BC, Qt::LeftButton);
    QCOMPARE(f->BC->store(), QStringLiteral("bc2"));
    // The release acts wherever the pointer is.
    QTest::mouseRelease(f->BC, Qt::LeftButton, {}, QPoint(-50, 200));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!f);
    QVERIFY(!WindowRegistry::instance().find<Form1>());
}

void TestForm1Layout::hoverPictures_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("hovered");
    QTest::addColumn<QString>("reset"); // a surface that puts the normal picture back, if any
    QTest::newRow("hide handle") << "ImageA" << "Image1" << "Image2" << "Bd5";
    QTest::newRow("show handle") << "ImageB" << "Image4" << "Image3" << "Bd5";
    QTest::newRow("leave compact") << "PtA" << "Pt1" << "Pt2" << "";
    QTest::newRow("floating minimise") << "PtB" << "Pt4" << "Pt3" << "";
}

void TestForm1Layout::hoverPictures()
{
    QFETCH(QString, element);
    QFETCH(QString, normal);
    QFETCH(QString, hovered);
    QFETCH(QString, reset);
    Form1* f = showForm();
    auto* e = f->findChild<SkinLabel*>(element);
    e->show();
    QCOMPARE(e->store(), normal);
    hover(e);
    QCOMPARE(e->store(), hovered);
    if (!reset.isEmpty()) {
        hover(f->findChild<Bd*>(reset)->image());
        QCOMPARE(e->store(), normal);
    }
}

void TestForm1Layout::floatingButtonsGoOverSurfaces_data()
{
    QTest::addColumn<QString>("surface"); // empty: the window's own surface
    QTest::addColumn<bool>("hides");
    QTest::newRow("divider") << "Bd5" << true;
    QTest::newRow("strip above the player") << "Bd9" << true;
    QTest::newRow("strip below the player") << "Bd10" << true;
    QTest::newRow("right edge") << "Rc" << true;
    QTest::newRow("window surface") << "" << true;
    QTest::newRow("caption bar") << "Bd1" << false;
    QTest::newRow("bottom bar") << "Bd6" << false;
}

void TestForm1Layout::floatingButtonsGoOverSurfaces()
{
    QFETCH(QString, surface);
    QFETCH(bool, hides);
    Form1* f = showForm();
    enterView(f, View::Compact);
    f->Form_Resize();
    f->PtA->show();
    f->PtB->show();
    if (surface.isEmpty()) {
        hover(f);
    } else {
        auto* bd = f->findChild<Bd*>(surface);
        bd->show();
        hover(bd->image());
    }
    QCOMPARE(f->PtA->isHidden(), hides);
    QCOMPARE(f->PtB->isHidden(), hides);
    if (!hides) {
        // The floating minimise button minimises on a click.
        QTest::mouseClick(f->PtB, Qt::LeftButton);
        QVERIFY(f->isMinimized());
    }
}

void TestForm1Layout::captionDragMovesUnlessFullScreen()
{
    Form1* f = showForm();
    f->move(100, 80);
    // Without a window manager the window follows the pointer while the button is held.
    const auto dragBy = [f](QWidget* handle, QPoint delta) {
        QTest::mousePress(handle, Qt::LeftButton, {}, handle == f->Cap ? QPoint(5, 5) : QPoint(300, 12));
        const QPointF start = QCursor::pos();
        const QPoint before = f->pos();
        // Within the drag distance the press may still become a click: nothing moves yet.
        QMouseEvent jitter(QEvent::MouseMove, QPointF(5, 5), start + QPointF(2, 1), Qt::NoButton, Qt::LeftButton,
                           Qt::NoModifier);
        QCoreApplication::sendEvent(f, &jitter);
        QCOMPARE(f->pos(), before);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), start + delta, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5), start + delta, Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QCoreApplication::sendEvent(f, &up);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    dragBy(f->Bd1->image(), QPoint(30, 20));
    QCOMPARE(f->pos(), QPoint(130, 100));
    dragBy(f->Cap, QPoint(-10, 5));
    QCOMPARE(f->pos(), QPoint(120, 105));

    Module1::ToggleFullScreen(f, f->Tr, f->Rc, f->Br);
    const QPoint full = f->pos();
    dragBy(f->Bd1->image(), QPoint(30, 20));
    QCOMPARE(f->pos(), full);
    Module1::ToggleFullScreen(f, f->Tr, f->Rc, f->Br);
    QCOMPARE(f->pos(), QPoint(120, 105));
}

void TestForm1Layout::edgeGripResizes()
{
    Form1* f = showForm();
    f->move(50, 40);
    QWidget* corner = nullptr;
    for (QWidget* w : f->findChildren<QWidget*>(QStringLiteral("resizeGrip"), Qt::FindDirectChildrenOnly))
        if (w->geometry().bottomRight() == QPoint(738, 529))
            corner = w;
    QVERIFY(corner);
    QCOMPARE(f->childAt(737, 528), corner); // above everything else
    QTest::mousePress(corner, Qt::LeftButton, {}, QPoint(4, 4));
    const QPointF start = corner->mapToGlobal(QPointF(4, 4));
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), start + QPointF(61, 70), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(corner, &move);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(4, 4), start + QPointF(61, 70), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(corner, &up);
    QCOMPARE(f->geometry(), QRect(50, 40, 800, 600));
    QCOMPARE(f->wmp1->size(), QSize(800 - 165, 600 - 60));
    QCOMPARE(corner->geometry().bottomRight(), QPoint(799, 599));
}

QTEST_MAIN(TestForm1Layout)
#include "tst_form1layout.moc"
