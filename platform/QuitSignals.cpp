#include "QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace quitsignals {

namespace {

sigset_t quitSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

void block()
{
    const sigset_t set = quitSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool listen(QObject* owner)
{
    const sigset_t set = quitSet();
    const int fd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd < 0) {
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return false;
    }
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [fd] {
        signalfd_siginfo info;
        while (::read(fd, &info, sizeof info) == sizeof info) {
        }
        QCoreApplication::exit(0);
    });
    QObject::connect(notifier, &QObject::destroyed, [fd] { ::close(fd); });
    return true;
}

} // namespace quitsignals
