#include "HostServices.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace {
HostServices* g_installed = nullptr;
} // namespace

HostServices::~HostServices() = default;

HostServices& HostServices::current()
{
    // The process start installs the desktop; tests install a double. Anything else is a fault.
    if (!g_installed)
        qFatal("lumivo: no host services installed");
    return *g_installed;
}

void HostServices::install(HostServices* services) { g_installed = services; }

void openLink(const QString& url)
{
    HostServices& host = HostServices::current();
    if (!host.openExternal(QUrl(url)))
        host.messageBox(QCoreApplication::translate("openLink", "无法打开网页：%1\n请检查是否已安装网页浏览器。").arg(url),
                        HostServices::Icon::Warning, QStringLiteral("Lumivo网络电视"));
}
