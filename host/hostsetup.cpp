#include "hostsetup.h"

#include "drivesclass.h"
#include "process.h"

#include <QDir>
#include <QFileInfo>
#include <QQmlContext>
#include <QStandardPaths>
#include <QtQml>

namespace host {

QStringList commandLineFrom(const QStringList &applicationArguments)
{
    QStringList list = applicationArguments.mid(1);
    if (list.isEmpty())
        list.append(QString());
    return list;
}

static QString flashPluginName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("pepflashplayer.dll");
#else
    return QStringLiteral("libpepflashplayer.so");
#endif
}

QByteArray chromiumFlags(const QByteArray &existing, const QString &applicationDir)
{
    QByteArray flags = existing.trimmed();
    const QString plugin = QDir(applicationDir).filePath(flashPluginName());
    const QByteArray ours = "--enable-pepper-testing --ppapi-flash-path=" + plugin.toLocal8Bit()
        + " --autoplay-policy=no-user-gesture-required";
    if (!flags.isEmpty())
        flags += ' ';
    return flags + ours;
}

QString executableDir(const char *argv0)
{
#ifdef Q_OS_LINUX
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    const QString target = self.symLinkTarget();
    if (!target.isEmpty())
        return QFileInfo(target).absolutePath();
#endif
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}

void prepareEnvironment(const QString &applicationDir)
{
    qputenv("QML_DISABLE_DISK_CACHE", "true");
    // The window reads the size-probe file with XMLHttpRequest.
    qputenv("QML_XHR_ALLOW_FILE_READ", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            chromiumFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), applicationDir));
}

void setApplicationInfo()
{
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLUMEN_VERSION));
}

void registerNativeTypes()
{
    qmlRegisterType<DrivesClass>("DrivesClass", 1, 0, "DrivesClass");
    qmlRegisterType<Process>("Process", 1, 0, "Process");
}

void setContextProperties(QQmlContext *context, QObject *maintenance,
                          const QStringList &commandLine, const QString &applicationDir)
{
    context->setContextProperty(QStringLiteral("maintenance"), maintenance);
    context->setContextProperty(QStringLiteral("commandLine"), commandLine);
    context->setContextProperty(QStringLiteral("applicationDirPath"), applicationDir);
    const struct
    {
        const char *name;
        QStandardPaths::StandardLocation location;
    } paths[] = {
        {"dataPath", QStandardPaths::AppLocalDataLocation},
        {"deskPath", QStandardPaths::DesktopLocation},
        {"documentPath", QStandardPaths::DocumentsLocation},
        {"homePath", QStandardPaths::HomeLocation},
        {"imagePath", QStandardPaths::PicturesLocation},
        {"downloadPath", QStandardPaths::DownloadLocation},
    };
    for (const auto &path : paths) {
        context->setContextProperty(QString::fromLatin1(path.name),
                                    QStandardPaths::standardLocations(path.location));
    }
}

} // namespace host
