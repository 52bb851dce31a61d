#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QVariantList>

// A process the UI can start. No command interpreter is ever involved:
// arguments reach the program exactly as given.
class Process : public QProcess
{
    Q_OBJECT

public:
    explicit Process(QObject *parent = nullptr);

    // Starts the program beside the UI and returns at once.
    Q_INVOKABLE void start(const QString &program, const QVariantList &arguments);
    // Runs the program to its end, blocking; its exit code is dropped.
    Q_INVOKABLE void execute(const QString &program, const QVariantList &arguments);
    // Runs the program to its end, blocking, with its standard output written
    // to outputFile. The file is created or emptied first (and its folder
    // made), so a program that fails leaves an empty file, never stale text.
    // Returns the exit code, or -1 when the program could not run to its end.
    Q_INVOKABLE int executeToFile(const QString &program, const QVariantList &arguments,
                                  const QString &outputFile, int timeoutMs = 30000);
    Q_INVOKABLE QByteArray readAll();

    static QStringList toStringList(const QVariantList &values);

signals:
    // The program begun with start() could not be started.
    void startFailed(const QString &reason);
    // The program begun with start() has ended.
    void ended(int exitCode, bool crashed);
};
