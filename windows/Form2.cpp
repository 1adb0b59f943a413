#include "Form2.h"

#include "BrowserControl.h"
#include "HostServices.h"
#include "LinkLabel.h"
#include "LumivoBuildValues.h"
#include "MenuBuilder.h"
#include "Placement.h"
#include "WebLinks.h"
#include "WindowMove.h"

#include <QCursor>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

using placement::place;
using placement::Unit;

namespace {

const QColor kTeal(0, 192, 192);
const QColor kRed(255, 0, 0);

LinkLabel* makeLabel(QWidget* parent, const QString& text, const char* family, qreal points, bool bold, const QColor& colour)
{
    auto* label = new LinkLabel(text, parent);
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

QString Form2::qqChatUrl() { return QStringLiteral("tencent://message/?uin=") + QString::fromUtf8(buildvalues::SupportQq); }

Form2::Form2(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("关于我们"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setMouseTracking(true);
    setClientSize(QSize(287, 242));
    setFixedBorder(false, false);
    setWindowFlag(Qt::WindowStaysOnTopHint); // the fixed border rewrote the flags

    // Bottom of the stacking order first.
    Label1 = place(makeLabel(this, QStringLiteral("   QQ ") + QString::fromUtf8(buildvalues::SupportQq), "仿宋_GB2312", 21.75,
                             true, kTeal),
                   "Label1", {1080, 360, 2295, 855}, Unit::Twips);
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->setToolTip(QStringLiteral("点击Q我"));
    Label3 = place(makeLabel(this, QStringLiteral("       官方主页") + weblinks::homePage(), "仿宋_GB2312", 18, true, kRed),
                   "Label3", {240, 2280, 4335, 735}, Unit::Twips);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->setToolTip(QStringLiteral("单击此处"));
    Label2 = place(makeLabel(this, QStringLiteral("       邮箱") + QString::fromUtf8(buildvalues::SupportEmail), "仿宋_GB2312",
                             18, true, kTeal),
                   "Label2", {720, 1560, 3615, 975}, Unit::Twips);
    Label4 = place(makeLabel(this, QStringLiteral("网页版:") + QUrl(weblinks::productSite()).host(), "宋体", 14.25, false,
                             QColor(0, 255, 0)),
                   "Label4", {480, 3240, 0, 0}, Unit::Twips);
    Label4->adjustSize();
    // Never seen: it only hands the chat address to the desktop.
    WebBrowser1 = place(new BrowserControl(this), "WebBrowser1", {9600, 1320, 915, 675}, Unit::Twips);

    connect(Label1, &LinkLabel::MouseMove, this, &Form2::Label1_MouseMove);
    connect(Label3, &LinkLabel::MouseMove, this, &Form2::Label3_MouseMove);
    connect(Label1, &LinkLabel::Click, this, &Form2::Label1_Click);
    const QList<menus::ActionRow> links{
        {QStringLiteral("Label3"), menus::Verb::Handler, {}, [this] {
             openLink(weblinks::homePage());
             unloadMe();
         }},
        {QStringLiteral("Label4"), menus::Verb::Link, weblinks::productSite()},
    };
    menus::install(this, {}, links);
}

void Form2::Form_Load()
{
    // Topmost is a window flag here (set at construction); the window opens with its outer
    // top-left corner at the pointer, wherever that is on the screen.
    move(QCursor::pos());
}

void Form2::Form_MouseDown(Qt::MouseButton, const QPointF& globalPos) { beginWindowMove(this, globalPos); }

void Form2::Form_DblClick() { unloadMe(); }

void Form2::Form_MouseMove()
{
    setTextColour(Label3, kTeal);
    setTextColour(Label1, kTeal);
    unsetCursor();
}

void Form2::Label1_MouseMove()
{
    setTextColour(Label1, kRed);
    unsetCursor();
}

void Form2::Label3_MouseMove()
{
    setTextColour(Label3, kRed);
    unsetCursor();
}

void Form2::Label1_Click()
{
    WebBrowser1->Navigate(qqChatUrl());
    unloadMe();
}

void Form2::mousePressEvent(QMouseEvent* event) { Form_MouseDown(event->button(), event->globalPosition()); }
void Form2::mouseDoubleClickEvent(QMouseEvent*) { Form_DblClick(); }
void Form2::mouseMoveEvent(QMouseEvent*) { Form_MouseMove(); }

void Form2::paintEvent(QPaintEvent*)
{
    // The background picture: a deep night-blue field with a soft glow behind the QQ line.
    QPainter p(this);
    QLinearGradient field(0, 0, 0, height());
    field.setColorAt(0, QColor(0x10, 0x1a, 0x2e));
    field.setColorAt(1, QColor(0x05, 0x08, 0x12));
    p.fillRect(rect(), field);
    QRadialGradient glow(QPointF(width() * 0.5, height() * 0.22), width() * 0.6);
    glow.setColorAt(0, QColor(0x2a, 0x6f, 0x97, 150));
    glow.setColorAt(1, QColor(0x2a, 0x6f, 0x97, 0));
    p.fillRect(rect(), glow);
    p.setPen(QColor(255, 255, 255, 28));
    p.drawLine(0, height() / 2, width(), height() / 2);
}
