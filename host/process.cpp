#include "process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Process::Process(QObject *parent)
    : QProcess(parent)
{
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
    if (!child.waitForFinished(timeoutMs)) {
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
