#include "gracefulstop.h"

#include <QSocketNotifier>
#include <QTimer>

#include <atomic>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {
std::atomic<bool> stopAsked {false};
std::atomic<bool> handlersInstalled {false};

#ifndef Q_OS_WIN
int signalPipe[2] = {-1, -1};
// The deadline's own thread waits on this pipe: a timer signal could be
// reset or blocked by the web engine (its start resets SIGALRM), a thread
// of the player's own cannot.
int deadlinePipe[2] = {-1, -1};
const int stopSignals[] = {SIGTERM, SIGINT, SIGHUP};

bool isStopSignal(int signalNumber)
{
    for (int stopSignal : stopSignals) {
        if (signalNumber == stopSignal)
            return true;
    }
    return false;
}

// Sleeps until the deadline is armed, then for its seconds, then ends the
// process however stuck its other threads are.
void *watchDeadline(void *)
{
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    unsigned seconds = 0;
    while (::read(deadlinePipe[0], &seconds, sizeof seconds) != ssize_t(sizeof seconds)) {
        if (errno != EINTR)
            return nullptr;
    }
    struct timespec left = {time_t(seconds), 0};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) { }
    static const char message[] = "vorlumen: the player did not end in time; stopping now\n";
    [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(1);
}

void startDeadlineWatch()
{
    if (::pipe2(deadlinePipe, O_CLOEXEC) != 0)
        return;
    pthread_t thread;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (pthread_create(&thread, &attributes, watchDeadline, nullptr) != 0) {
        ::close(deadlinePipe[0]);
        ::close(deadlinePipe[1]);
        deadlinePipe[0] = deadlinePipe[1] = -1;
    }
    pthread_attr_destroy(&attributes);
}

void onSignal(int)
{
    // Only async-signal-safe work here; the GUI thread does the rest.
    const int savedErrno = errno;
    const bool first = !stopAsked.exchange(true);
    const char byte = 1;
    if (signalPipe[0] != -1) [[maybe_unused]]
        ssize_t written = ::write(signalPipe[0], &byte, 1);
    // The GUI thread may be stuck; the deadline does not depend on it.
    if (first)
        GracefulStop::armQuitDeadline();
    errno = savedErrno;
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
    if (handlersInstalled.load())
        return;
    startDeadlineWatch();
    // Without the pipe the stop is still caught: the object below then looks
    // for it on a timer. The signals must never stay held back.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalPipe) != 0)
        signalPipe[0] = signalPipe[1] = -1;
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
    if (signalPipe[1] == -1) {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, &GracefulStop::readSignal);
        poll->start(100);
        return;
    }
    // A stop that came before this object waits in the pipe: the notifier
    // delivers it as soon as the event loop runs.
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &GracefulStop::readSignal);
#endif
}

// The handlers stay: a stop that comes while the engine is torn down, after
// this object, only hurries nothing along (the deadline is already armed);
// the default would kill the player before its files are closed.
GracefulStop::~GracefulStop() = default;

bool GracefulStop::isRequested()
{
    return stopAsked.load();
}

void GracefulStop::armQuitDeadline(unsigned seconds)
{
#ifndef Q_OS_WIN
    // write is async-signal-safe: this runs in onSignal too. The first arming
    // counts; the watch reads no more.
    if (deadlinePipe[1] != -1) [[maybe_unused]]
        ssize_t written = ::write(deadlinePipe[1], &seconds, sizeof seconds);
#else
    Q_UNUSED(seconds);
#endif
}

void GracefulStop::readSignal()
{
#ifndef Q_OS_WIN
    char bytes[64];
    while (signalPipe[1] != -1 && ::read(signalPipe[1], bytes, sizeof bytes) > 0) { }
#endif
    // One orderly close, however many signals arrive.
    if (m_delivered || !isRequested())
        return;
    m_delivered = true;
    emit stopRequested();
}
