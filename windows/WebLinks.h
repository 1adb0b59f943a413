#pragma once

#include <QString>

// The web pages the windows open in the desktop browser; their hosts are build values.
namespace weblinks {

QString homePage();     // the maker's home page, root "/"
QString homePageBare(); // the same without the trailing "/", as the sponsor line opens it
QString makerHost();    // the maker's web-site host, as the sponsor line shows it
QString bargainPage();
QString productSite();
QString movieSite();

} // namespace weblinks
