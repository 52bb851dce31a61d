#include "savetree.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace savetree {

namespace {

QStringList nonEmpty(const QStringList &segments)
{
    QStringList kept;
    for (const QString &segment : segments) {
        if (!segment.isEmpty())
            kept << segment;
    }
    return kept;
}

// A name Flash and Ruffle would write, and one that cannot climb out or
// hide: no dot at the start (so no "." or ".."), no NUL, not too long.
bool isFitName(const QString &name, int extraBytes = 0)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QChar(0))
        && QFile::encodeName(name).size() + extraBytes <= kMaxNameBytes;
}

QByteArray decoded(const QString &segment)
{
    return QByteArray::fromPercentEncoding(segment.toUtf8());
}

// The authority of an address as written ("Example.com:8080"): the page
// puts it in the movie's address as it stands.
QString authorityAsWritten(const QString &address)
{
    const int start = address.indexOf(QLatin1String("://")) + 3;
    int end = start;
    while (end < address.size() && !QStringLiteral("/?#").contains(address.at(end)))
        ++end;
    return address.mid(start, end - start);
}

// The segments of the key's path after the movie's route, or false when the
// path lies on another route (another site, another kind of game).
bool pathAfterRoute(const GamePlace &place, const QStringList &path, QList<QByteArray> *rest)
{
    for (int i = 0; i < path.size(); ++i) {
        const QByteArray segment = decoded(path.at(i));
        if (i < place.route.size()) {
            if (QString::fromUtf8(segment).compare(place.route.at(i), Qt::CaseInsensitive) != 0)
                return false;
        } else {
            rest->append(segment);
        }
    }
    return true;
}

} // namespace

GamePlace placeOf(const QString &game)
{
    GamePlace place;
    const QString text = game.trimmed();
    if (text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)) {
        const QUrl url(text);
        place.site = url.host().toLower();
        place.route
            = QStringList {QStringLiteral("net"), url.scheme().toLower(), authorityAsWritten(text)};
        place.path = nonEmpty(url.path(QUrl::FullyDecoded).split(QLatin1Char('/')));
    } else if (QDir::isAbsolutePath(game)) {
        place.site = QStringLiteral("localhost");
        place.route = QStringList {QStringLiteral("game")};
        place.path = nonEmpty(QDir::cleanPath(game).split(QLatin1Char('/')));
    }
    return place;
}

QString relativeFileOf(const GamePlace &place, const QString &key, bool anywhereOnSite)
{
    QStringList segments = key.split(QLatin1Char('/'));
    if (!place.isValid() || segments.size() < 2 || segments.size() > kMaxDepth)
        return QString();
    segments.removeFirst(); // the page's host: the place says which site
    int nameAt = segments.size() - 1;
    for (int i = 0; i < segments.size(); ++i) {
        if (segments.at(i).startsWith(QLatin1Char('#'))) {
            nameAt = i;
            break;
        }
    }
    QList<QByteArray> rest;
    if (!pathAfterRoute(place, nonEmpty(segments.mid(0, nameAt)), &rest))
        return QString();
    if (!anywhereOnSite && rest.size() > place.path.size())
        return QString();
    QStringList out {place.site};
    for (int i = 0; i < rest.size(); ++i) {
        if (!anywhereOnSite) {
            // Only a prefix of the game's own path, and then its own names.
            if (QFile::encodeName(place.path.at(i)) != rest.at(i))
                return QString();
            out << place.path.at(i);
        } else {
            out << QFile::decodeName(rest.at(i));
        }
    }
    const QStringList name = segments.mid(nameAt);
    for (int i = 0; i < name.size(); ++i)
        out << name.at(i);
    out.last() += QLatin1String(".sol");
    for (int i = 1; i < out.size(); ++i) {
        if (!isFitName(out.at(i)))
            return QString();
    }
    return out.join(QLatin1Char('/'));
}

bool looksLikeSol(const QByteArray &bytes)
{
    if (bytes.size() < 16 || uchar(bytes.at(0)) != 0x00 || uchar(bytes.at(1)) != 0xBF)
        return false;
    const quint32 length = (quint32(uchar(bytes.at(2))) << 24) | (quint32(uchar(bytes.at(3))) << 16)
        | (quint32(uchar(bytes.at(4))) << 8) | quint32(uchar(bytes.at(5)));
    return length == quint32(bytes.size() - 6) && bytes.mid(6, 4) == "TCSO";
}

namespace {

QString systemError(const QString &what)
{
    return what + QLatin1String(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// A rename is on disk only once its folder is.
bool syncFolder(const QString &folder)
{
    const int fd
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath())) {
        *error = target.absolutePath() + QLatin1String(": cannot make the folder");
        return false;
    }
    const QByteArray temporary = QFile::encodeName(path) + ".writing";
    const int fd = ::open(temporary.constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        *error = systemError(target.absolutePath());
        return false;
    }
    bool written = writeAll(fd, bytes);
    if (!written)
        *error = systemError(path);
    if (written && ::fsync(fd) != 0) {
        *error = systemError(path);
        written = false;
    }
    ::close(fd);
    if (written && ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        *error = systemError(path);
        written = false;
    }
    if (!written) {
        ::unlink(temporary.constData());
        return false;
    }
    if (!syncFolder(target.absolutePath())) {
        *error = systemError(target.absolutePath());
        return false;
    }
    return true;
}

bool removeFile(const QString &path, QString *error)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        *error = systemError(path);
        return false;
    }
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

QString setAside(const QString &path, const QString &label)
{
    const QString stem = path + QLatin1Char('.') + label + QLatin1Char('-')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n);
    // A folder in a file's place (a store made by hand) goes aside too.
    return QFile::rename(path, aside) || QDir().rename(path, aside) ? aside : QString();
}

} // namespace savetree
