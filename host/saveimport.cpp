#include "saveimport.h"

#include "savetree.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sys/stat.h>
#include <utime.h>

namespace saveimport {

namespace {

QStringList segmentsOf(const QString &path)
{
    QStringList kept;
    for (const QString &segment : path.split(QLatin1Char('/'))) {
        if (!segment.isEmpty())
            kept << segment;
    }
    return kept;
}

bool isSwfName(const QString &name)
{
    return name.endsWith(QLatin1String(".swf"), Qt::CaseInsensitive);
}

bool endsWith(const QStringList &path, const QStringList &tail)
{
    if (tail.size() > path.size())
        return false;
    for (int i = 1; i <= tail.size(); ++i) {
        if (path.at(path.size() - i).compare(tail.at(tail.size() - i), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

// One old save: its site, the game's old path and the object's name parts.
struct OldSave
{
    QString file;
    QString site;
    QStringList gamePath; // up to the game's .swf
    QStringList name; // what follows it, the last ending in .sol
};

bool parse(const QString &oldTree, const QString &file, OldSave *save)
{
    const QStringList parts = segmentsOf(QDir(oldTree).relativeFilePath(file));
    int siteAt = parts.indexOf(QStringLiteral("localhost"));
    if (siteAt < 0) {
        // #SharedObjects/<random>/<site>/...
        const int top = parts.indexOf(QStringLiteral("#SharedObjects"));
        siteAt = top >= 0 && top + 2 < parts.size() ? top + 2 : -1;
    }
    if (siteAt < 0)
        return false;
    int swfAt = -1;
    for (int i = parts.size() - 2; i > siteAt; --i) {
        if (isSwfName(parts.at(i))) {
            swfAt = i;
            break;
        }
    }
    if (swfAt < 0)
        return false;
    save->file = file;
    save->site = parts.at(siteAt);
    save->gamePath = parts.mid(siteAt + 1, swfAt - siteAt);
    save->name = parts.mid(swfAt + 1);
    return true;
}

class Games
{
public:
    explicit Games(const QString &folder)
    {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (isSwfName(path))
                m_relative << segmentsOf(QDir(folder).relativeFilePath(path));
        }
        m_folder = QDir(folder).absolutePath();
    }

    // The games the old path may name: the one whose path below the folder
    // ends it (the longest such), or every game of the same file name.
    QStringList candidates(const QStringList &oldPath) const
    {
        QStringList byPath;
        int longest = 0;
        QStringList byName;
        for (const QStringList &game : m_relative) {
            if (game.size() > 1 && game.size() > longest && endsWith(oldPath, game)) {
                longest = game.size();
                byPath = QStringList {absolute(game)};
            }
            if (game.last().compare(oldPath.last(), Qt::CaseInsensitive) == 0)
                byName << absolute(game);
        }
        return longest > 0 ? byPath : byName;
    }

private:
    QString absolute(const QStringList &relative) const
    {
        return m_folder + QLatin1Char('/') + relative.join(QLatin1Char('/'));
    }

    QString m_folder;
    QList<QStringList> m_relative;
};

bool copyWithTime(const QString &from, const QString &to, QString *error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = source.errorString();
        return false;
    }
    const QByteArray bytes = source.readAll();
    if (!savetree::looksLikeSol(bytes)) {
        *error = QStringLiteral("not a whole .sol file");
        return false;
    }
    if (!savetree::writeAtomically(to, bytes, error))
        return false;
    const qint64 seconds = QFileInfo(from).lastModified().toSecsSinceEpoch();
    struct utimbuf times = {time_t(seconds), time_t(seconds)};
    ::utime(QFile::encodeName(to).constData(), &times);
    return true;
}

// Writes the old save at target; a save already there is never lost: the
// older of the two goes beside the newer.
QString place(const QString &oldFile, const QString &target, QString *error)
{
    if (!QFileInfo::exists(target))
        return copyWithTime(oldFile, target, error) ? QStringLiteral("brought over") : QString();
    if (QFileInfo(oldFile).lastModified() <= QFileInfo(target).lastModified()) {
        const QString beside = target + QLatin1String(".imported");
        return copyWithTime(oldFile, beside, error)
            ? QStringLiteral("kept beside the newer save, as ") + QFileInfo(beside).fileName()
            : QString();
    }
    const QString aside = savetree::setAside(target, QStringLiteral("before-import"));
    if (aside.isEmpty()) {
        *error = QStringLiteral("the save in place could not be set aside");
        return QString();
    }
    return copyWithTime(oldFile, target, error)
        ? QStringLiteral("brought over; the older save kept as ") + QFileInfo(aside).fileName()
        : QString();
}

} // namespace

Report importTree(const QString &oldTree, const QString &gamesFolder, const QString &savesTree)
{
    Report report;
    const Games games(gamesFolder);
    QDirIterator it(oldTree, QStringList {QStringLiteral("*.sol")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext())
        files << it.next();
    files.sort();
    for (const QString &file : files) {
        OldSave save;
        if (!parse(oldTree, file, &save)) {
            report.lines << QStringLiteral("skipped %1: not below a site and a game").arg(file);
            ++report.skipped;
            continue;
        }
        QString target;
        if (save.site == QLatin1String("localhost")) {
            const QStringList found = games.candidates(save.gamePath);
            if (found.size() != 1) {
                const bool none = found.isEmpty();
                report.lines << (none ? QStringLiteral("skipped %1: no game %2 in %3")
                                            .arg(file, save.gamePath.last(), gamesFolder)
                                      : QStringLiteral("ambiguous %1: %2")
                                            .arg(file, found.join(QStringLiteral(", "))));
                ++(none ? report.skipped : report.ambiguous);
                continue;
            }
            target = savesTree + QLatin1String("/localhost") + found.first();
        } else {
            target = savesTree + QLatin1Char('/') + save.site + QLatin1Char('/')
                + save.gamePath.join(QLatin1Char('/'));
        }
        target += QLatin1Char('/') + save.name.join(QLatin1Char('/'));
        QString error;
        const QString outcome = place(file, target, &error);
        if (outcome.isEmpty()) {
            report.lines << QStringLiteral("failed %1: %2").arg(file, error);
            ++report.failed;
        } else {
            report.lines << QStringLiteral("matched %1 -> %2: %3").arg(file, target, outcome);
            ++report.matched;
        }
    }
    return report;
}

} // namespace saveimport
