#include "Form1.h"

#include "Bd.h"
#include "BrowserControl.h"
#include "ChannelCatalogue.h"
#include "EdgeAlignment.h"
#include "HostServices.h"
#include "LinkLabel.h"
#include "LumivoBuildValues.h"
#include "MediaPlayer.h"
#include "MenuBuilder.h"
#include "PinyinInitials.h"
#include "PlayerKeys.h"
#include "Placement.h"
#include "WindowResize.h"
#include "SkinLabel.h"
#include "SkinPictures.h"
#include "StreamTable.h"
#include "TreeView.h"
#include "WebLinks.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

using placement::Rect;
using placement::Unit;
using placement::place;

namespace {

// A skin strip with its picture, stretched over it at every size.
Bd* strip(QWidget* parent)
{
    auto* bd = new Bd(parent);
    bd->setCaption({});
    return bd;
}

// Caption buttons, floating buttons and list handles show their resting pictures.
SkinLabel* skinImage(QWidget* parent, const char* pictureStore)
{
    auto* label = new SkinLabel(parent);
    label->showStore(QLatin1String(pictureStore));
    return label;
}

// The menu strip's row of links and the sponsor line on the bottom bar: what each one does.
QList<menus::ActionRow> linkActions()
{
    using menus::Verb;
    return {
        {QStringLiteral("Label4"), Verb::Switch, QStringLiteral("Form3")},
        {QStringLiteral("Label13"), Verb::Switch, QStringLiteral("Form8")},
        {QStringLiteral("Label5"), Verb::Switch, QStringLiteral("Form4")},
        {QStringLiteral("Label6"), Verb::Switch, QStringLiteral("Form5")},
        {QStringLiteral("Label12"), Verb::Switch, QStringLiteral("Form7")},
        {QStringLiteral("Label8"), Verb::Link, weblinks::movieSite()},
        {QStringLiteral("Label7"), Verb::Open, QStringLiteral("Form6")},
        {QStringLiteral("Label1"), Verb::Link, weblinks::homePageBare()},
    };
}

// The strips' text: 9 pt Song, whose glyphs fill the strips' 12-pixel lines.
QFont stripFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}

LinkLabel* makeLink(QWidget* strip, const QString& caption)
{
    auto* label = new LinkLabel(caption, strip);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(p);
    label->setCursor(skin::linkCursor(label->devicePixelRatioF()));
    label->setFont(stripFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

Form1::Form1(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Lumivo网络电视5.5 免安装版"));
    setWindowFlag(Qt::FramelessWindowHint);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0x22, 0x25, 0x2a)); // the skin's own dark, where no strip covers it
    setPalette(p);
    setAutoFillBackground(true);
    resize(DesignClientWidth, DesignClientHeight);
    createControls();
    TreeView1->setTypeAheadInitials(&PinyinInitials::of);
    Keys = new PlayerKeys(this, wmp1);
    bindFullScreenKeys();

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
    wmp1 = place(new MediaPlayer(player, this), "wmp1", {160, 48, 576, 469});

    Picture1 = place(new QLabel(this), "Picture1", {424, 120, 364, 132});
    Picture1->hide(); // a picture store, never shown
    Bd10 = place(strip(this), "Bd10", {376, 400, 215, 7});
    Rc = place(strip(this), "Rc", {733, 26, 6, 491});
    Bd4 = place(strip(this), "Bd4", {0, 26, 7, 491});
    Mnu = place(strip(this), "Mnu", {0, 24, 777, 21});
    Label4 = place(makeLink(Mnu, QStringLiteral("CNTV直播")), "Label4", {4200, 120, 720, 180}, Unit::Twips);
    Label13 = place(makeLink(Mnu, QStringLiteral("易视直播")), "Label13", {5100, 120, 720, 180}, Unit::Twips);
    Label5 = place(makeLink(Mnu, QStringLiteral("Lumivo影剧院")), "Label5", {6000, 120, 900, 180}, Unit::Twips);
    Label6 = place(makeLink(Mnu, QStringLiteral("Lumivo收音机")), "Label6", {7080, 120, 900, 180}, Unit::Twips);
    Label12 = place(makeLink(Mnu, QStringLiteral("酷狗音乐")), "Label12", {8160, 120, 720, 180}, Unit::Twips);
    Label8 = place(makeLink(Mnu, QStringLiteral("Kivamo")), "Label8", {9000, 120, 720, 180}, Unit::Twips);
    Label7 = place(makeLink(Mnu, QStringLiteral("Lumivo聊天室")), "Label7", {9840, 120, 900, 180}, Unit::Twips);

    TreeView1 = place(new TreeView(this), "TreeView1", {4, 44, 145, 465});
    connect(TreeView1, &TreeView::NodeClick, this, &Form1::TreeView1_NodeClick);

    Bd5 = place(strip(this), "Bd5", {152, 45, 7, 488});
    ImageB = place(skinImage(Bd5, "Image4"), "ImageB", {-60, 1740, 300, 750}, Unit::Twips);
    ImageA = place(skinImage(Bd5, "Image1"), "ImageA", {0, 3300, 315, 750}, Unit::Twips);

    Bd1 = place(strip(this), "Bd1", {0, 0, 739, 26});
    Cap = new SkinLabel(Bd1);
    Cap->setText(QStringLiteral("Lumivo网络电视5.5 免安装版"));
    Cap->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    place(Cap, "Cap", {120, 75, 2880, 240}, Unit::Twips);
    Cap->setStyleSheet(QStringLiteral("color: white"));
    Tr = place(strip(Bd1), "Tr", {5340, 0, 30, 390}, Unit::Twips);
    Bd2 = place(strip(Bd1), "Bd2", {9720, 0, 1035, 345}, Unit::Twips);
    Bi = place(skinImage(Bd2, "Bi0"), "Bi", {60, 60, 240, 240}, Unit::Twips);
    BA = place(skinImage(Bd2, "ba0"), "BA", {360, 60, 240, 240}, Unit::Twips);
    BC = place(skinImage(Bd2, "Bc0"), "BC", {660, 60, 240, 240}, Unit::Twips);

    Bd6 = place(strip(this), "Bd6", {0, 517, 739, 13});
    Bd3 = place(strip(Bd6), "Bd3", {0, 0, 180, 30}, Unit::Twips);
    Br = place(strip(Bd6), "Br", {6120, -60, 15, 60}, Unit::Twips);
    Label3 = place(new QLabel(QStringLiteral("本软件由"), Bd6), "Label3", {4680, 0, 720, 180}, Unit::Twips);
    Label3->setFont(stripFont());
    Label1 = place(makeLink(Bd6, QStringLiteral("Orvalis ") + weblinks::makerHost()), "Label1", {5520, 0, 1890, 180},
                   Unit::Twips);
    Label2 = place(new QLabel(QStringLiteral("提供"), Bd6), "Label2", {7560, 0, 360, 180}, Unit::Twips);
    Label2->setFont(stripFont());

    PtA = place(skinImage(this, "Pt1"), "PtA", {136, 64, 25, 25});
    PtB = place(skinImage(this, "Pt4"), "PtB", {168, 64, 25, 25});

    WebBrowser1 = place(new BrowserControl(this, BrowserControl::PageTiming::AfterFirstPaint), "WebBrowser1",
                        {208, 72, 489, 361}); // the window shows first, the ad follows

    Bd9 = place(strip(this), "Bd9", {152, 48, 561, 7});

    m_edges = new EdgeAlignment(this);
    m_edges->align(Bd1, EdgeAlignment::Edge::Top);
    m_edges->align(Bd6, EdgeAlignment::Edge::Bottom);
    m_edges->align(Bd4, EdgeAlignment::Edge::Left);
    m_edges->align(Rc, EdgeAlignment::Edge::Right);

    for (const skin::Assignment& a : skin::mainWindow())
        if (auto* bd = findChild<Bd*>(QLatin1String(a.element)))
            bd->setPicture(skin::picture(QLatin1String(a.picture), devicePixelRatioF()));

    menus::install(this, {}, linkActions());
    createMenus();

    // Resizable from its edges although it has no system frame.
    m_grips = new ResizeGrips(this);
    setMouseTracking(true);
    bindChrome();
    bindPlayerAndTreeEvents();
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
