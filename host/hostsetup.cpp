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

// V8's WebAssembly flags: Ruffle's 14 MB module is compiled function by
// function as the movie first needs it, instead of all of it before the
// first frame (bench/startup, bench/play; docs/performance.md).
static const char v8Flags[] = "--js-flags=--wasm-lazy-compilation";

QByteArray chromiumFlags(const QByteArray &existing, const QString &applicationDir)
{
    QByteArray flags = existing.trimmed();
    const QString plugin = QDir(applicationDir).filePath(flashPluginName());
    QByteArray ours = "--enable-pepper-testing --ppapi-flash-path=" + plugin.toLocal8Bit()
        + " --autoplay-policy=no-user-gesture-required";
    // V8 takes the last --js-flags only: a user's own choice stands alone.
    if (!flags.contains("--js-flags"))
        ours += QByteArray(" ") + v8Flags;
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
