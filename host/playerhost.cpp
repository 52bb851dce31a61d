#include "playerhost.h"

#include "hostsetup.h"
#include "internetflash.h"
#include "localnetwork.h"
#include "rawnames.h"
#include "rendererchoice.h"
#include "startoptions.h"

#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>
#include <QtWebEngine>

#include <cstdio>

namespace host {

void prepareProcess()
{
#ifdef Q_OS_LINUX
    // File names as the system gives them: every byte of a name kept.
    rawnames::installAsLocaleCodec();
#endif
    prepareEnvironment();
    GameSchemeHandler::registerScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
    QtWebEngine::initialize();
}

void prepareApplication()
{
    setApplicationInfo();
    registerNativeTypes();
}

} // namespace host

PlayerHost::PlayerHost(const QString &applicationDir, const QStringList &arguments,
                       std::function<QByteArray()> pageSettings)
    : m_applicationDir(applicationDir)
    , m_arguments(arguments)
    , m_trustedSite(localnetwork::trustedSiteOf(host::sourceFromArguments(arguments)))
    , m_saveRoute(&m_saves)
    , m_gameFiles(applicationDir + QLatin1String("/flash"), std::move(pageSettings))
    , m_networkGuard(m_trustedSite)
{
    m_gameFiles.setSaveRoute(&m_saveRoute);
    m_gameFiles.setTrustedSite(m_trustedSite);
    QObject::connect(&m_maintenance, &Maintenance::gameFileChosen, &m_saves,
                     &SaveStore::setGameFile);
    QObject::connect(&m_maintenance, &Maintenance::gameFileChosen, &m_saveRoute,
                     &SaveRoute::setGameFile);
    QObject::connect(&m_maintenance, &Maintenance::gameFileChosen, &m_gameFiles,
                     &GameSchemeHandler::setGameFile);
    QObject::connect(&m_gameFiles, &GameSchemeHandler::internetGameFailed, &m_maintenance,
                     &Maintenance::internetGameFailed);
}

void PlayerHost::installOnDefaultProfile()
{
    m_gameFiles.installOnDefaultProfile();
    m_networkGuard.installOnDefaultProfile();
    if (!internetflash::installOnDefaultProfile(m_applicationDir + QLatin1String("/flash")))
        std::fprintf(stderr, "Flash in internet pages is off: the game page's files are missing\n");
}

void PlayerHost::follow(RendererChoice *rendererChoice)
{
    QObject::connect(&m_maintenance, &Maintenance::gameFileChosen, rendererChoice,
                     &RendererChoice::setGame);
    QObject::connect(&m_maintenance, &Maintenance::gameNeedsWebGl, rendererChoice,
                     &RendererChoice::gameNeedsWebGl);
    QObject::connect(&m_maintenance, &Maintenance::webGlFailed, rendererChoice,
                     &RendererChoice::webGlFailed);
    QObject::connect(&m_maintenance, &Maintenance::webGlPlayed, rendererChoice,
                     &RendererChoice::webGlPlayed);
}

void PlayerHost::publishTo(QQmlEngine *engine)
{
    m_maintenance.setDatabaseFolder(engine->offlineStoragePath() + QStringLiteral("/Databases"));
    m_context = engine->rootContext();
    m_context->setContextProperty(QStringLiteral("maintenance"), &m_maintenance);
    // The window ends each game through it: its last writes, waited for.
    m_context->setContextProperty(QStringLiteral("saves"), &m_saves);
    m_context->setContextProperty(QStringLiteral("applicationDirPath"), m_applicationDir);
    setArguments(m_arguments);
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
        m_context->setContextProperty(QString::fromLatin1(path.name),
                                      QStandardPaths::standardLocations(path.location));
    }
}

void PlayerHost::setArguments(const QStringList &arguments)
{
    m_arguments = arguments;
    if (m_context)
        m_context->setContextProperty(QStringLiteral("startOptions"),
                                      host::startOptions(arguments));
}
