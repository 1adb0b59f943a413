#include "SiteHelpMenu.h"

#include "WebLinks.h"

namespace sitehelp {

QList<menus::MenuRow> rows()
{
    return {
        {QStringLiteral("help"), QStringLiteral("帮助"), {}},
        {QStringLiteral("gywm"), QStringLiteral("关于我们"), QStringLiteral("help")},
        {QStringLiteral("orvx"), QStringLiteral("Orvalis"), QStringLiteral("help")},
        {QStringLiteral("tao"), QStringLiteral("淘宝特价"), QStringLiteral("help")},
        {QStringLiteral("zorbik"), QStringLiteral("Kivamo网"), QStringLiteral("help")},
    };
}

QList<menus::ActionRow> actions()
{
    using menus::Verb;
    return {
        {QStringLiteral("gywm"), Verb::Open, QStringLiteral("Form2")},
        {QStringLiteral("orvx"), Verb::Link, weblinks::homePage()},
        {QStringLiteral("tao"), Verb::Link, weblinks::bargainPage()},
        {QStringLiteral("zorbik"), Verb::Link, weblinks::movieSite()},
    };
}

} // namespace sitehelp
