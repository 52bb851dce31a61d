#include "gracefulstop.h"

#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here; the GUI thread does the rest.
    [[maybe_unused]] ssize_t written = ::write(signalPipe[0], &byte, 1);
}
} // namespace
#endif

GracefulStop::GracefulStop(QObject *parent)
    : QObject(parent)
{
#ifndef Q_OS_WIN
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &GracefulStop::readSignal);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
#endif
}

GracefulStop::~GracefulStop()
{
#ifndef Q_OS_WIN
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
#endif
}

void GracefulStop::readSignal()
{
#ifndef Q_OS_WIN
    char byte = 0;
    [[maybe_unused]] ssize_t got = ::read(signalPipe[1], &byte, 1);
#endif
    emit stopRequested();
}
