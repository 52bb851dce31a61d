#include "gracefulstop.h"
#include "hostsetup.h"
#include "playerhost.h"
#include "rendererchoice.h"

#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

static QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The renderer must be known before the web engine starts, long before the
// window reads its options.
static host::Renderer rendererAskedFor(const QStringList &arguments)
{
    QString warning;
    const host::Renderer renderer = host::rendererFromArguments(arguments, &warning);
    if (!warning.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(warning));
    return renderer;
}

#ifdef Q_OS_LINUX
// Loading the web engine's libraries and running their initialisers takes a
// good tenth of a second before main: the stop signals are caught before
// any of it, as soon as the program's own code may run.
static void catchStopSignalsFirst(int, char **, char **)
{
    GracefulStop::installHandlers();
}
__attribute__((section(".preinit_array"),
               used)) static void (*const catchStopSignalsEarly)(int, char **, char **)
    = catchStopSignalsFirst;
#endif

// The player's whole life, from the application object to its end; a game
// that needs WebGL may ask for a restart on the way.
static int play(int argc, char *argv[], RendererChoice::Restart *restart)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_DisableWindowContextHelpButton, true);
    // First: the file-name codec decodes the arguments.
    host::prepareProcess();
    const QString applicationDir = host::executableDir(argv[0]);
    const QStringList arguments = argumentsOf(argc, argv);

    QGuiApplication application(argc, argv);
    application.setWindowIcon(QIcon(QStringLiteral(":/icon_Vorlumen.ico")));
    host::prepareApplication();

    // Before the web engine starts: its flags and the scene graph follow.
    RendererChoice rendererChoice(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
            + QLatin1String("/webgl-games"),
        rendererAskedFor(arguments), arguments);
    host::prepareDrawing(applicationDir, rendererChoice.drawing());
    PlayerHost host(applicationDir, arguments,
                    [&rendererChoice]() { return rendererChoice.pageSettings(); });
    host.installOnDefaultProfile();
    host.follow(&rendererChoice);
    auto engine = std::make_unique<QQmlApplicationEngine>();
    host.publishTo(engine.get());

    // Before the window loads: a stop during start-up (a long size probe, the
    // file-not-found dialog) still ends the player the orderly way.
    GracefulStop gracefulStop;
    const auto closeWindows = [&engine]() {
        // Closing the window runs its closing handler, which saves and quits.
        const auto roots = engine->rootObjects();
        for (QObject *root : roots) {
            if (auto *window = qobject_cast<QQuickWindow *>(root))
                window->close();
        }
    };
    QObject::connect(&gracefulStop, &GracefulStop::stopRequested, closeWindows);
    QObject::connect(&rendererChoice, &RendererChoice::restartRequested, closeWindows);
    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     []() { GracefulStop::armQuitDeadline(); });

    // Stopped while the engine started: leave before the window reads or
    // writes any setting.
    if (GracefulStop::isRequested())
        return 0;
    engine->load(QUrl(QStringLiteral("qrc:/main")));
    if (engine->rootObjects().isEmpty())
        return -1;

    const int result = application.exec();
    engine.reset();
    if (rendererChoice.restartPending())
        *restart = rendererChoice.restartRequest();
    return result;
}

int main(int argc, char *argv[])
{
    GracefulStop::installHandlers();
    RendererChoice::Restart restart;
    const int result = play(argc, argv, &restart);
    // Once the web engine and its processes are gone; a stop that came
    // meanwhile wins.
    if (!restart.program.isEmpty() && !GracefulStop::isRequested())
        RendererChoice::startAgain(restart, argv);
    return result;
}
