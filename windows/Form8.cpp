#include "Form8.h"

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
        {QStringLiteral("vqyg"), QStringLiteral("Lumivo影剧院"), {}},
        {QStringLiteral("vqfm"), QStringLiteral("Lumivo收音机"), {}},
        {QStringLiteral("vqchat"), QStringLiteral("Lumivo聊天室"), {}},
    } + sitehelp::rows();
    return rows;
}

QList<menus::ActionRow> menuActions()
{
    using menus::Verb;
    return QList<menus::ActionRow>{
        {QStringLiteral("vqtv"), Verb::Switch, QStringLiteral("Form1")},
        {QStringLiteral("cntv"), Verb::Switch, QStringLiteral("Form3")},
        {QStringLiteral("vqyg"), Verb::Switch, QStringLiteral("Form4")},
        {QStringLiteral("vqfm"), Verb::Switch, QStringLiteral("Form5")},
        {QStringLiteral("vqchat"), Verb::Open, QStringLiteral("Form6")},
    } + sitehelp::actions();
}

} // namespace

Form8::Form8(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Lumivo网络电视5.5(易视直播)"));
    addMenuBar();
    // The bar's items first: its height decides the window's outer size.
    menus::install(this, menus::build(this, menuBar(), menuRows()), menuActions());
    setClientSize(QSize(946, 455));

    // Bottom of the stacking order first: the ad panel covers the page's left side.
    WebBrowser1 = place(new BrowserControl(clientArea()), "WebBrowser1", {-1800, -1800, 19905, 15000}, Unit::Twips);
    WebBrowser2 = place(new BrowserControl(clientArea()), "WebBrowser2", {-120, -240, 1815, 7095}, Unit::Twips);

    webpages::centreOnScreen(this);
}

void Form8::Form_Load()
{
    WebBrowser2->Navigate(webpages::cntvAdPage());
    WebBrowser1->Navigate(webpages::yishiLive());
}
