#include "Form4.h"

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
        {QStringLiteral("cntv"), QStringLiteral("高清电视直播"), {}},
        {QStringLiteral("vqtvzb"), QStringLiteral("Lumivo电视直播"), {}},
        {QStringLiteral("vqtvzbw"), QStringLiteral("Lumivo影剧院"), {}},
        {QStringLiteral("kugou"), QStringLiteral("酷狗音乐"), {}},
        {QStringLiteral("vqchat"), QStringLiteral("Lumivo聊天室"), {}},
        {QStringLiteral("bz"), QStringLiteral("帮助"), {}},
        {QStringLiteral("gywm"), QStringLiteral("关于我们"), QStringLiteral("bz")},
        {QStringLiteral("orvx"), QStringLiteral("Orvalis"), QStringLiteral("bz")},
        {QStringLiteral("taobao"), QStringLiteral("淘宝特价"), QStringLiteral("bz")},
        {QStringLiteral("vqw"), QStringLiteral("LumivoTV网"), QStringLiteral("bz")},
    };
    return rows;
}

QList<menus::ActionRow> menuActions()
{
    using menus::Verb;
    return {
        {QStringLiteral("cntv"), Verb::Switch, QStringLiteral("Form3")},
        {QStringLiteral("vqtvzb"), Verb::Switch, QStringLiteral("Form1")},
        {QStringLiteral("vqtvzbw"), Verb::Reload},
        {QStringLiteral("kugou"), Verb::Switch, QStringLiteral("Form7")},
        {QStringLiteral("vqchat"), Verb::Open, QStringLiteral("Form6")},
        {QStringLiteral("gywm"), Verb::Open, QStringLiteral("Form2")},
        {QStringLiteral("orvx"), Verb::Link, weblinks::homePage()},
        {QStringLiteral("taobao"), Verb::Link, weblinks::bargainPage()},
        {QStringLiteral("vqw"), Verb::Link, weblinks::productSite()},
    };
}

} // namespace

Form4::Form4(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Lumivo网络电视5.5(电视直播.电影.电视剧) "));
    addMenuBar();
    setFixedBorder(false, false);
    // The bar's items first: its height decides the window's outer size.
    menus::install(this, menus::build(this, menuBar(), menuRows()), menuActions());
    setClientSize(QSize(943, 568));

    // Offset and far larger than the window: the page's margins and the pane's scroll bars stay
    // out of sight.
    WebBrowser1 = place(new BrowserControl(clientArea()), "WebBrowser1", {-435, -1440, 15255, 99980}, Unit::Twips);

    webpages::centreOnScreen(this);
}

void Form4::Form_Load() { WebBrowser1->Navigate(webpages::portalPage()); }

void Form4::reloadContent() { WebBrowser1->Navigate(webpages::portalPage()); }
