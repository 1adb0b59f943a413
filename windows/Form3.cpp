#include "Form3.h"

#include "BrowserControl.h"
#include "LumivoBuildValues.h"
#include "MenuBuilder.h"
#include "Placement.h"
#include "WebLinks.h"
#include "WebPages.h"
#include "WebTvChannelTable.h"

#include <QLabel>

using placement::Unit;
using placement::place;

namespace {

// After the channel menu: the cross-links on the bar and the help menu.
const QList<menus::MenuRow>& linkRows()
{
    static const QList<menus::MenuRow> rows = {
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

QList<menus::ActionRow> linkActions()
{
    using menus::Verb;
    return {
        {QStringLiteral("vqtvzb"), Verb::Switch, QStringLiteral("Form1")},
        {QStringLiteral("vqtvzbw"), Verb::Switch, QStringLiteral("Form4")},
        {QStringLiteral("kugou"), Verb::Switch, QStringLiteral("Form7")},
        {QStringLiteral("vqchat"), Verb::Open, QStringLiteral("Form6")},
        {QStringLiteral("gywm"), Verb::Open, QStringLiteral("Form2")},
        {QStringLiteral("orvx"), Verb::Link, weblinks::homePage()},
        {QStringLiteral("taobao"), Verb::Link, weblinks::bargainPage()},
        {QStringLiteral("vqw"), Verb::Link, weblinks::productSite()},
    };
}

} // namespace

Form3::Form3(QWidget* parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Lumivo网络电视5.5"));
    addMenuBar();
    setFixedBorder(false, false);
    // The bar before the size, as its height decides the outer size: the channel menu straight
    // from the table, then the cross-links.
    QList<menus::MenuRow> rows;
    QList<menus::ActionRow> actions = linkActions();
    for (const MenuRow& entry : WebTvChannelTable::table().rows()) {
        rows.push_back({entry.key, entry.caption, entry.parentKey});
        if (!entry.isMenu)
            actions.push_back({entry.key, menus::Verb::Handler, {}, [this, key = entry.key] { cntv_Click(key); }});
    }
    rows += linkRows();
    const menus::Menus built = menus::build(this, menuBar(), rows);
    menus::install(this, built, actions);
    setClientSize(QSize(669, 501));

    // Bottom of the stacking order first, so each later control covers the earlier ones.
    QWidget* client = clientArea();
    Label1 = place(new QLabel(QStringLiteral("节目直播缓冲连接，大约十秒，请稍等... "), client), "Label1",
                   {3840, 7200, 0, 0}, Unit::Twips);
    QFont big(QStringLiteral("宋体"));
    big.setPointSizeF(14.25);
    big.setBold(true);
    Label1->setFont(big);
    QPalette green = Label1->palette();
    green.setColor(QPalette::WindowText, QColor(0, 255, 0));
    Label1->setPalette(green);
    Label1->adjustSize();

    Label2 = place(new QLabel(QStringLiteral("在线联系QQ:") + QString::fromUtf8(buildvalues::SupportQq), client),
                   "Label2", {240, 7250, 0, 0}, Unit::Twips);
    QFont small(QStringLiteral("宋体"));
    small.setPointSizeF(12);
    Label2->setFont(small);
    Label2->adjustSize();

    WebBrowser1 = place(new BrowserControl(client), "WebBrowser1", {1740, 0, 8655, 7215}, Unit::Twips);
    WebBrowser2 = place(new BrowserControl(client), "WebBrowser2", {-165, -240, 1935, 7455}, Unit::Twips);

    webpages::centreOnScreen(this);
}

void Form3::Form_Load()
{
    WebBrowser2->Navigate(webpages::cntvAdPage());
    WebBrowser1->Navigate(WebTvChannelTable::playerPageUrl(*WebTvChannelTable::find(
        QString::fromLatin1(WebTvChannelTable::FirstChannelKey))));
}

void Form3::cntv_Click(const QString& key)
{
    if (const QString* value = WebTvChannelTable::find(key))
        WebBrowser1->Navigate(WebTvChannelTable::playerPageUrl(*value));
}
