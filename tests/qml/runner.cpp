// Qt Quick Test runner for the UI documents: the same native types, context
// properties and compiled-in resources as the player, with the web engine.
#include "gameschemehandler.h"
#include "hostsetup.h"
#include "maintenance.h"
#include "rawnames.h"
#include "rendererchoice.h"
#include "testhost.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>
#include <QtWebEngine>

class Setup : public QObject
{
    Q_OBJECT

public:
    Setup()
        : m_gameFiles(QStringLiteral(VORLUMEN_BUILD_DIR) + QLatin1String("/flash"),
                      []() { return RendererChoice::settingsScript("", false); })
    {
        connect(&m_maintenance, &Maintenance::gameFileChosen, &m_gameFiles,
                &GameSchemeHandler::setGameFile);
    }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // Not before: the test library writes the environment on its way
        // here, and the profile starts the web engine's GPU thread, whose
        // GL driver reads the environment meanwhile (a segmentation fault in
        // getenv now and then). The player writes it before anything starts.
        if (!m_profileReady) {
            m_gameFiles.installOnDefaultProfile();
            m_profileReady = true;
        }
        host::registerNativeTypes();
        m_maintenance.setDatabaseFolder(engine->offlineStoragePath()
                                        + QStringLiteral("/Databases"));
        host::setContextProperties(engine->rootContext(), &m_maintenance, host::commandLineFrom({}),
                                   QStringLiteral(VORLUMEN_BUILD_DIR));
        engine->rootContext()->setContextProperty(QStringLiteral("testHost"),
                                                  new TestHost(engine, engine));
    }

private:
    GameSchemeHandler m_gameFiles;
    Maintenance m_maintenance;
    bool m_profileReady = false;
};

int main(int argc, char **argv)
{
#ifdef Q_OS_LINUX
    // As the player reads file names: every byte of a name kept.
    rawnames::installAsLocaleCodec();
#endif
    host::prepareEnvironment();
    // Drawn through OpenGL, with WebGL offered, as the player does for a
    // game that needs it.
    host::prepareDrawing(QStringLiteral(VORLUMEN_BUILD_DIR), host::Drawing::WebGL);
    GameSchemeHandler::registerScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
    QtWebEngine::initialize();
    QGuiApplication application(argc, argv);
    host::setApplicationInfo();
    Setup setup;
    return quick_test_main_with_setup(argc, argv, "vorlumen_qml", VORLUMEN_QML_TEST_DIR, &setup);
}

#include "runner.moc"
