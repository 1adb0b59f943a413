#include "Form1.h"

#include "BrowserControl.h"
#include "ChannelCatalogue.h"
#include "EdgeAlignment.h"
#include "HostServices.h"
#include "LumivoBuildValues.h"
#include "MediaPlayer.h"
#include "Placement.h"
#include "SkinStrip.h"
#include "StreamTable.h"
#include "TreeView.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

using placement::Unit;

namespace {

const QColor kStripColour(0x3c, 0x6e, 0xb4);
const QColor kFrameColour(0x2a, 0x55, 0x96);

QLabel* makeImage(QWidget* parent, float l, float t, float w, float h, Unit unit)
{
    auto* label = new QLabel(parent);
    placement::setRect(label, l, t, w, h, unit);
    return label;
}

SkinStrip* makeStrip(QWidget* parent, const QColor& colour, float l, float t, float w, float h, Unit unit)
{
    auto* strip = new SkinStrip(parent, colour);
    placement::setRect(strip, l, t, w, h, unit);
    return strip;
}

} // namespace

Form1::Form1(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Lumivo网络电视5.5 免安装版"));
    setWindowFlag(Qt::FramelessWindowHint);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(p);
    setAutoFillBackground(true);
    resize(DesignClientWidth, DesignClientHeight);
    createControls();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

QString Form1::adPageUrl() { return QString::fromUtf8(buildvalues::ContentServer) + QStringLiteral("/ad/ad.html"); }

float Form1::ScaleWidth() const { return float(width()); }
float Form1::ScaleHeight() const { return float(height()); }

void Form1::createControls()
{
    // Bottom of the stacking order first, so each later control covers the earlier ones.
    MediaPlayer::Settings player;
    player.autoStart = true;
    player.uiMode = MediaPlayer::UiMode::Mini;
    player.volume = 12;
    player.mute = false;
    player.stretchToFit = true;
    player.enableContextMenu = false;
    player.enableErrorDialogs = false;
    wmp1 = new MediaPlayer(player, this);
    wmp1->setObjectName(QStringLiteral("wmp1"));
    placement::setRect(wmp1, 160, 48, 576, 469);

    Picture1 = makeImage(this, 424, 120, 364, 132, Unit::Pixels);
    Picture1->hide(); // a picture store, never shown
    Bd10 = makeStrip(this, kStripColour, 376, 400, 215, 7, Unit::Pixels);
    Rc = makeStrip(this, kFrameColour, 733, 26, 6, 491, Unit::Pixels);
    Bd4 = makeStrip(this, kFrameColour, 0, 26, 7, 491, Unit::Pixels);
    Mnu = makeStrip(this, kStripColour, 0, 24, 777, 21, Unit::Pixels);

    TreeView1 = new TreeView(this);
    placement::setRect(TreeView1, 4, 44, 145, 465);
    connect(TreeView1, &TreeView::NodeClick, this, &Form1::TreeView1_NodeClick);

    Bd5 = makeStrip(this, kFrameColour, 152, 45, 7, 488, Unit::Pixels);
    ImageB = makeImage(Bd5, -60, 1740, 300, 750, Unit::Twips);
    ImageA = makeImage(Bd5, 0, 3300, 315, 750, Unit::Twips);

    Bd1 = makeStrip(this, kFrameColour, 0, 0, 739, 26, Unit::Pixels);
    Cap = makeImage(Bd1, 120, 75, 2880, 240, Unit::Twips);
    Cap->setText(QStringLiteral("Lumivo网络电视5.5 免安装版"));
    Cap->setStyleSheet(QStringLiteral("color: white"));
    Tr = makeStrip(Bd1, kFrameColour, 5340, 0, 30, 390, Unit::Twips);
    Bd2 = makeStrip(Bd1, kFrameColour, 9720, 0, 1035, 345, Unit::Twips);
    Bi = makeImage(Bd2, 60, 60, 240, 240, Unit::Twips);
    BA = makeImage(Bd2, 360, 60, 240, 240, Unit::Twips);
    BC = makeImage(Bd2, 660, 60, 240, 240, Unit::Twips);

    Bd6 = makeStrip(this, kFrameColour, 0, 517, 739, 13, Unit::Pixels);
    Bd3 = makeStrip(Bd6, kStripColour, 0, 0, 180, 30, Unit::Twips);
    Br = makeStrip(Bd6, kStripColour, 6120, -60, 15, 60, Unit::Twips);
    Label3 = makeImage(Bd6, 4680, 0, 720, 180, Unit::Twips);
    Label1 = makeImage(Bd6, 5520, 0, 1890, 180, Unit::Twips);
    Label2 = makeImage(Bd6, 7560, 0, 360, 180, Unit::Twips);

    PtA = makeImage(this, 136, 64, 25, 25, Unit::Pixels);
    PtB = makeImage(this, 168, 64, 25, 25, Unit::Pixels);

    WebBrowser1 = new BrowserControl(this);
    placement::setRect(WebBrowser1, 208, 72, 489, 361);

    Bd9 = makeStrip(this, kStripColour, 152, 48, 561, 7, Unit::Pixels);

    m_edges = new EdgeAlignment(this);
    m_edges->align(Bd1, EdgeAlignment::Edge::Top);
    m_edges->align(Bd6, EdgeAlignment::Edge::Bottom);
    m_edges->align(Bd4, EdgeAlignment::Edge::Left);
    m_edges->align(Rc, EdgeAlignment::Edge::Right);
}

void Form1::Form_Load()
{
    WebBrowser1->Navigate(adPageUrl());

    HostServices& host = HostServices::current();
    if (host.previousInstanceRunning()) {
        host.messageBox(QStringLiteral("Lumivo网络电视已经运行！"), HostServices::Icon::Warning,
                        QStringLiteral("Lumivo网络电视"));
        host.endProgram();
        return;
    }

    m_alwaysOnTop = false;

    ImageB->hide();
    PtA->hide();
    PtB->hide();
    Bd10->hide();

    placement::setHeight(wmp1, ScaleHeight() - placement::height(Bd1) - placement::height(Bd6) - placement::height(Mnu));
    // The tree's own top edge, not the strips above it.
    placement::setTop(wmp1, placement::top(TreeView1) + placement::height(Bd9));
    placement::setWidth(wmp1, ScaleWidth() - placement::width(Bd5) - placement::width(Bd4) - placement::width(Rc)
                                  - placement::width(TreeView1));
    placement::setLeft(wmp1, placement::width(TreeView1) + placement::width(Bd5) + placement::width(Bd4));

    TreeNodes& nodes = TreeView1->Nodes();
    ChannelCatalogue::loadInto([&nodes](const QString& parent, bool isChild, const QString& key, const QString& caption) {
        if (isChild)
            nodes.Add(parent, tvwChild, key, caption);
        else
            nodes.Add(key, caption);
    });
}

void Form1::TreeView1_NodeClick(const TreeNode& node)
{
    // Categories, regions and channels without a stream leave the player as it is.
    if (const QString* url = StreamTable::find(node.Key))
        wmp1->setURL(*url);
}
