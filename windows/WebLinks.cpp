#include "WebLinks.h"

#include "LumivoBuildValues.h"

#include <QUrl>

namespace weblinks {
namespace {

QString rooted(const char* url)
{
    QString s = QString::fromUtf8(url);
    if (!s.endsWith(u'/'))
        s += u'/';
    return s;
}

} // namespace

QString homePage() { return rooted(buildvalues::HomePageUrl); }

QString homePageBare()
{
    QString s = homePage();
    s.chop(1);
    return s;
}

QString makerHost() { return QUrl(homePage()).host(); }
QString bargainPage() { return rooted(buildvalues::BargainUrl); }
QString productSite() { return rooted(buildvalues::ProductSiteUrl); }
QString movieSite() { return rooted(buildvalues::MovieSiteUrl); }

} // namespace weblinks
