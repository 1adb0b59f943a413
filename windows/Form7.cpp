#include "Form7.h"

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
        {QStringLiteral("vqygy"), QStringLiteral("Lumivo影剧院"), {}},
        {QStringLiteral("vqfm"), QStringLiteral("Lumivo收音机"), {}},
        {QStringLiteral("vqchat"), QStringLiteral("Lumivo聊天室"), {}},
        {QStringLiteral("help"), QStringLiteral("帮助"), {}},
        {QStringLiteral("gywm"), QStringLiteral("关于我们"), QStringLiteral("help")},
        {QStringLiteral("orvx"), QStringLiteral("Orvalis"), QStringLiteral("help")},
        {QStringLiteral("tao"), QStringLiteral("淘宝特价"), QStringLiteral("help")},
        {QStringLiteral("zorbik"), QStringLiteral("Kivamo网"), QStringLiteral("help")},
    };
    return rows;
}

// Leaving for another window ends the music; only the chat room opens beside it.
QList<menus::ActionRow> menuActions()
{
    using menus::Verb;
    return {
        {QStringLiteral("vqtv"), Verb::Switch, QStringLiteral("Form1")},
        {QStringLiteral("cntv"), Verb::Switch, QStringLiteral("Form3")},
        {QStringLiteral("vqygy"), Verb::Switch, QStringLiteral("Form4")},
        {QStringLiteral("vqfm"), Verb::Switch, QStringLiteral("Form5")},
        {QStringLiteral("vqchat"), Verb::Open, QStringLiteral("Form6")},
        {QStringLiteral("gywm"), Verb::Open, QStringLiteral("Form2")},
        {QStringLiteral("orvx"), Verb::Link, weblinks::homePage()},
        {QStringLiteral("tao"), Verb::Link, weblinks::bargainPage()},
        {QStringLiteral("zorbik"), Verb::Link, weblinks::movieSite()},
    };
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
