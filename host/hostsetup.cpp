#include "hostsetup.h"

#include "drivesclass.h"
#include "gamepads.h"
#include "process.h"

#include <QDir>
#include <QFileInfo>
#include <QQmlContext>
#include <QQuickWindow>
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

static bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// The argument without the quotes a front-end may have left around it: an
// opening quote, and its closing partner when there is one.
static QString unquoted(const QString &argument)
{
    if (argument.isEmpty() || !isQuote(argument.at(0)))
        return argument;
    const QChar quote = argument.at(0);
    const bool closed = argument.size() > 1 && argument.endsWith(quote);
    return argument.mid(1, argument.size() - (closed ? 2 : 1));
}

static QString withoutLeadingBlanks(const QString &text)
{
    int start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return text.mid(start);
}

// The argument as the window's option reader sees it (ui/lib/options.js):
// no leading blanks, no opening quote, one dash where two were typed.
static QString optionText(const QString &argument)
{
    const QString text = withoutLeadingBlanks(unquoted(withoutLeadingBlanks(argument)));
    return text.startsWith(QLatin1String("--")) ? text.mid(1) : text;
}

// One pair of matching quotes around a value goes, as in the window.
static QString unquotedValue(const QString &value)
{
    if (value.size() >= 2 && isQuote(value.at(0)) && value.endsWith(value.at(0)))
        return value.mid(1, value.size() - 2);
    return value;
}

// The value of the last argument that starts with the option, or a null
// text when none does.
static QString lastOptionValue(const QStringList &arguments, const QString &option)
{
    const QStringList values = optionValues(arguments, option);
    return values.isEmpty() ? QString() : values.constLast();
}

QStringList optionValues(const QStringList &arguments, const QString &option)
{
    QStringList values;
    for (const QString &argument : arguments) {
        const QString text = optionText(argument);
        if (text.startsWith(option, Qt::CaseInsensitive))
            values << unquotedValue(text.mid(option.size()));
    }
    return values;
}

Renderer rendererFromArguments(const QStringList &arguments, QString *warning)
{
    Renderer renderer = Renderer::Auto;
    const QStringList values = optionValues(arguments, QStringLiteral("-renderer:"));
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
    QString source = lastOptionValue(arguments, QStringLiteral("-source:"));
    return source.replace(QLatin1Char('\\'), QLatin1Char('/'));
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
