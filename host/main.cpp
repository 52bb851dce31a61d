#include "gameschemehandler.h"
#include "gracefulstop.h"
#include "hostsetup.h"
#include "internetflash.h"
#include "localnetwork.h"
#include "maintenance.h"
#include "networkguard.h"
#include "rawnames.h"
#include "saveroute.h"
#include "savestore.h"

#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QtWebEngine>

#include <cstdio>
#include <memory>

// The renderer must be known before the web engine starts, long before the
// window reads its options.
static host::Renderer rendererAskedFor(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
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

int main(int argc, char *argv[])
{
    GracefulStop::installHandlers();
#ifdef Q_OS_LINUX
    rawnames::installAsLocaleCodec();
#endif
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_DisableWindowContextHelpButton, true);
    const QString applicationDir = host::executableDir(argv[0]);
    const host::Renderer renderer = rendererAskedFor(argc, argv);
    host::prepareEnvironment(applicationDir, renderer);
    GameSchemeHandler::registerScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
    QtWebEngine::initialize();

    QGuiApplication application(argc, argv);
    application.setWindowIcon(QIcon(QStringLiteral(":/icon_Vorlumen.ico")));
    host::setApplicationInfo();
    host::registerNativeTypes();

    // Made before the scheme's handler, so that it never outlives them.
    SaveStore saves;
    SaveRoute saveRoute(&saves);
    GameSchemeHandler gameFiles(applicationDir + QLatin1String("/flash"), renderer);
    gameFiles.setSaveRoute(&saveRoute);
    gameFiles.installOnDefaultProfile();
    // A front-end's own -source: may name a game server on the cabinet's
    // network; nothing else the engine loads may reach it.
    const QStringList sources
        = host::optionValues(QCoreApplication::arguments().mid(1), QStringLiteral("-source:"));
    const QUrl trustedSite
        = sources.isEmpty() ? QUrl() : localnetwork::trustedSiteOf(sources.constLast());
    gameFiles.setTrustedSite(trustedSite);
    NetworkGuard networkGuard(trustedSite);
    networkGuard.installOnDefaultProfile();
    if (!internetflash::installOnDefaultProfile(applicationDir + QLatin1String("/flash")))
        std::fprintf(stderr, "Flash in internet pages is off: the game page's files are missing\n");
    auto maintenance = std::make_unique<Maintenance>();
    QObject::connect(maintenance.get(), &Maintenance::gameFileChosen, &saves,
                     &SaveStore::setGameFile);
    QObject::connect(maintenance.get(), &Maintenance::gameFileChosen, &saveRoute,
                     &SaveRoute::setGameFile);
    QObject::connect(maintenance.get(), &Maintenance::gameFileChosen, &gameFiles,
                     &GameSchemeHandler::setGameFile);
    QObject::connect(&gameFiles, &GameSchemeHandler::internetGameFailed, maintenance.get(),
                     &Maintenance::internetGameFailed);
    auto engine = std::make_unique<QQmlApplicationEngine>();
    maintenance->setDatabaseFolder(engine->offlineStoragePath() + QStringLiteral("/Databases"));
    const QStringList commandLine = host::commandLineFrom(QCoreApplication::arguments());
    host::setContextProperties(engine->rootContext(), maintenance.get(), commandLine,
                               QCoreApplication::applicationDirPath());
    // The window ends each game through it: its last writes, waited for.
    engine->rootContext()->setContextProperty(QStringLiteral("saves"), &saves);

    // Before the window loads: a stop during start-up (a long size probe, the
    // file-not-found dialog) still ends the player the orderly way.
    GracefulStop gracefulStop;
    QObject::connect(&gracefulStop, &GracefulStop::stopRequested, [&engine]() {
        // Closing the window runs its closing handler, which saves and quits.
        const auto roots = engine->rootObjects();
        for (QObject *root : roots) {
            if (auto *window = qobject_cast<QQuickWindow *>(root))
                window->close();
        }
    });
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
    maintenance.reset();
    return result;
}
