// The main window's two pop-up menus, their titles on the menu strip, the ad switch, and the view
// switches: hide and show the channel list, enter and leave compact mode, always on top.

#include "Form1.h"

#include "Bd.h"
#include "BrowserControl.h"
#include "LinkLabel.h"
#include "MediaPlayer.h"
#include "MenuBuilder.h"
#include "Placement.h"
#include "SkinLabel.h"
#include "SkinPictures.h"
#include "TreeView.h"
#include "Units.h"
#include "WebLinks.h"

#include <QLabel>
#include <QMenu>
#include <QRadioButton>

using placement::Unit;
using placement::place;

namespace {

const QString kTopmostOn = QStringLiteral("取消置顶");
const QString kTopmostOff = QStringLiteral("窗口置顶");

QList<menus::MenuRow> menuRows()
{
    return {
        {QStringLiteral("MnuFile"), QStringLiteral("选项(&F)"), {}},
        {QStringLiteral("Formtop"), QStringLiteral("窗口置顶(&O)..."), QStringLiteral("MnuFile"), QKeySequence(Qt::CTRL | Qt::Key_O)},
        {QStringLiteral("ghn"), QStringLiteral("-"), QStringLiteral("MnuFile")},
        {QStringLiteral("Mnumini"), QStringLiteral("精简模式(&A)..."), QStringLiteral("MnuFile")},
        {QStringLiteral("l125"), QStringLiteral("-"), QStringLiteral("MnuFile")},
        {QStringLiteral("MnuExit"), QStringLiteral("退出(&X)"), QStringLiteral("MnuFile")},
        {QStringLiteral("MnuHelp"), QStringLiteral("帮助(&H)"), {}},
        {QStringLiteral("mnuabout"), QStringLiteral("关于我们"), QStringLiteral("MnuHelp")},
        {QStringLiteral("cd"), QStringLiteral("-"), QStringLiteral("MnuHelp")},
        {QStringLiteral("Mnunew"), QStringLiteral("淘宝特价"), QStringLiteral("MnuHelp")},
        {QStringLiteral("ff"), QStringLiteral("-"), QStringLiteral("MnuHelp")},
        {QStringLiteral("mnuzhuye"), QStringLiteral("Orvalis"), QStringLiteral("MnuHelp")},
    };
}

QLabel* stripText(QWidget* strip, const QString& text)
{
    auto* label = new QLabel(text, strip);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

void Form1::createMenus()
{
    const menus::Menus built = menus::build(this, nullptr, menuRows());
    MnuFile = built.menu(QStringLiteral("MnuFile"));
    MnuHelp = built.menu(QStringLiteral("MnuHelp"));
    using menus::Verb;
    menus::install(this, built,
                   {
                       {QStringLiteral("Formtop"), Verb::Handler, {}, [this] { Formtop_Click(); }},
                       {QStringLiteral("Mnumini"), Verb::Handler, {}, [this] { Mnumini_Click(); }},
                       {QStringLiteral("MnuExit"), Verb::Handler, {}, [this] { MnuExit_Click(); }},
                       {QStringLiteral("mnuabout"), Verb::Open, QStringLiteral("Form2")},
                       {QStringLiteral("Mnunew"), Verb::Link, weblinks::bargainPage()},
                       {QStringLiteral("mnuzhuye"), Verb::Link, weblinks::homePage()},
                   });

    // The titles: label-style, framed while their menu is the last one opened.
    const auto title = [this](const QString& caption) {
        auto* label = new LinkLabel(caption, Mnu);
        label->setTextFormat(Qt::PlainText);
        label->setText(QString(caption).remove(u'&'));
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, QColor(0xd8, 0xdc, 0xe2)); // window text on the dark skin
        label->setPalette(p);
        label->setCursor(skin::linkCursor(label->devicePixelRatioF()));
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    Mnu1 = place(title(QStringLiteral("选项(&F)")), "Mnu1", {360, 60, 630, 180}, Unit::Twips);
    Mnu4 = place(title(QStringLiteral("帮助(&H)")), "Mnu4", {1260, 60, 630, 180}, Unit::Twips);
    connect(Mnu1, &LinkLabel::MouseDown, this, &Form1::Mnu1_MouseDown);
    connect(Mnu4, &LinkLabel::Click, this, &Form1::Mnu4_Click);
    connect(Bd1, &Bd::Click, this, &Form1::ResetMenuTitles);
    connect(Cap, &SkinLabel::Click, this, &Form1::ResetMenuTitles);
    connect(Mnu, &Bd::Click, this, &Form1::ResetMenuTitles);

    // The ad switch: "(广告: 开 关)".
    Label10 = place(stripText(Mnu, QStringLiteral("(")), "Label10", {2400, 120, 90, 180}, Unit::Twips);
    Label9 = place(stripText(Mnu, QStringLiteral("广告:")), "Label9", {2520, 120, 450, 180}, Unit::Twips);
    Option1 = place(new QRadioButton(QStringLiteral("开"), Mnu), "Option1", {3000, 120, 495, 255}, Unit::Twips);
    Option2 = place(new QRadioButton(QStringLiteral("关"), Mnu), "Option2", {3480, 120, 495, 255}, Unit::Twips);
    Label11 = place(stripText(Mnu, QStringLiteral(")")), "Label11", {4040, 120, 90, 180}, Unit::Twips);
    for (QRadioButton* option : {Option1, Option2}) {
        option->setFont(Label9->font());
        option->setFocusPolicy(Qt::TabFocus);
    }
    Option1->setChecked(true); // the two share their parent, so they form one group
    connect(Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);

    connect(ImageA, &SkinLabel::Click, this, &Form1::ImageA_Click);
    connect(ImageB, &SkinLabel::Click, this, &Form1::ImageB_Click);
    connect(PtA, &SkinLabel::Click, this, &Form1::PtA_Click);
}

void Form1::ResetMenuTitles()
{
    Mnu1->setFrameShape(QFrame::NoFrame);
    Mnu4->setFrameShape(QFrame::NoFrame);
}

void Form1::Mnu1_MouseDown()
{
    ResetMenuTitles();
    Mnu1->setFrameShape(QFrame::Box);
    // Directly below the title, placed the way the help menu is.
    MnuFile->popup(mapToGlobal(QPoint(qRound(placement::left(Mnu)) + 23, qRound(placement::top(Mnu4, Unit::Twips)) - 20)));
}

void Form1::Mnu4_Click()
{
    ResetMenuTitles();
    Mnu4->setFrameShape(QFrame::Box);
    // The strip's left in pixels plus 83, the title's top in twips minus 20, both taken as pixels.
    MnuHelp->popup(mapToGlobal(QPoint(qRound(placement::left(Mnu) + 83), qRound(placement::top(Mnu4, Unit::Twips) - 20))));
}

void Form1::Formtop_Click()
{
    QAction* item = findChild<QAction*>(QStringLiteral("Formtop"));
    m_alwaysOnTop = !m_alwaysOnTop;
    const bool wasShown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, m_alwaysOnTop);
    if (wasShown)
        show(); // a change of window flags hides the window
    item->setText(m_alwaysOnTop ? kTopmostOn : kTopmostOff);
}

void Form1::MnuExit_Click() { unloadMe(); }

void Form1::ImageA_Click()
{
    TreeView1->hide();
    Bd4->hide();
    placement::setLeft(Bd5, 0);
    placement::setWidth(wmp1, ScaleWidth() - placement::width(Rc) - placement::width(Bd5));
    placement::setLeft(wmp1, placement::width(Bd5));
    ImageB->show();
    ImageA->hide();
    ImageB->showStore(QStringLiteral("Image4"));
    placement::setWidth(Bd9, placement::width(wmp1) + 14);
    placement::setTop(Bd9, placement::height(Mnu) + placement::height(Bd1) - 2);
    placement::setLeft(Bd9, ScaleWidth() - placement::width(Rc) - placement::width(wmp1) - 3);
}

void Form1::ImageB_Click()
{
    placement::setLeft(Bd5, placement::width(TreeView1) + placement::left(TreeView1));
    placement::setLeft(wmp1, placement::width(Bd5) + placement::left(Bd5));
    placement::setWidth(wmp1, ScaleWidth() - placement::width(Bd5) - placement::width(Bd4) - placement::width(Rc) - placement::width(TreeView1));
    TreeView1->show();
    ImageB->hide();
    ImageA->show();
    Bd4->show();
    placement::setWidth(Bd9, placement::width(wmp1) + 14);
    placement::setTop(Bd9, placement::height(Mnu) + placement::height(Bd1) - 2);
    placement::setLeft(Bd9, ScaleWidth() - placement::width(Rc) - placement::width(wmp1) - 3);
}

void Form1::Mnumini_Click()
{
    for (QWidget* w : {static_cast<QWidget*>(Bd1), static_cast<QWidget*>(Bd4), static_cast<QWidget*>(Bd6),
                       static_cast<QWidget*>(Mnu), static_cast<QWidget*>(TreeView1)})
        w->hide();
    placement::setWidth(wmp1, ScaleWidth() - placement::width(Bd5) - placement::width(Rc));
    placement::setHeight(wmp1, ScaleHeight() + 45);
    placement::setTop(wmp1, 0);
    placement::setLeft(wmp1, placement::width(Bd5));
    placement::setLeft(Bd5, 0);
    placement::setWidth(Bd5, 7);
    placement::setHeight(Bd5, ScaleHeight());
    placement::setTop(Bd5, 0);
    ImageA->hide();
    ImageB->hide();
    placement::setTop(Bd9, 0);
    placement::setLeft(Bd9, ScaleWidth() - placement::width(Rc) - placement::width(wmp1) - 15);
    placement::setWidth(Bd9, placement::width(wmp1) + 30);
    placement::setTop(Bd10, placement::height(Bd9) + placement::height(wmp1) - 60);
    placement::setLeft(Bd10, ScaleWidth() - placement::width(Rc) - placement::width(wmp1) - 15);
    placement::setWidth(Bd10, placement::width(wmp1) + 30);
    Bd10->show();
}

void Form1::PtA_Click()
{
    for (QWidget* w : {static_cast<QWidget*>(Bd1), static_cast<QWidget*>(Bd5), static_cast<QWidget*>(Bd4),
                       static_cast<QWidget*>(Rc), static_cast<QWidget*>(Bd6), static_cast<QWidget*>(Mnu)})
        w->show();
    Bd10->hide();
    Bd9->show();
    ImageA->show();
    TreeView1->show();
    PtA->hide();
    PtB->hide();
    // The strip spans the window's outer width, taken as pixels (the unit mix is the design's).
    const float outerWidth = units::twipsFromPixels(float(frameGeometry().width()));
    placement::setWidth(Mnu, outerWidth);
    placement::setLeft(Bd2, outerWidth - placement::width(Bd2, Unit::Twips), Unit::Twips);
    placement::setHeight(wmp1, ScaleHeight() - placement::height(Bd1) - placement::height(Bd6) - placement::height(Mnu));
    placement::setTop(wmp1, placement::height(Bd9) + placement::height(Mnu) + placement::height(Bd1) - 2);
    placement::setWidth(wmp1, ScaleWidth() - placement::width(Bd5) - placement::width(Bd4) - placement::width(Rc) - placement::width(TreeView1));
    placement::setLeft(wmp1, placement::width(Bd4) + placement::width(Bd5) + placement::width(TreeView1));
    placement::setLeft(TreeView1, placement::width(Bd4));
    placement::setHeight(TreeView1, ScaleHeight() - placement::height(Bd1) - placement::height(Bd6) - placement::height(Mnu));
    placement::setTop(TreeView1, placement::height(Mnu) + placement::height(Bd1));
    placement::setHeight(Bd5, placement::height(TreeView1));
    placement::setLeft(Bd5, placement::width(TreeView1) + placement::left(TreeView1));
    placement::setTop(Bd5, placement::height(Mnu) + placement::height(Bd1));
    placement::setWidth(Bd9, placement::width(wmp1) + 14);
    placement::setTop(Bd9, placement::height(Mnu) + placement::height(Bd1) - 2);
    placement::setLeft(Bd9, ScaleWidth() - placement::width(Rc) - placement::width(wmp1) - 3);
}

void Form1::Option1_Click() { WebBrowser1->show(); }
void Form1::Option2_Click() { WebBrowser1->hide(); }
