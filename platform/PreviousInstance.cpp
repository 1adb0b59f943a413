#include "PreviousInstance.h"

#include <QCoreApplication>
#include <QLocalServer>

#include <unistd.h>

#include <utility>

namespace {
bool g_decided = false;
bool g_wasRunning = false;
QLocalServer* g_claim = nullptr;
} // namespace

// One instance per user and display: a player left running on another display (a test's virtual
// one, a second seat) cannot be seen from here, so it must not turn this start away.
QString PreviousInstance::defaultName()
{
    QByteArray display = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qgetenv("DISPLAY");
    return QStringLiteral("lumivo-tv-%1-%2").arg(::getuid()).arg(QString::fromLocal8Bit(display));
}

void PreviousInstance::decide(const QString& name)
{
    if (g_decided)
        return;
    g_decided = true;
    auto* server = new QLocalServer(QCoreApplication::instance());
    server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (server->listen(name)) {
        g_claim = server;
        return;
    }
    // Only a name held by a live process counts; any other failure must not lock the user out.
    g_wasRunning = server->serverError() == QAbstractSocket::AddressInUseError;
    delete server;
}

void PreviousInstance::release()
{
    delete std::exchange(g_claim, nullptr);
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
