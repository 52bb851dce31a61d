#pragma once

#include <QObject>
#include <QStringList>

// Lists the root paths of the volumes a person would browse for games.
// Every read of `drives` asks the platform again; nothing is cached.
class DrivesClass : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList drives READ drives NOTIFY drivesChanged)

public:
    explicit DrivesClass(QObject *parent = nullptr);

    QStringList drives();

    // Whether a mounted volume is one to offer in the drive box: pseudo file
    // systems, snapshots and system mounts are left out.
    static bool isBrowsableVolume(const QString &rootPath, const QByteArray &fileSystemType);

signals:
    void drivesChanged();

private:
    QStringList m_drives;
};
