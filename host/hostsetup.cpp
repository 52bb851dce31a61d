#include "hostsetup.h"

#include "drivesclass.h"
#include "gamepads.h"
#include "process.h"
#include "startoptions.h"

#include <QDir>
#include <QFileInfo>
#include <QQuickWindow>
#include <QtQml>

namespace host {

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

Renderer rendererFromArguments(const QStringList &arguments, QString *warning)
{
    Renderer renderer = Renderer::Auto;
    const QStringList values = optionValues(arguments, QStringLiteral("renderer"));
    for (const QString &value : values) {
        const QString name = value.trimmed().toLower();
        if (name == QLatin1String("auto"))
            renderer = Renderer::Auto;
        else if (name == QLatin1String("webgl"))
            renderer = Renderer::WebGL;
        else if (name == QLatin1String("canvas"))
            renderer = Renderer::Canvas;
        else if (warning)
            *warning = QStringLiteral("vorlumen: unknown renderer \"%1\" ignored"
                                      " (auto, webgl or canvas)")
                           .arg(value);
    }
    return renderer;
}

QString sourceFromArguments(const QStringList &arguments)
{
    const QStringList sources = optionValues(arguments, QStringLiteral("source"));
    return sources.isEmpty() ? QString() : sources.constLast();
}

Drawing drawingFor(Renderer renderer, bool gameNeedsWebGl)
{
    if (renderer == Renderer::WebGL || (renderer == Renderer::Auto && gameNeedsWebGl))
        return Drawing::WebGL;
    return Drawing::Software;
}

QByteArray chromiumFlags(const QByteArray &existing, const QString &applicationDir, Drawing drawing)
{
    QByteArray flags = existing.trimmed();
    const QString plugin = QDir(applicationDir).filePath(flashPluginName());
    QByteArray ours = "--enable-pepper-testing --ppapi-flash-path=" + plugin.toLocal8Bit()
        + " --autoplay-policy=no-user-gesture-required";
    // The block list refuses WebGL under software GL (Xvfb, many cabinets),
    // yet games that draw into bitmaps or use Stage3D need it.
    if (drawing == Drawing::WebGL)
        ours += " --ignore-gpu-blocklist";
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

void prepareEnvironment()
{
    qputenv("QML_DISABLE_DISK_CACHE", "true");
    // The window reads the size-probe file with XMLHttpRequest.
    qputenv("QML_XHR_ALLOW_FILE_READ", "1");
}

void prepareDrawing(const QString &applicationDir, Drawing drawing)
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            chromiumFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), applicationDir, drawing));
    // The web engine follows the scene graph: with the software one it
    // composites in software too. A backend the user set stands.
    if (drawing == Drawing::Software && qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")
        && qEnvironmentVariableIsEmpty("QMLSCENE_DEVICE"))
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
}

void setApplicationInfo()
{
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLUMEN_VERSION));
}

void registerNativeTypes()
{
    qmlRegisterType<DrivesClass>("DrivesClass", 1, 0, "DrivesClass");
    qmlRegisterType<Process>("Process", 1, 0, "Process");
    qmlRegisterType<Gamepads>("Gamepads", 1, 0, "Gamepads");
}

} // namespace host
