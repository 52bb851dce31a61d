#include "gameschemehandler.h"

#include "gamefiles.h"
#include "internetgame.h"
#include "localnetwork.h"
#include "saveroute.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QQuickWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <cstdio>

namespace {

// Generated, not a file: tells the page what the start-up options chose.
const QString settingsPath = QStringLiteral("/flash/player-settings.js");
const QString gamePagePath = QStringLiteral("/flash/flash.html");

QByteArray rendererName(host::Renderer renderer)
{
    switch (renderer) {
    case host::Renderer::WebGL:
        return "webgl";
    case host::Renderer::Canvas:
        return "canvas";
    case host::Renderer::Auto:
        break;
    }
    return "";
}

} // namespace

void GameSchemeHandler::registerScheme()
{
    QWebEngineUrlScheme scheme(gamefiles::kScheme);
    // A host, so that the origin (and with it local storage) is an ordinary
    // one. LocalScheme would make the engine refuse to load the page.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

GameSchemeHandler::GameSchemeHandler(const QString &pageFolder, host::Renderer renderer,
                                     QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_pageFolder(pageFolder)
    , m_renderer(renderer)
{
    // The window says what failed, on stderr and on screen.
    connect(&m_internet, &InternetFetch::movieFailed, this, &GameSchemeHandler::internetGameFailed);
}

void GameSchemeHandler::installOnDefaultProfile()
{
    QQuickWebEngineProfile::defaultProfile()->installUrlSchemeHandler(gamefiles::kScheme, this);
}

void GameSchemeHandler::setGameFile(const QString &path)
{
    m_gameUrl = internetgame::isInternetAddress(path) ? QUrl(path.trimmed()) : QUrl();
    m_gameFolder
        = path.isEmpty() || !m_gameUrl.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

void GameSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    if (job->requestMethod() != "GET"
        || !gamefiles::mayRequest(job->initiator(), job->requestUrl())) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QUrl url = job->requestUrl();
    if (m_saveRoute && SaveRoute::isSaveAddress(url) && gamefiles::isPlayerPage(url)) {
        m_saveRoute->serve(job);
        return;
    }
    // An internet game's page moves to its site's box before it loads.
    if (url.host() == QLatin1String(gamefiles::kHost) && url.path() == gamePagePath) {
        const QUrl internetGame = internetgame::internetGameOfPage(url);
        if (internetGame.isValid()) {
            QUrl boxed = url;
            boxed.setHost(internetgame::siteBoxOf(internetGame));
            job->redirect(boxed);
            return;
        }
    }
    if (url.path() == settingsPath && gamefiles::isPlayerPage(url)) {
        serveSettings(job);
        return;
    }
    if (job->requestUrl().path().startsWith(QLatin1String("/net/"))) {
        serveFromGameSite(job);
        return;
    }
    const gamefiles::Resolution found
        = gamefiles::resolve(job->requestUrl(), m_pageFolder, m_gameFolder);
    if (found.verdict == gamefiles::Verdict::Missing) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto *file = new QFile(found.filePath, job);
    if (found.verdict != gamefiles::Verdict::Serve || !file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // Any movie, the game's own or one it loads, is bounded once inflated.
    const QString problem = gamefiles::inflationProblem(file);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "vorlumen: %s: %s\n", qPrintable(found.filePath), qPrintable(problem));
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    job->reply(gamefiles::contentTypeFor(found.filePath), file);
}

void GameSchemeHandler::serveSettings(QWebEngineUrlRequestJob *job)
{
    auto *buffer = new QBuffer(job);
    buffer->setData("var playerRenderer = \"" + rendererName(m_renderer) + "\";\n");
    buffer->open(QIODevice::ReadOnly);
    job->reply("text/javascript", buffer);
}

void GameSchemeHandler::serveFromGameSite(QWebEngineUrlRequestJob *job)
{
    const QUrl target = internetgame::internetUrlOf(job->requestUrl());
    if (!m_gameUrl.isValid() || job->requestUrl().host() != internetgame::siteBoxOf(m_gameUrl)
        || !internetgame::isOnGameSite(m_gameUrl, target)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    if (!localnetwork::mayReach(target, m_trustedSite)) {
        if (target == m_gameUrl)
            emit internetGameFailed(QStringLiteral("an address of this machine or its network"));
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    m_internet.start(job, target, m_gameUrl);
}
