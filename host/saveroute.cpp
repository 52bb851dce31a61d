#include "saveroute.h"

#include "gamefiles.h"
#include "internetgame.h"
#include "savestore.h"

#include <QBuffer>
#include <QUrl>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>

namespace {

const QString routePrefix = QStringLiteral("/saves/");

// A 16 MiB object in parts of about a megabyte of text: the engine takes
// addresses up to 2 MiB.
constexpr int kMaxParts = 64;
constexpr int kMaxPartChars = 1536 * 1024;

} // namespace

SaveRoute::SaveRoute(SaveStore *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
}

bool SaveRoute::isSaveAddress(const QUrl &url)
{
    return url.path().startsWith(routePrefix);
}

void SaveRoute::setGameFile(const QString &game)
{
    m_partial.clear();
    if (game.isEmpty())
        m_pageHost.clear();
    else if (internetgame::isInternetAddress(game))
        m_pageHost = internetgame::siteBoxOf(QUrl(game.trimmed()));
    else
        m_pageHost = QString::fromLatin1(gamefiles::kHost);
}

void SaveRoute::serve(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    const QString action = url.path().mid(routePrefix.size());
    QByteArray answer = "!";
    const QString key = QUrlQuery(url).queryItemValue(QStringLiteral("key"), QUrl::FullyDecoded);
    // Ruffle names an object after the page's host: a key of another is
    // nothing this page may have.
    const bool ownKey = key.startsWith(m_pageHost + QLatin1Char('/'));
    if (m_pageHost.isEmpty() || url.host() != m_pageHost) {
        answer = "!";
    } else if (!ownKey && action != QLatin1String("imported")) {
        answer = "!";
    } else if (action == QLatin1String("read")) {
        QByteArray bytes;
        const SaveStore::Result result = m_store->read(key, &bytes);
        answer = result == SaveStore::Result::Done  ? "+" + bytes.toBase64()
            : result == SaveStore::Result::NotFound ? QByteArray("-")
                                                    : QByteArray("!");
    } else if (action == QLatin1String("write") || action == QLatin1String("import")) {
        answer = writeOrImport(url, action == QLatin1String("import"));
    } else if (action == QLatin1String("remove")) {
        answer = m_store->remove(key) == SaveStore::Result::Done ? "+" : "!";
    } else if (action == QLatin1String("imported")) {
        m_store->closeImports();
        answer = "+";
    }
    auto *buffer = new QBuffer(job);
    buffer->setData(answer);
    buffer->open(QIODevice::ReadOnly);
    job->reply("text/plain", buffer);
}

QByteArray SaveRoute::writeOrImport(const QUrl &url, bool import)
{
    const QUrlQuery query(url);
    const QString key = query.queryItemValue(QStringLiteral("key"), QUrl::FullyDecoded);
    const int part = query.queryItemValue(QStringLiteral("part")).toInt();
    const int parts = query.queryItemValue(QStringLiteral("parts")).toInt();
    const QByteArray data = query.queryItemValue(QStringLiteral("data")).toLatin1();
    if (key.isEmpty() || parts < 1 || parts > kMaxParts || part < 0 || part >= parts
        || data.size() > kMaxPartChars) {
        m_partial.remove(key);
        return "!";
    }
    Partial &partial = m_partial[key];
    if (part == 0)
        partial = Partial {parts, 0, QByteArray()};
    // Parts come one after the other, from the page's one thread.
    if (partial.parts != parts || partial.received != part) {
        m_partial.remove(key);
        return "!";
    }
    partial.text += data;
    if (++partial.received < parts)
        return "+";
    const QByteArray bytes = QByteArray::fromBase64(
        partial.text, QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    m_partial.remove(key);
    const SaveStore::Result result
        = import ? m_store->importFromWebStorage(key, bytes) : m_store->write(key, bytes);
    return result == SaveStore::Result::Done ? "+" : "!";
}
