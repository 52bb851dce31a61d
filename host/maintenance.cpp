#include "maintenance.h"

#include <QDir>
#include <QFile>

#include <cstdio>

Maintenance::Maintenance(QObject *parent)
    : QObject(parent)
{
}

bool Maintenance::verifyFolder(const QString &repertoire)
{
    return QDir(repertoire).exists();
}

bool Maintenance::verifyFile(const QString &fichier)
{
    return QFile::exists(fichier);
}

bool Maintenance::createFolder(const QString &repertoire)
{
    return !repertoire.isEmpty() && QDir().mkpath(repertoire);
}

void Maintenance::printText(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Maintenance::setGameFile(const QString &fichier)
{
    emit gameFileChosen(fichier);
}
