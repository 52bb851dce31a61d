#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so a
// front-end that stops the player (or a terminal that closes) gets the same
// orderly close (settings saved) as the quit dialog.
//
// The handlers are installed first thing in main and the object before the
// window loads: a stop asked for during start-up is delivered as soon as the
// event loop runs, and a running size probe gives
// up at once (isRequested). Once a stop is asked for, or the application is
// about to quit, the process ends on its own after a deadline even if
// something hangs.
class GracefulStop : public QObject
{
    Q_OBJECT

public:
    explicit GracefulStop(QObject *parent = nullptr);
    ~GracefulStop() override;

    // Catches the stop signals from the very start of main, before the web
    // engine and the application exist (their default would kill the
    // player); the object made later delivers what came meanwhile.
    static void installHandlers();
    // True once a stop signal has arrived; safe to poll from blocking waits.
    static bool isRequested();
    // Ends the process after `seconds` unless it has ended by then.
    static void armQuitDeadline(unsigned seconds = kQuitDeadlineSeconds);

    static constexpr unsigned kQuitDeadlineSeconds = 15;

signals:
    void stopRequested();

private:
    void readSignal();
    QSocketNotifier *m_notifier = nullptr;
    bool m_delivered = false;
};
