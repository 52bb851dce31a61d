#include "drivesclass.h"

#include <QStorageInfo>

DrivesClass::DrivesClass(QObject *parent)
    : QObject(parent)
{
}

QStringList DrivesClass::drives()
{
    m_drives.clear();
    const auto volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : volumes) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        if (!isBrowsableVolume(volume.rootPath(), volume.fileSystemType()))
            continue;
        m_drives.append(volume.rootPath());
    }
    return m_drives;
}

bool DrivesClass::isBrowsableVolume(const QString &rootPath, const QByteArray &fileSystemType)
{
#ifdef Q_OS_WIN
    Q_UNUSED(rootPath)
    Q_UNUSED(fileSystemType)
    return true;
#else
    static const QList<QByteArray> pseudoTypes = {"proc",
                                                  "sysfs",
                                                  "devtmpfs",
                                                  "devpts",
                                                  "tmpfs",
                                                  "ramfs",
                                                  "cgroup",
                                                  "cgroup2",
                                                  "debugfs",
                                                  "tracefs",
                                                  "securityfs",
                                                  "pstore",
                                                  "bpf",
                                                  "mqueue",
                                                  "hugetlbfs",
                                                  "configfs",
                                                  "fusectl",
                                                  "autofs",
                                                  "binfmt_misc",
                                                  "efivarfs",
                                                  "nsfs",
                                                  "rpc_pipefs",
                                                  "squashfs",
                                                  "overlayfs-snapshot",
                                                  "fuse.gvfsd-fuse",
                                                  "fuse.portal",
                                                  "nfsd"};
    if (pseudoTypes.contains(fileSystemType))
        return false;
    if (rootPath == QLatin1String("/"))
        return true;
    // System trees and the snapshot folders of snap packages and btrfs.
    static const QStringList systemPrefixes
        = {QStringLiteral("/proc"),    QStringLiteral("/sys"),       QStringLiteral("/dev"),
           QStringLiteral("/snap"),    QStringLiteral("/boot"),      QStringLiteral("/etc"),
           QStringLiteral("/var/lib"), QStringLiteral("/.snapshots")};
    for (const QString &prefix : systemPrefixes) {
        if (rootPath == prefix || rootPath.startsWith(prefix + QLatin1Char('/')))
            return false;
    }
    // /run holds system state, but removable media are mounted below /run/media.
    if (rootPath.startsWith(QLatin1String("/run/"))
        && !rootPath.startsWith(QLatin1String("/run/media/")))
        return false;
    if (rootPath.contains(QLatin1String("/.snapshots")))
        return false;
    return true;
#endif
}
