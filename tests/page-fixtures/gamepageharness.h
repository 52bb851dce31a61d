// Drives the real game page from flash/ in the build folder inside a real
// web view: navigates with the window's address, collects the page's console
// messages, asks it questions and grabs what it shows.
#pragma once

#include "hostsetup.h"
#include "playerhost.h"
#include "rendererchoice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJSEngine>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace gamepage {

// Each test process gets its own home, so the engine's profile, caches and
// saves never touch the real ones; the web engine also wants a private
// runtime folder.
class IsolatedHome
{
public:
    IsolatedHome()
    {
        const QString root = folder.path();
        const char *names[]
            = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};
        for (const char *name : names) {
            const QString path = root + QLatin1Char('/') + QString::fromLatin1(name).toLower();
            QDir().mkpath(path);
            QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                       | QFileDevice::ExeOwner);
            qputenv(name, QFile::encodeName(path));
        }
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QString path() const { return folder.path(); }

private:
    QTemporaryDir folder;
};

inline QString buildDir()
{
    return QStringLiteral(VORLUMEN_BUILD_DIR);
}

// The window's contract (gamePageAddress in ui/lib/addresses.js): only "%"
// and "#" are escaped in the game's path.
inline QString gamePageAddress(const QString &source, const QString &width, const QString &height)
{
    QString path = source;
    path.replace(QLatin1Char('%'), QLatin1String("%25"));
    path.replace(QLatin1Char('#'), QLatin1String("%23"));
    return QLatin1String("vorlumen://player/flash/flash.html?jeu=") + path + QLatin1Char('=')
        + width + QLatin1Char('=') + height;
}

struct GameSize
{
    int width = -1;
    int height = -1;
};

class GamePageHarness
{
public:
    // The player's host, with no command line. The page chooses Ruffle's
    // renderer, and may move a game to WebGL itself, as in a player that
    // draws through OpenGL.
    explicit GamePageHarness(const QSize &viewSize = QSize(800, 600))
        : host(buildDir(), {}, []() { return RendererChoice::settingsScript("", true); })
    {
        host.installOnDefaultProfile();
        view.setResizeMode(QQuickView::SizeRootObjectToView);
        view.setSource(QUrl::fromLocalFile(QStringLiteral(GAMEPAGE_FIXTURES_DIR)
                                           + QLatin1String("/GamePageScene.qml")));
        root = view.rootObject();
        Q_ASSERT(root);
        consoleSpy = std::make_unique<QSignalSpy>(root, SIGNAL(consoleMessage(QString)));
        answerSpy = std::make_unique<QSignalSpy>(root, SIGNAL(scriptAnswered(int, QVariant)));
        view.resize(viewSize);
        view.show();
        view.requestActivate();
        // Keys reach the game only through the active window.
        if (!QTest::qWaitForWindowActive(&view))
            qWarning("the test view never became active");
    }

    // Starts from a blank page so that nothing of the previous game can
    // speak after the new address is set. The save folder must be given
    // before the profile's first page: the engine fixes where local storage
    // lives when the profile is first used. The saves go there too, as with
    // -savedataflash:.
    void navigate(const QString &address, const QString &saveFolder = QString())
    {
        if (!saveFolder.isEmpty())
            host.saves().setFolder(saveFolder);
        QMetaObject::invokeMethod(root, "load", Q_ARG(QVariant, QStringLiteral("about:blank")),
                                  Q_ARG(QVariant, saveFolder));
        QTRY_VERIFY_WITH_TIMEOUT(root->property("currentUrl").toString()
                                         == QLatin1String("about:blank")
                                     && !root->property("loading").toBool(),
                                 10000);
        consoleSpy->clear();
        QMetaObject::invokeMethod(root, "load", Q_ARG(QVariant, address),
                                  Q_ARG(QVariant, saveFolder));
    }

    // What the window does to play a game: name it to the host, then show
    // the game page for it.
    void play(const QString &source, const QString &width, const QString &height,
              const QString &saveFolder = QString())
    {
        host.maintenance().setGameFile(source);
        navigate(gamePageAddress(source, width, height), saveFolder);
    }

    QStringList messages() const
    {
        QStringList list;
        for (const auto &arguments : *consoleSpy)
            list << arguments.at(0).toString();
        return list;
    }

    int reportCount() const { return messages().filter(reportPattern()).size(); }

    // The size of the latest report, read from the message itself.
    GameSize lastReportedSize() const
    {
        GameSize size;
        const QStringList reports = messages().filter(reportPattern());
        if (!reports.isEmpty()) {
            const auto match = reportPattern().match(reports.last());
            size.width = match.captured(1).toInt();
            size.height = match.captured(2).toInt();
        }
        return size;
    }

    bool waitForReports(int count, int timeoutMs = 30000)
    {
        QElapsedTimer timer;
        timer.start();
        while (reportCount() < count && timer.elapsed() < timeoutMs)
            consoleSpy->wait(200);
        return reportCount() >= count;
    }

    // The page's answer to a script, or an invalid QVariant if none came.
    QVariant evaluate(const QString &script, int timeoutMs = 10000)
    {
        QVariant ticket;
        QMetaObject::invokeMethod(root, "evaluate", Q_RETURN_ARG(QVariant, ticket),
                                  Q_ARG(QVariant, script));
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            for (const auto &arguments : *answerSpy) {
                if (arguments.at(0).toInt() == ticket.toInt())
                    return arguments.at(1);
            }
            answerSpy->wait(100);
        }
        return QVariant();
    }

    GameSize pageGlobals()
    {
        const QVariantList values
            = evaluate(QStringLiteral("[typeof widthPlay === 'number' ? widthPlay : -1,"
                                      " typeof heightPlay === 'number' ? heightPlay : -1]"))
                  .toList();
        GameSize size;
        if (values.size() == 2) {
            size.width = values.at(0).toInt();
            size.height = values.at(1).toInt();
        }
        return size;
    }

    QString ruffleState()
    {
        return evaluate(QStringLiteral(
                            "(function () { var p = document.getElementById('player');"
                            " if (!p) return 'none';"
                            " if (p.shadowRoot && p.shadowRoot.getElementById('panic'))"
                            "   return 'error';"
                            " var r = p.ruffle(); return r.metadata ? 'playing' : 'loading'; })()"))
            .toString();
    }

    // Polls the page until Ruffle is in the state wanted; gives the last
    // state seen.
    QString waitForRuffleState(const QString &wanted, int timeoutMs = 30000)
    {
        QElapsedTimer timer;
        timer.start();
        QString state = ruffleState();
        while (state != wanted && timer.elapsed() < timeoutMs) {
            QTest::qWait(100);
            state = ruffleState();
        }
        return state;
    }

    QImage grab() { return view.grabWindow(); }

    // The prefix as the page itself declares it (frame.js).
    static QString reportPrefix()
    {
        QFile file(buildDir() + QStringLiteral("/flash/frame.js"));
        QJSEngine engine;
        if (file.open(QIODevice::ReadOnly))
            engine.evaluate(QString::fromUtf8(file.readAll()));
        return engine.globalObject().property(QStringLiteral("SIZE_REPORT_PREFIX")).toString();
    }

    static const QRegularExpression &reportPattern()
    {
        static const QRegularExpression pattern(QLatin1Char('^')
                                                + QRegularExpression::escape(reportPrefix())
                                                + QStringLiteral("(\\d+)x(\\d+)$"));
        return pattern;
    }

    PlayerHost host;
    QQuickView view;
    QQuickItem *root = nullptr;
    std::unique_ptr<QSignalSpy> consoleSpy;
    std::unique_ptr<QSignalSpy> answerSpy;
};

} // namespace gamepage

namespace gamepage {

// A web test's process: its home isolated, then the player's steps around
// the application object (playerhost.h), drawn through OpenGL with WebGL
// offered.
class TestProcess
{
public:
    TestProcess(int &argc, char **argv)
        : application(argc, argv)
    {
        host::prepareApplication();
    }

private:
    struct BeforeApplication
    {
        BeforeApplication()
        {
            host::prepareProcess();
            host::prepareDrawing(buildDir(), host::Drawing::WebGL);
        }
    };
    IsolatedHome home;
    BeforeApplication steps;
    QGuiApplication application;
};

} // namespace gamepage

#define GAMEPAGE_TEST_MAIN(TestClass)                                                              \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        gamepage::TestProcess process(argc, argv);                                                 \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
