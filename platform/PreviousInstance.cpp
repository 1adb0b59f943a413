#include "PreviousInstance.h"

#include <QCoreApplication>
#include <QLocalServer>

#include <unistd.h>

namespace {
bool g_decided = false;
bool g_wasRunning = false;
} // namespace

QString PreviousInstance::defaultName() { return QStringLiteral("lumivo-tv-%1").arg(::getuid()); }

void PreviousInstance::decide(const QString& name)
{
    if (g_decided)
        return;
    g_decided = true;
    g_wasRunning = !tryClaim(name, QCoreApplication::instance());
}

bool PreviousInstance::tryClaim(const QString& name, QObject* owner)
{
    auto* server = new QLocalServer(owner);
    server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (server->listen(name))
        return true;
    // Only a name held by a live process counts; any other failure must not lock the user out.
    const bool held = server->serverError() == QAbstractSocket::AddressInUseError;
    delete server;
    return !held;
}

bool PreviousInstance::wasRunningAtStart()
{
    if (!g_decided)
        decide();
    return g_wasRunning;
}
