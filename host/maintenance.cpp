#include "maintenance.h"

#include <QDir>
#include <QFile>

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
