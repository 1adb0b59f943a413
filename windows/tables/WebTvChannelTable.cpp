#include "WebTvChannelTable.h"

#include "LumivoBuildValues.h"

#include <QRegularExpression>

namespace embedded {
std::string_view kWebTvMenuTsv();
} // namespace embedded

namespace WebTvChannelTable {

const MenuTable& table()
{
    static const MenuTable menu(MenuTable::Source{
        "webtv-menu", embedded::kWebTvMenuTsv(), true, nullptr, {},
        isChannelValue, "pa://, pb:// or pl:// followed by a channel id"});
    return menu;
}

const QString* find(const QString& key)
{
    return table().value(key);
}

bool isChannelValue(const QString& value)
{
    static const QRegularExpression form(QStringLiteral("^p[abl]://[A-Za-z0-9_-]+$"));
    return form.match(value).hasMatch();
}

QString playerPageUrl(const QString& channelValue)
{
    return QString::fromUtf8(buildvalues::WebTvPageServer)
        + QStringLiteral("/cctv/cctvplayer.html?width=550&height=480&channel=") + channelValue
        + QStringLiteral("&type=p2p");
}

} // namespace WebTvChannelTable
