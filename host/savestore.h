#pragma once

#include "savetree.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

// The games' saves, as .sol files in a tree of folders (savetree.h): the
// files are the truth. The game page reads an object when the movie asks
// for it and hands over every write; writes go to disk on a thread of
// their own, atomically, in the order given, the latest bytes of an object
// replacing those still waiting. A stuck disk holds that thread only:
// nothing waits for it longer than it asks (waitForWrites).
class SaveStore : public QObject
{
    Q_OBJECT

public:
    enum class Result { Done, NotFound, Refused, Failed };

    explicit SaveStore(QObject *parent = nullptr);
    ~SaveStore() override;

    // The tree below a data folder or a -savedataflash: folder.
    static QString treeBelow(const QString &folder);
    QString root() const { return m_root; }

    // An object of the game being played, as the page names it (its key).
    // A damaged file is set aside and counts as none.
    Result read(const QString &key, QByteArray *bytes);
    // Queues the object's bytes for writing; Refused for a key outside the
    // game's place or bytes that are no .sol.
    Result write(const QString &key, const QByteArray &bytes);
    // Queues the removal of the object's file (SharedObject.clear).
    Result remove(const QString &key);
    // An object the web engine kept for the site before saves were files:
    // written now, anywhere on the game's site, never over a file already
    // there (kept; the old object goes beside it). Only while imports are
    // open: from the choice of a game until the page's first read or write.
    Result importFromWebStorage(const QString &key, const QByteArray &bytes);
    void closeImports() { m_importsOpen = false; }

public slots:
    // The folder below which the tree lies (made when first written).
    void setFolder(const QString &folder);
    // The game now played: the only place its page may read and write.
    void setGameFile(const QString &game);
    // True once every write handed over is on disk (or has failed), false
    // when timeoutMs passed first.
    bool waitForWrites(int timeoutMs);

signals:
    // Saves cannot be written: a sentence for the user, once until a write
    // succeeds again.
    void problem(const QString &text);

private:
    struct Queue;
    Result queue(const QString &key, const QByteArray &bytes);
    QString fileOf(const QString &key, bool anywhereOnSite = false) const;
    void reportFromWriter(const QString &text);

    QString m_root;
    savetree::GamePlace m_place;
    bool m_importsOpen = false;
    std::shared_ptr<Queue> m_queue;
};
