// Qt Quick Test runner for the UI documents: the player's host (playerhost.h)
// and compiled-in resources, with the web engine.
#include "hostsetup.h"
#include "playerhost.h"
#include "rendererchoice.h"
#include "testhost.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

class Setup : public QObject
{
    Q_OBJECT

public:
    // The page chooses Ruffle's renderer, as in a player drawing through
    // OpenGL; no command line until a test gives one.
    Setup()
        : m_host(QStringLiteral(VORLUMEN_BUILD_DIR), {},
                 []() { return RendererChoice::settingsScript("", false); })
    {
    }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // Not before: the test library writes the environment on its way
        // here, and the profile starts the web engine's GPU thread, whose
        // GL driver reads the environment meanwhile (a segmentation fault in
        // getenv now and then). The player writes it before anything starts.
        if (!m_profileReady) {
            m_host.installOnDefaultProfile();
            m_profileReady = true;
        }
        m_host.publishTo(engine);
        engine->rootContext()->setContextProperty(QStringLiteral("testHost"),
                                                  new TestHost(engine, &m_host, engine));
    }

private:
    PlayerHost m_host;
    bool m_profileReady = false;
};

int main(int argc, char **argv)
{
    host::prepareProcess();
    // Drawn through OpenGL, with WebGL offered, as the player does for a
    // game that needs it.
    host::prepareDrawing(QStringLiteral(VORLUMEN_BUILD_DIR), host::Drawing::WebGL);
    QGuiApplication application(argc, argv);
    host::prepareApplication();
    Setup setup;
    return quick_test_main_with_setup(argc, argv, "vorlumen_qml", VORLUMEN_QML_TEST_DIR, &setup);
}

#include "runner.moc"
