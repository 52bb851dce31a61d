#include "internetgame.h"

#include <QCryptographicHash>

namespace internetgame {

namespace {

const QString netPrefix = QStringLiteral("/net/");

bool isHttp(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

int effectivePort(const QUrl &url)
{
    return url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
}

} // namespace

bool isInternetAddress(const QString &source)
{
    const QUrl url(source.trimmed());
    return url.isValid() && isHttp(url.scheme().toLower()) && !url.host().isEmpty();
}

QUrl internetUrlOf(const QUrl &playerUrl)
{
    // Encoded, so that the movie's own escapes reach its server unchanged.
    const QString path = playerUrl.path(QUrl::FullyEncoded);
    if (!path.startsWith(netPrefix))
        return QUrl();
    const int schemeEnd = path.indexOf(QLatin1Char('/'), netPrefix.size());
    if (schemeEnd < 0)
        return QUrl();
    const QString scheme = path.mid(netPrefix.size(), schemeEnd - netPrefix.size());
    const int hostEnd = path.indexOf(QLatin1Char('/'), schemeEnd + 1);
    const QString authority = path.mid(schemeEnd + 1, hostEnd < 0 ? -1 : hostEnd - schemeEnd - 1);
    if (!isHttp(scheme) || authority.isEmpty() || authority.contains(QLatin1Char('@')))
        return QUrl();
    QString text = scheme + QLatin1String("://") + authority
        + (hostEnd < 0 ? QStringLiteral("/") : path.mid(hostEnd));
    if (playerUrl.hasQuery())
        text += QLatin1Char('?') + playerUrl.query(QUrl::FullyEncoded);
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty() ? url : QUrl();
}

bool isOnGameSite(const QUrl &gameUrl, const QUrl &target)
{
    return target.isValid() && gameUrl.isValid() && isHttp(target.scheme())
        && target.userInfo().isEmpty() && target.scheme() == gameUrl.scheme()
        && target.host().compare(gameUrl.host(), Qt::CaseInsensitive) == 0
        && effectivePort(target) == effectivePort(gameUrl);
}

QByteArray bareContentType(const QByteArray &header)
{
    const int end = header.indexOf(';');
    return header.left(end < 0 ? header.size() : end).trimmed().toLower();
}

QString siteBoxOf(const QUrl &gameUrl)
{
    const QString site = gameUrl.scheme().toLower() + QLatin1String("://")
        + gameUrl.host().toLower() + QLatin1Char(':') + QString::number(effectivePort(gameUrl));
    const QByteArray hash = QCryptographicHash::hash(site.toUtf8(), QCryptographicHash::Sha256);
    return QLatin1String("site-") + QString::fromLatin1(hash.toHex().left(32));
}

QUrl internetGameOfPage(const QUrl &pageUrl)
{
    const QString query = pageUrl.query(QUrl::FullyDecoded);
    int at = query.startsWith(QLatin1String("jeu=")) ? 0 : query.indexOf(QLatin1String("&jeu="));
    if (at < 0)
        return QUrl();
    QString value = query.mid(at + (at == 0 ? 4 : 5));
    // The two sizes follow the path's last two "=".
    for (int size = 0; size < 2; ++size) {
        const int end = value.lastIndexOf(QLatin1Char('='));
        if (end < 0)
            return QUrl();
        value.truncate(end);
    }
    return isInternetAddress(value) ? QUrl(value.trimmed()) : QUrl();
}

QByteArray dataContentType(const QByteArray &bareType)
{
    static const char *const dataTypes[] = {
        "application/x-shockwave-flash",
        "application/octet-stream",
        "application/json",
        "text/plain",
        "image/png",
        "image/jpeg",
        "image/gif",
        "image/webp",
        "audio/mpeg",
        "audio/wav",
        "audio/ogg",
        "video/mp4",
        "video/x-flv",
    };
    for (const char *type : dataTypes) {
        if (bareType == type)
            return bareType;
    }
    // XML is data to a movie, but a document to the engine.
    if (bareType == "text/xml" || bareType == "application/xml")
        return "text/plain";
    return "application/octet-stream";
}

int stallTimeoutMs()
{
    bool ok = false;
    const int asked = qEnvironmentVariableIntValue("VORLUMEN_STALL_TIMEOUT_MS", &ok);
    return ok && asked > 0 && asked < kStallTimeoutMs ? asked : kStallTimeoutMs;
}

} // namespace internetgame
