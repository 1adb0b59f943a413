#include "Form6.h"

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
        {QStringLiteral("eitv"), QStringLiteral("易视直播"), {}},
        {QStringLiteral("vqfm"), QStringLiteral("Lumivo收音机"), {}},
    } + sitehelp::rows();
    return rows;
}

// The chat stays where it is: every window item opens beside it. The theatre item leads to the
// web-TV window, not to the portal.
QList<menus::ActionRow> menuActions()
{
    using menus::Verb;
    return QList<menus::ActionRow>{
        {QStringLiteral("vqtv"), Verb::Open, QStringLiteral("Form1")},
        {QStringLiteral("cntv"), Verb::Open, QStringLiteral("Form3")},
        {QStringLiteral("vqyg"), Verb::Open, QStringLiteral("Form3")},
        {QStringLiteral("eitv"), Verb::Open, QStringLiteral("Form8")},
        {QStringLiteral("vqfm"), Verb::Open, QStringLiteral("Form5")},
    } + sitehelp::actions();
}

} // namespace

Form6::Form6(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Lumivo网络电视5.5(聊天室)"));
    addMenuBar();
    setFixedBorder(false, false);
    // The bar's items first: its height decides the window's outer size.
    menus::install(this, menus::build(this, menuBar(), menuRows()), menuActions());
    setClientSize(QSize(751, 455));

    // Bottom of the stacking order first: the ad panel covers the chat pane where they overlap.
    WebBrowser1 = place(new BrowserControl(clientArea()), "WebBrowser1", {1800, 0, 9495, 6855}, Unit::Twips);
    WebBrowser2 = place(new BrowserControl(clientArea()), "WebBrowser2", {-120, -240, 1935, 7215}, Unit::Twips);

    webpages::centreOnScreen(this);
}

void Form6::Form_Load()
{
    WebBrowser1->Navigate(webpages::chatRoom());
    WebBrowser2->Navigate(webpages::cntvAdPage());
}
