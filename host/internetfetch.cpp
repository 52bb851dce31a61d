#include "internetfetch.h"

#include "gamefiles.h"
#include "internetgame.h"

#include <QBuffer>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QWebEngineUrlRequestJob>

namespace {

// Why the player itself ended a download: a clearer word than "canceled".
const char refusalProperty[] = "vorlumenRefusal";

QString problemOf(const QNetworkReply *reply, int status)
{
    const QString refusal = reply->property(refusalProperty).toString();
    if (!refusal.isEmpty())
        return refusal;
    // The transfer timeout cancels the reply, even after a 200 and some bytes.
    if (reply->error() == QNetworkReply::OperationCanceledError
        || reply->error() == QNetworkReply::TimeoutError)
        return QStringLiteral("nothing arrived for %1 s")
            .arg(internetgame::stallTimeoutMs() / 1000.0);
    if (status > 0 && status != 200)
        return QStringLiteral("the server answered %1").arg(status);
    return QStringLiteral("could not be read: ") + reply->errorString();
}

} // namespace

InternetFetch::InternetFetch(QObject *parent)
    : QObject(parent)
{
}

void InternetFetch::start(QWebEngineUrlRequestJob *job, const QUrl &target, const QUrl &gameUrl)
{
    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(internetgame::stallTimeoutMs());
    QNetworkReply *reply = m_network.get(request);
    // A child of the job: a request the page drops takes its download along.
    reply->setParent(job);
    const bool isMovie = target == gameUrl;
    connect(reply, &QNetworkReply::redirected, reply, [reply, gameUrl](const QUrl &to) {
        if (internetgame::isOnGameSite(gameUrl, to)) {
            emit reply->redirectAllowed();
            return;
        }
        reply->setProperty(refusalProperty, QStringLiteral("redirected off its site"));
        reply->abort();
    });
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > internetgame::kMaxBytes || total > internetgame::kMaxBytes) {
            reply->setProperty(refusalProperty, QStringLiteral("larger than 64 MiB"));
            reply->abort();
        }
    });
    QTimer::singleShot(internetgame::kTotalTimeoutMs, reply, [reply]() {
        reply->setProperty(refusalProperty, QStringLiteral("took too long"));
        reply->abort();
    });
    QPointer<QWebEngineUrlRequestJob> guardedJob(job);
    connect(reply, &QNetworkReply::finished, this, [this, guardedJob, reply, isMovie]() {
        if (guardedJob)
            finish(guardedJob, reply, isMovie);
    });
}

void InternetFetch::finish(QWebEngineUrlRequestJob *job, QNetworkReply *reply, bool isMovie)
{
    reply->deleteLater();
    const QUrl url = reply->request().url();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status != 200) {
        if (isMovie)
            emit movieFailed(problemOf(reply, status));
        job->fail(status == 404 ? QWebEngineUrlRequestJob::UrlNotFound
                                : QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    const QByteArray bytes = reply->readAll();
    if (isMovie && !gamefiles::looksLikeSwf(bytes.left(3))) {
        emit movieFailed(QStringLiteral("not a SWF file"));
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    // A movie from the site is bounded once inflated, as a local one is.
    const QString inflation = gamefiles::inflationProblem(bytes);
    if (!inflation.isEmpty()) {
        if (isMovie)
            emit movieFailed(inflation);
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    QByteArray type = internetgame::bareContentType(
        reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    if (isMovie || type.isEmpty())
        type = gamefiles::contentTypeFor(url.path());
    type = internetgame::dataContentType(type);
    auto *buffer = new QBuffer(job);
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    job->reply(type, buffer);
}
