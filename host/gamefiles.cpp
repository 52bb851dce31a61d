#include "gamefiles.h"

#include "rawnames.h"
#include "swfheader.h"

#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <QUrl>

namespace gamefiles {

namespace {

const QString pagePrefix = QStringLiteral("/flash/");
const QString gamePrefix = QStringLiteral("/game/");
const QString rufflePrefix = QStringLiteral("/flash/ruffle/");

// "." and ".." segments are refused rather than resolved: no legitimate
// request needs them once the engine has normalised the address, and a
// percent-encoded one ("%2e%2e") only shows up after decoding.
bool hasDotSegment(const QString &path)
{
    const auto segments = path.split(QLatin1Char('/'));
    for (const QString &segment : segments) {
        if (segment == QLatin1String(".") || segment == QLatin1String(".."))
            return true;
    }
    return false;
}

// The local path a decoded URL path names, with the folder it must stay in.
bool mapPath(const QString &urlPath, const QString &pageFolder, const QString &gameFolder,
             QString *filePath, QString *folder)
{
    if (urlPath.startsWith(pagePrefix)) {
        *folder = pageFolder;
        *filePath = pageFolder + QLatin1Char('/') + urlPath.mid(pagePrefix.size());
        return true;
    }
    if (urlPath.startsWith(gamePrefix)) {
        *folder = gameFolder;
        QString path = urlPath.mid(gamePrefix.size() - 1); // keeps the leading "/"
        // A Windows drive path comes as /C:/x.
        if (path.size() > 2 && path.at(2) == QLatin1Char(':'))
            path.remove(0, 1);
        *filePath = path;
        return true;
    }
    return false;
}

// The same address on the fixed host.
QUrl playerUrl(QUrl url)
{
    url.setHost(QLatin1String(kHost));
    return url;
}

// For a file that does not exist: whether its nearest existing parent lies
// inside the folder, so that "missing" tells nothing about other folders.
bool missingInside(const QString &filePath, const QString &canonicalFolder)
{
    QFileInfo parent(QFileInfo(filePath).absolutePath());
    while (!parent.exists() && !parent.isRoot())
        parent = QFileInfo(parent.absolutePath());
    const QString canonicalParent = parent.canonicalFilePath();
    return canonicalParent == canonicalFolder || isInside(canonicalParent, canonicalFolder);
}

} // namespace

bool isInside(const QString &canonicalPath, const QString &canonicalFolder)
{
    const QString withSlash = canonicalFolder.endsWith(QLatin1Char('/'))
        ? canonicalFolder
        : canonicalFolder + QLatin1Char('/');
    return canonicalPath.startsWith(withSlash) && canonicalPath.size() > withSlash.size();
}

Resolution resolve(const QUrl &url, const QString &pageFolder, const QString &gameFolder)
{
    if (!url.isValid() || url.scheme() != QLatin1String(kScheme) || url.port() != -1
        || !url.userInfo().isEmpty())
        return {};
    // A site's box has the page and Ruffle, never a local game's files.
    if (isSiteBox(url.host()))
        return resolve(playerUrl(url), pageFolder, QString());
    if (url.host() != QLatin1String(kHost))
        return {};
    // Decoded byte for byte: "%FF" is a byte of a name that is not UTF-8.
    const QString urlPath = rawnames::fromBytes(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    if (hasDotSegment(urlPath) || urlPath.contains(QChar(0)) || urlPath.contains(QLatin1Char('\\')))
        return {};
    QString filePath;
    QString folder;
    if (!mapPath(urlPath, pageFolder, gameFolder, &filePath, &folder) || folder.isEmpty())
        return {};
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    if (canonicalFolder.isEmpty())
        return {};
    const QFileInfo file(filePath);
    if (!file.exists() && !file.isSymLink()) {
        if (missingInside(filePath, canonicalFolder))
            return {Verdict::Missing, QString()};
        return {};
    }
    // Symbolic links are followed to their target, which must stay inside.
    const QString canonicalFile = file.canonicalFilePath();
    if (canonicalFile.isEmpty() || !isInside(canonicalFile, canonicalFolder))
        return {};
    const QFileInfo target(canonicalFile);
    if (!target.isFile() || !target.isReadable() || target.size() > kMaxGameFileBytes)
        return {};
    return {Verdict::Serve, canonicalFile};
}

bool isSiteBox(const QString &host)
{
    static const QRegularExpression box(QStringLiteral("^site-[0-9a-f]{32}$"));
    return box.match(host).hasMatch();
}

bool isPlayerPage(const QUrl &url)
{
    return url.scheme() == QLatin1String(kScheme) && url.port() == -1
        && (url.host() == QLatin1String(kHost) || isSiteBox(url.host()));
}

bool mayLeavePage(const QUrl &firstParty, const QUrl &initiator, const QUrl &request, bool isFrame)
{
    if (isFrame)
        return !isPlayerPage(initiator);
    if (!isPlayerPage(firstParty) && !isPlayerPage(initiator))
        return true;
    const QString scheme = request.scheme();
    return scheme == QLatin1String(kScheme) || scheme == QLatin1String("data")
        || scheme == QLatin1String("blob");
}

bool mayRequest(const QUrl &initiator, const QUrl &url)
{
    if (initiator.isEmpty())
        return true;
    const QString scheme = initiator.scheme();
    if (scheme == QLatin1String(kScheme))
        return isPlayerPage(initiator) && url.host() == initiator.host();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false;
    // Decoded, so that "%2e%2e" cannot climb out; resolve() refuses dot
    // segments as well.
    const QString path = url.path(QUrl::FullyDecoded);
    return url.scheme() == QLatin1String(kScheme) && url.host() == QLatin1String(kHost)
        && path.startsWith(rufflePrefix) && !hasDotSegment(path);
}

QString gameUrlPrefix()
{
    return QLatin1String(kScheme) + QLatin1String("://") + QLatin1String(kHost) + gamePrefix;
}

// Bare types: the engine takes "text/html; charset=..." for something else
// than a page and shows its source.
QByteArray contentTypeFor(const QString &fileName)
{
    static const struct
    {
        const char *suffix;
        const char *type;
    } types[] = {
        {"swf", "application/x-shockwave-flash"},
        {"wasm", "application/wasm"},
        {"js", "text/javascript"},
        {"html", "text/html"},
        {"htm", "text/html"},
        {"css", "text/css"},
        {"json", "application/json"},
        {"xml", "text/xml"},
        {"txt", "text/plain"},
        {"png", "image/png"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"gif", "image/gif"},
        {"mp3", "audio/mpeg"},
        {"wav", "audio/wav"},
        {"ogg", "audio/ogg"},
        {"flv", "video/x-flv"},
        {"mp4", "video/mp4"},
    };
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const auto &entry : types) {
        if (suffix == QLatin1String(entry.suffix))
            return entry.type;
    }
    return "application/octet-stream";
}

bool looksLikeSwf(const QByteArray &head)
{
    return head.startsWith("FWS") || head.startsWith("CWS") || head.startsWith("ZWS");
}

namespace {

QString describe(const swfheader::InflatedLength &length)
{
    if (!length.ok() || length.within(kMaxGameFileBytes))
        return QString();
    const uint64_t megabyte = 1024 * 1024;
    if (length.declared > uint64_t(kMaxGameFileBytes))
        return QStringLiteral("declares %1 MiB once inflated, more than %2 MiB")
            .arg(length.declared / megabyte)
            .arg(kMaxGameFileBytes >> 20);
    return QStringLiteral("inflates to more than %1 MiB").arg(kMaxGameFileBytes >> 20);
}

} // namespace

QString inflationProblem(QIODevice *movie)
{
    movie->seek(0);
    const auto length = swfheader::measureInflatedLength(
        [movie](uint8_t *buffer, size_t capacity) {
            return long(movie->read(reinterpret_cast<char *>(buffer), qint64(capacity)));
        },
        kMaxGameFileBytes);
    movie->seek(0);
    return describe(length);
}

QString inflationProblem(const QByteArray &movie)
{
    return describe(swfheader::measureInflatedLengthInMemory(
        reinterpret_cast<const uint8_t *>(movie.constData()), size_t(movie.size()),
        kMaxGameFileBytes));
}

} // namespace gamefiles
