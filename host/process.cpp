#include "process.h"

#include "gracefulstop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Process::Process(QObject *parent)
    : QProcess(parent)
{
    connect(this, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit startFailed(errorString());
    });
    connect(this, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int exitCode, QProcess::ExitStatus status) {
                emit ended(exitCode, status == QProcess::CrashExit);
            });
}

QStringList Process::toStringList(const QVariantList &values)
{
    QStringList list;
    list.reserve(values.size());
    for (const QVariant &value : values)
        list.append(value.toString());
    return list;
}

void Process::start(const QString &program, const QVariantList &arguments)
{
    QProcess::start(program, toStringList(arguments), QIODevice::ReadWrite);
}

void Process::execute(const QString &program, const QVariantList &arguments)
{
    QProcess::execute(program, toStringList(arguments));
}

// Waits for the child in short steps, so that a stop asked for meanwhile
// (SIGTERM during start-up) is not held up by a slow or stuck program.
static bool waitUnlessStopped(QProcess &child, int timeoutMs)
{
    constexpr int stepMs = 100;
    for (int waited = 0; waited < timeoutMs && !GracefulStop::isRequested(); waited += stepMs) {
        if (child.waitForFinished(stepMs))
            return true;
    }
    return child.state() == QProcess::NotRunning;
}

int Process::executeToFile(const QString &program, const QVariantList &arguments,
                           const QString &outputFile, int timeoutMs)
{
    QDir().mkpath(QFileInfo(outputFile).absolutePath());
    QFile output(outputFile);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    output.close();

    QProcess child;
    child.setStandardOutputFile(outputFile, QIODevice::Truncate);
    child.setStandardInputFile(QProcess::nullDevice());
    child.start(program, toStringList(arguments), QIODevice::ReadOnly);
    if (!child.waitForStarted(timeoutMs))
        return -1;
    if (!waitUnlessStopped(child, timeoutMs)) {
        child.kill();
        child.waitForFinished(1000);
        return -1;
    }
    if (child.exitStatus() != QProcess::NormalExit)
        return -1;
    return child.exitCode();
}

QByteArray Process::readAll()
{
    return QProcess::readAll();
}
