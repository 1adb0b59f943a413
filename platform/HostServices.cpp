#include "HostServices.h"

#include "DesktopHostServices.h"

#include <QCoreApplication>

namespace {
HostServices* g_installed = nullptr;
} // namespace

HostServices::~HostServices() = default;

HostServices& HostServices::current()
{
    if (g_installed)
        return *g_installed;
    static DesktopHostServices desktop;
    return desktop;
}

void HostServices::install(HostServices* services) { g_installed = services; }

void openLink(const QString& url)
{
    HostServices& host = HostServices::current();
    if (!host.openExternal(QUrl(url)))
        host.messageBox(QCoreApplication::translate("openLink", "无法打开网页：%1\n请检查是否已安装网页浏览器。").arg(url),
                        HostServices::Icon::Warning, QStringLiteral("Lumivo网络电视"));
}
