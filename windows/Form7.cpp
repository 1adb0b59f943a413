#include "Form7.h"

#include "BrowserControl.h"
#include "MenuBuilder.h"
#include "Placement.h"
#include "SiteHelpMenu.h"
#include "WebPages.h"

using placement::Unit;
using placement::place;

namespace {

const QList<menus::MenuRow>& menuRows()
{
    static const QList<menus::MenuRow> rows = QList<menus::MenuRow>{
        {QStringLiteral("vqtv"), QStringLiteral("Lumivo电视直播"), {}},
        {QStringLiteral("cntv"), QStringLiteral("CNTV直播"), {}},
        {QStringLiteral("vqygy"), QStringLiteral("Lumivo影剧院"), {}},
        {QStringLiteral("vqfm"), QStringLiteral("Lumivo收音机"), {}},
        {QStringLiteral("vqchat"), QStringLiteral("Lumivo聊天室"), {}},
    } + sitehelp::rows();
    return rows;
}

// Leaving for another window ends the music; only the chat room opens beside it.
QList<menus::ActionRow> menuActions()
{
    using menus::Verb;
    return QList<menus::ActionRow>{
        {QStringLiteral("vqtv"), Verb::Switch, QStringLiteral("Form1")},
        {QStringLiteral("cntv"), Verb::Switch, QStringLiteral("Form3")},
        {QStringLiteral("vqygy"), Verb::Switch, QStringLiteral("Form4")},
        {QStringLiteral("vqfm"), Verb::Switch, QStringLiteral("Form5")},
        {QStringLiteral("vqchat"), Verb::Open, QStringLiteral("Form6")},
    } + sitehelp::actions();
}

} // namespace

Form7::Form7(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Lumivo网络电视5.5(酷狗音乐盒)"));
    addMenuBar();
    setFixedBorder(false, false);
    // The bar's items first: its height decides the window's outer size.
    menus::install(this, menus::build(this, menuBar(), menuRows()), menuActions());
    setClientSize(QSize(837, 492));

    // Bottom of the stacking order first: the ad panel covers the page's left edge.
    WebBrowser1 = place(new BrowserControl(clientArea()), "WebBrowser1", {1200, -1200, 12300, 10005}, Unit::Twips);
    WebBrowser2 = place(new BrowserControl(clientArea()), "WebBrowser2", {-120, -120, 1935, 7695}, Unit::Twips);

    // No placement of its own: the window manager decides where it first appears.
}

void Form7::Form_Load()
{
    WebBrowser1->Navigate(webpages::musicBox());
    WebBrowser2->Navigate(webpages::cntvAdPage());
}
