#include "Form6.h"

#include "BrowserControl.h"
#include "MenuBuilder.h"
#include "Placement.h"
#include "WebLinks.h"
#include "WebPages.h"

using placement::Unit;
using placement::place;

namespace {

const QList<menus::MenuRow>& menuRows()
{
    static const QList<menus::MenuRow> rows = {
        {QStringLiteral("vqtv"), QStringLiteral("Lumivo电视直播"), {}},
        {QStringLiteral("cntv"), QStringLiteral("CNTV直播"), {}},
        {QStringLiteral("vqyg"), QStringLiteral("Lumivo影剧院"), {}},
        {QStringLiteral("eitv"), QStringLiteral("易视直播"), {}},
        {QStringLiteral("vqfm"), QStringLiteral("Lumivo收音机"), {}},
        {QStringLiteral("help"), QStringLiteral("帮助"), {}},
        {QStringLiteral("gywm"), QStringLiteral("关于我们"), QStringLiteral("help")},
        {QStringLiteral("orvx"), QStringLiteral("Orvalis"), QStringLiteral("help")},
        {QStringLiteral("tao"), QStringLiteral("淘宝特价"), QStringLiteral("help")},
        {QStringLiteral("zorbik"), QStringLiteral("Kivamo网"), QStringLiteral("help")},
    };
    return rows;
}

// The chat stays where it is: every window item opens beside it. The theatre item leads to the
// web-TV window, not to the portal.
QList<menus::ActionRow> menuActions()
{
    using menus::Verb;
    return {
        {QStringLiteral("vqtv"), Verb::Open, QStringLiteral("Form1")},
        {QStringLiteral("cntv"), Verb::Open, QStringLiteral("Form3")},
        {QStringLiteral("vqyg"), Verb::Open, QStringLiteral("Form3")},
        {QStringLiteral("eitv"), Verb::Open, QStringLiteral("Form8")},
        {QStringLiteral("vqfm"), Verb::Open, QStringLiteral("Form5")},
        {QStringLiteral("gywm"), Verb::Open, QStringLiteral("Form2")},
        {QStringLiteral("orvx"), Verb::Link, weblinks::homePage()},
        {QStringLiteral("tao"), Verb::Link, weblinks::bargainPage()},
        {QStringLiteral("zorbik"), Verb::Link, weblinks::movieSite()},
    };
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
