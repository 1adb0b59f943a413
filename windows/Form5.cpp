#include "Form5.h"

#include "BrowserControl.h"
#include "LinkLabel.h"
#include "LumivoBuildValues.h"
#include "MediaPlayer.h"
#include "MouseMasks.h"
#include "MprisPlayer.h"
#include "Placement.h"
#include "RadioStationTable.h"
#include "Units.h"

#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using placement::Unit;
using placement::place;

namespace {

// One size of the radio icon: a red cabinet with a speaker grille, a tuning dial and an aerial.
QPixmap drawRadio(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 12), QPointF(23, 2.5));
    p.setBrush(QColor(0x40, 0x40, 0x40));
    p.drawEllipse(QPointF(23, 2.5), 1.4, 1.4);

    QLinearGradient body(0, 11, 0, 30);
    body.setColorAt(0, QColor(0xe8, 0x4a, 0x3c));
    body.setColorAt(1, QColor(0xa8, 0x1e, 0x16));
    p.setPen(QPen(QColor(0x5a, 0x10, 0x0c), 1.2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(2, 11, 28, 19), 3.5, 3.5);

    // The grille: a pale disc with rings.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xe6, 0xd0));
    p.drawEllipse(QPointF(11, 20.5), 6.5, 6.5);
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x3a), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(11, 20.5), 4.2, 4.2);
    p.drawEllipse(QPointF(11, 20.5), 1.8, 1.8);

    // The dial window with its needle, and the tuning knob.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xf3, 0xb0));
    p.drawRoundedRect(QRectF(19.5, 14.5, 8, 4.5), 1, 1);
    p.setPen(QPen(QColor(0xc0, 0x10, 0x10), 1.0));
    p.drawLine(QPointF(23.5, 14.8), QPointF(23.5, 18.7));
    p.setPen(QPen(QColor(0x3a, 0x3a, 0x3a), 0.8));
    p.setBrush(QColor(0xe0, 0xe0, 0xe0));
    p.drawEllipse(QPointF(23.5, 24.5), 3, 3);
    return pixmap;
}

} // namespace

Form5::Form5(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Lumivo网络收音机1.0 迷你免安装版"));
    setWindowIcon(radioIcon());
    // The notification area's messages arrive as plain mouse moves over the window.
    setMouseTracking(true);
    addMenuBar();
    createMenus();
    createControls();
    setClientSize(QSize(ClientWidth, ClientHeight));
    setFixedBorder(/*minimizeButton=*/false, /*maximizeButton=*/false);
    m_mpris = new MprisPlayer(WindowsMediaPlayer1, QStringLiteral("Lumivo网络收音机"), this);

    menus::install(this, m_menus, actionRows());
}

Form5::~Form5()
{
    // Off the bus before the player it speaks for goes.
    delete m_mpris;
    // An icon left behind would outlive its window and answer nothing.
    if (m_iconInTray)
        NotifyArea::current().notifyIcon(NotifyArea::Message::Delete, m_nid);
}

QString Form5::adPageUrl() { return QString::fromUtf8(buildvalues::ContentServer) + QStringLiteral("/ad/fmad.html"); }

QIcon Form5::radioIcon()
{
    static const QIcon icon = [] {
        QIcon made;
        for (int size : {16, 24, 32, 48})
            made.addPixmap(drawRadio(size));
        return made;
    }();
    return icon;
}

void Form5::createMenus()
{
    QList<menus::MenuRow> rows;
    for (const MenuRow& row : RadioStationTable::table().rows())
        rows.push_back({row.key, row.caption, row.parentKey});
    rows << menus::MenuRow{QStringLiteral("bz"), QStringLiteral("帮助"), {}}
         << menus::MenuRow{QStringLiteral("gywn"), QStringLiteral("关于我们"), QStringLiteral("bz")}
         << menus::MenuRow{QStringLiteral("vqchat"), QStringLiteral("Lumivo聊天室"), QStringLiteral("bz")}
         // A command on the bar itself, in place of a minimise button.
         << menus::MenuRow{QStringLiteral("zxh"), QStringLiteral("最小化"), {}};
    m_menus = menus::build(this, menuBar(), rows);
}

QList<menus::ActionRow> Form5::actionRows()
{
    using menus::Verb;
    QList<menus::ActionRow> rows = {
        {QStringLiteral("gywn"), Verb::Open, QStringLiteral("Form2")},
        // The chat item leads to the web-TV window.
        {QStringLiteral("vqchat"), Verb::Open, QStringLiteral("Form3")},
        {QStringLiteral("Label1"), Verb::Switch, QStringLiteral("Form1")},
        {QStringLiteral("zxh"), Verb::Handler, {}, [this] { zxh_Click(); }},
    };
    for (const MenuRow& row : RadioStationTable::table().rows())
        if (!row.isMenu)
            rows.push_back({row.key, Verb::Handler, {}, [this, key = row.key] { Station_Click(key); }});
    return rows;
}

void Form5::createControls()
{
    QWidget* client = clientArea();
    // Bottom of the stacking order first, so each later control covers the earlier ones.
    MediaPlayer::Settings player;
    player.uiMode = MediaPlayer::UiMode::Full;
    player.autoStart = true;
    player.volume = 50;
    player.mute = false;
    player.enableContextMenu = false;
    player.enableErrorDialogs = false;
    player.stretchToFit = false;
    // Overhangs the client area on the right and at the bottom.
    WindowsMediaPlayer1 =
        place(new MediaPlayer(player, client), "WindowsMediaPlayer1", {0, 0, 4530, 5025}, Unit::Twips);

    Label1 = place(new LinkLabel(QStringLiteral("Lumivo网络电视"), client), "Label1", {3240, 4560, 1260, 210},
                   Unit::Twips);
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    font.setUnderline(true);
    Label1->setFont(font);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(p);
    Label1->setAutoFillBackground(false); // the player's control bar shows through
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->adjustSize(); // sized to its text, from its design corner
    // The caption is wider than the design allowed for: keep it whole inside the window.
    if (Label1->x() + Label1->width() > ClientWidth)
        Label1->move(ClientWidth - Label1->width(), Label1->y());

    // The negative offsets keep the page's own margins out of view.
    WebBrowser1 = place(new BrowserControl(client), "WebBrowser1", {-150, -240, 4680, 4305}, Unit::Twips);
}

void Form5::Form_Load() { WebBrowser1->Navigate(adPageUrl()); }

void Form5::Station_Click(const QString& key)
{
    // A station without an address leaves the player as it is.
    const QString* url = RadioStationTable::find(key);
    if (!url)
        return;
    WindowsMediaPlayer1->setURL(*url);
    m_mpris->setTitle(RadioStationTable::table().row(key)->caption);
}

void Form5::zxh_Click()
{
    m_nid.cbSize = notifyicon::RecordSize;
    m_nid.uID = 1;
    m_nid.hWnd = this;
    m_nid.uFlags = notifyicon::NIF_MESSAGE | notifyicon::NIF_ICON | notifyicon::NIF_TIP;
    m_nid.uCallbackMessage = notifyicon::WM_MOUSEMOVE;
    m_nid.hIcon = windowIcon();
    m_nid.szTip = QByteArray(1, '\0') + QByteArray(notifyicon::TipSize - 1, ' ');
    // Refused when our icon is already there (shown again from another window): that one serves.
    if (NotifyArea::current().notifyIcon(NotifyArea::Message::Add, m_nid))
        m_iconInTray = true;
    // Without an icon nothing could bring the window back: it stays on screen.
    if (!m_iconInTray)
        return;
    hide();
}

void Form5::Form_MouseMove(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(Y);
    const int message = units::roundCoordinate(X / units::TwipsPerPixel);
    if (message != int(notifyicon::WM_LBUTTONDBLCLK))
        return;
    show();
    raise();
    activateWindow();
    if (NotifyArea::current().notifyIcon(NotifyArea::Message::Delete, m_nid))
        m_iconInTray = false;
}

void Form5::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove(mousemasks::buttonMask(event->buttons()), mousemasks::shiftMask(event->modifiers()),
                   units::twipsFromPixels(float(event->position().x())),
                   units::twipsFromPixels(float(event->position().y())));
}
