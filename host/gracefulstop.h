#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a Qt signal on the GUI thread, so a
// front-end that stops the player gets the same orderly close (settings
// saved) as the quit dialog.
class GracefulStop : public QObject
{
    Q_OBJECT

public:
    explicit GracefulStop(QObject *parent = nullptr);
    ~GracefulStop() override;

signals:
    void stopRequested();

private:
    void readSignal();
    QSocketNotifier *m_notifier = nullptr;
};
