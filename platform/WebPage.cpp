#include "WebPage.h"

WebPage::~WebPage() = default;

bool isWebScheme(const QString& scheme)
{
    const QString s = scheme.toLower();
    return s == u"http" || s == u"https" || s == u"file" || s == u"about";
}
