#pragma once

#include <QNetworkAccessManager>
#include <QUrl>

class QNetworkReply;
class QWebEngineUrlRequestJob;

// Answers a request of the game page with a file of the internet game's
// site (see internetgame.h): GET only, bounded in size and time, redirects
// only within the site. The download is tied to the request: when the page
// gives up, so does the download.
class InternetFetch : public QObject
{
    Q_OBJECT

public:
    explicit InternetFetch(QObject *parent = nullptr);

    // gameUrl: the movie being played; target: the file asked for, already
    // known to lie on the movie's site.
    void start(QWebEngineUrlRequestJob *job, const QUrl &target, const QUrl &gameUrl);

signals:
    // The movie itself could not be had (the files it loads fail quietly,
    // as they would on a disk).
    void movieFailed(const QString &problem);

private:
    void finish(QWebEngineUrlRequestJob *job, QNetworkReply *reply, bool isMovie);

    QNetworkAccessManager m_network;
};
