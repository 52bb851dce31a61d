#pragma once

#include "hostsetup.h"
#include "internetfetch.h"

class SaveRoute;

#include <QWebEngineUrlSchemeHandler>

// Serves the player's own URL scheme (see gamefiles.h) to the game view:
// the game page, Ruffle, and the files of the game being played, read-only.
// Which game that is, only the window says (setGameFile); nothing the page
// or the movie asks for can change it.
class GameSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    // Must run before the application object exists.
    static void registerScheme();

    GameSchemeHandler(const QString &pageFolder, host::Renderer renderer,
                      QObject *parent = nullptr);

    // Serves the scheme to the views of the default profile, the one the
    // game view uses.
    void installOnDefaultProfile();
    // The site the front-end named with -source:, which may be on the local
    // network; no other internet game's site may be.
    void setTrustedSite(const QUrl &site) { m_trustedSite = site; }
    // The page's road to the games' saves (saveroute.h).
    void setSaveRoute(SaveRoute *route) { m_saveRoute = route; }

    void requestStarted(QWebEngineUrlRequestJob *job) override;

signals:
    // An internet game's movie could not be had: a sentence for the user.
    void internetGameFailed(const QString &problem);

public slots:
    // The game now played; its folder is the only one games may read.
    void setGameFile(const QString &path);

private:
    void serveSettings(QWebEngineUrlRequestJob *job);
    void serveFromGameSite(QWebEngineUrlRequestJob *job);

    QString m_pageFolder;
    QString m_gameFolder;
    QUrl m_gameUrl; // an internet game's address; its site is all it may read
    QUrl m_trustedSite;
    InternetFetch m_internet;
    host::Renderer m_renderer;
    SaveRoute *m_saveRoute = nullptr;
};
