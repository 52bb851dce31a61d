#include "maintenance.h"

#include "gamefiles.h"
#include "savetree.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRectF>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>

Maintenance::Maintenance(QObject *parent)
    : QObject(parent)
{
}

void Maintenance::setDatabaseFolder(const QString &folder)
{
    m_databaseFolder = folder;
}

QString Maintenance::localStorageId(const QString &databaseName)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(databaseName.toUtf8(), QCryptographicHash::Md5).toHex());
}

void Maintenance::releaseLocalStorageConnection(const QString &databaseName)
{
    const QString id = localStorageId(databaseName);
    if (QSqlDatabase::contains(id)) {
        QSqlDatabase::database(id, false).close();
        QSqlDatabase::removeDatabase(id);
    }
}

bool Maintenance::verifyFolder(const QString &repertoire)
{
    return QDir(repertoire).exists();
}

bool Maintenance::verifyFile(const QString &fichier)
{
    return QFile::exists(fichier);
}

bool Maintenance::createFolder(const QString &repertoire)
{
    return !repertoire.isEmpty() && QDir().mkpath(repertoire);
}

bool Maintenance::isWritableFolder(const QString &folder)
{
    if (!createFolder(folder))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

bool Maintenance::isFileInsideFolder(const QString &file, const QString &folder)
{
    const QFileInfo target(QFileInfo(file).canonicalFilePath());
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    if (!target.isFile() || canonicalFolder.isEmpty())
        return false;
    return gamefiles::isInside(target.filePath(), canonicalFolder);
}

static void writeLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void Maintenance::printText(const QString &text)
{
    writeLine(stdout, text);
}

void Maintenance::reportProblem(const QString &text)
{
    writeLine(stderr, QStringLiteral("vorlumen: ") + text);
}

QString Maintenance::absolutePath(const QString &path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

QString Maintenance::gameFileProblem(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("file not found");
    // QFileInfo looks without opening: a FIFO, a device or a folder is not a
    // regular file and is never opened.
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    if (info.size() > gamefiles::kMaxGameFileBytes)
        return QStringLiteral("larger than %1 MiB").arg(gamefiles::kMaxGameFileBytes >> 20);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot be read");
    if (!gamefiles::looksLikeSwf(file.read(3)))
        return QStringLiteral("not a SWF file");
    return gamefiles::inflationProblem(&file);
}

bool Maintenance::saveImage(const QImage &image, const QString &path)
{
    if (image.isNull() || path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Flushed here: commit() would close the file without looking at the
    // outcome of the last write, and a full disk would go unnoticed.
    if (!image.save(&file, "JPG") || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool Maintenance::saveImagePart(const QImage &image, const QRectF &part, qreal viewWidth,
                                const QString &path)
{
    if (image.isNull() || viewWidth <= 0 || !part.isValid())
        return false;
    const qreal scale = image.width() / viewWidth;
    const QRect pixels = QRectF(part.topLeft() * scale, part.size() * scale).toRect();
    const QRect kept = pixels.intersected(image.rect());
    return !kept.isEmpty() && saveImage(image.copy(kept), path);
}

// What SQLite says of the file: empty when it reads fine.
static QString databaseFault(const QString &file)
{
    const QString connection = QStringLiteral("vorlumen-store-check");
    QString fault;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            fault = db.lastError().text();
        } else {
            QSqlQuery check(db);
            if (!check.exec(QStringLiteral("PRAGMA quick_check")))
                fault = check.lastError().text();
            else if (check.next() && check.value(0).toString() != QLatin1String("ok"))
                fault = check.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return fault;
}

static bool isDamage(const QString &fault)
{
    // Busy or locked stores are healthy: another player holds them.
    return !fault.isEmpty() && !fault.contains(QLatin1String("locked"), Qt::CaseInsensitive)
        && !fault.contains(QLatin1String("busy"), Qt::CaseInsensitive);
}

QString Maintenance::setAsideBrokenDatabase(const QString &databaseName)
{
    if (m_databaseFolder.isEmpty())
        return QString();
    const QString id = localStorageId(databaseName);
    const QString file = m_databaseFolder + QLatin1Char('/') + id + QStringLiteral(".sqlite");
    const QFileInfo info(file);
    if (!info.exists())
        return QString();
    if (info.isFile() && !isDamage(databaseFault(file)))
        return QString();

    releaseLocalStorageConnection(databaseName);
    const QString aside = savetree::setAside(file, QStringLiteral("broken"));
    if (aside.isEmpty())
        return QString();
    // The version file belongs to the store that was moved.
    const QString ini = m_databaseFolder + QLatin1Char('/') + id + QStringLiteral(".ini");
    if (QFile::exists(ini))
        QFile::rename(ini, aside + QStringLiteral(".ini"));
    return aside;
}

void Maintenance::setGameFile(const QString &fichier)
{
    emit gameFileChosen(fichier);
}
