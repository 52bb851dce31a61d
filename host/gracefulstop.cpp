#include "gracefulstop.h"

#include <QSocketNotifier>

#include <atomic>

#ifndef Q_OS_WIN
#include <csignal>
#include <dlfcn.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {
std::atomic<bool> stopAsked {false};
std::atomic<bool> handlersInstalled {false};

#ifndef Q_OS_WIN
int signalPipe[2] = {-1, -1};
const int stopSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onDeadline(int)
{
    static const char message[] = "vorlumen: the player did not end in time; stopping now\n";
    [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(1);
}

bool isStopSignal(int signalNumber)
{
    for (int stopSignal : stopSignals) {
        if (signalNumber == stopSignal)
            return true;
    }
    return false;
}

void onSignal(int)
{
    // Only async-signal-safe work here; the GUI thread does the rest.
    const bool first = !stopAsked.exchange(true);
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(signalPipe[0], &byte, 1);
    // The GUI thread may be stuck; the deadline does not depend on it.
    if (first)
        GracefulStop::armQuitDeadline();
}
#endif
} // namespace

#ifdef Q_OS_LINUX
// The web engine's browser side resets the stop signals to their default
// (death) while it starts, some time after main has caught them: a front-end
// that stops the player in that moment would kill it. Once the player's own
// handlers are in, a request to replace them with anything else is ignored;
// every other signal, and the engine's own processes, are not concerned.
extern "C" int sigaction(int signalNumber, const struct sigaction *action,
                         struct sigaction *previous)
{
    using Sigaction = int (*)(int, const struct sigaction *, struct sigaction *);
    static const auto libcSigaction = reinterpret_cast<Sigaction>(dlsym(RTLD_NEXT, "sigaction"));
    if (action && handlersInstalled.load() && isStopSignal(signalNumber)
        && action->sa_handler != onSignal)
        return libcSigaction(signalNumber, nullptr, previous);
    return libcSigaction(signalNumber, action, previous);
}
#endif

void GracefulStop::installHandlers()
{
#ifndef Q_OS_WIN
    if (signalPipe[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t held;
    sigemptyset(&held);
    for (int stopSignal : stopSignals) {
        sigaction(stopSignal, &action, nullptr);
        sigaddset(&held, stopSignal);
    }
    handlersInstalled = true;
    // The launcher holds them back until now; one that came meanwhile is
    // delivered here, to the handler.
    sigprocmask(SIG_UNBLOCK, &held, nullptr);
#endif
}

GracefulStop::GracefulStop(QObject *parent)
    : QObject(parent)
{
#ifndef Q_OS_WIN
    installHandlers();
    if (signalPipe[1] == -1)
        return;
    // A stop that came before this object waits in the pipe: the notifier
    // delivers it as soon as the event loop runs.
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &GracefulStop::readSignal);
#endif
}

GracefulStop::~GracefulStop()
{
#ifndef Q_OS_WIN
    handlersInstalled = false;
    for (int stopSignal : stopSignals)
        signal(stopSignal, SIG_DFL);
#endif
}

bool GracefulStop::isRequested()
{
    return stopAsked.load();
}

void GracefulStop::armQuitDeadline(unsigned seconds)
{
#ifndef Q_OS_WIN
    // sigaction and alarm are async-signal-safe: this runs in onSignal too.
    struct sigaction action = {};
    action.sa_handler = onDeadline;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    ::alarm(seconds);
#else
    Q_UNUSED(seconds);
#endif
}

void GracefulStop::readSignal()
{
#ifndef Q_OS_WIN
    char byte = 0;
    [[maybe_unused]] ssize_t got = ::read(signalPipe[1], &byte, 1);
#endif
    // One orderly close, however many signals arrive.
    if (m_delivered)
        return;
    m_delivered = true;
    emit stopRequested();
}
