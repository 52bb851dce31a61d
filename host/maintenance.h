#pragma once

#include <QImage>
#include <QObject>
#include <QString>

// File and folder checks for the UI; one instance, owned by the host.
class Maintenance : public QObject
{
    Q_OBJECT

public:
    explicit Maintenance(QObject *parent = nullptr);

    // The folder where the UI engine keeps its local databases
    // (QQmlEngine::offlineStoragePath() + "/Databases").
    void setDatabaseFolder(const QString &folder);
    // The local storage module keeps a database in <folder>/<id>.sqlite and
    // names its connection <id>: the MD5 of the database's name.
    static QString localStorageId(const QString &databaseName);
    // Lets go of the module's connection to a database, which would
    // otherwise keep writing into its file, wherever that file goes.
    static void releaseLocalStorageConnection(const QString &databaseName);

public slots:
    bool verifyFolder(const QString &repertoire);
    bool verifyFile(const QString &fichier);
    // Makes a folder and its parents; true when it exists afterwards.
    bool createFolder(const QString &repertoire);
    // Writes a line of text on standard output, for people at a terminal.
    void printText(const QString &text);
    // Writes a line on standard error, where front-ends keep their logs.
    void reportProblem(const QString &text);
    // True when the folder exists (it is made when missing) and can be written.
    bool isWritableFolder(const QString &folder);
    // True when the file exists and, every link followed, lies inside the
    // folder (its links followed too): a link may not lead out of it.
    bool isFileInsideFolder(const QString &file, const QString &folder);
    // The path made absolute against the working folder, as given otherwise.
    QString absolutePath(const QString &path);
    // Why a path cannot be played as a game, or an empty text when it can:
    // a readable regular file that starts with a SWF signature. Never
    // blocks: a FIFO or a device is refused before anything is opened.
    QString gameFileProblem(const QString &path);
    // Writes a JPEG through a temporary file in the same folder, renamed into
    // place only once complete: a full disk leaves no partial picture.
    bool saveImage(const QImage &image, const QString &path);
    // The same, for the part of an image grabbed from an item viewWidth
    // wide (the part in the item's units; the image may have more pixels).
    bool saveImagePart(const QImage &image, const QRectF &part, qreal viewWidth,
                       const QString &path);
    // A settings database that SQLite cannot read (garbage, truncated, a
    // folder in its place) is moved aside, renamed with the date, so that a
    // fresh one can be made. Returns the new name of what was moved, or an
    // empty text when the store was not broken (a busy store is not).
    QString setAsideBrokenDatabase(const QString &databaseName);
    // The window names the game it is about to play: the only folder whose
    // files the game view may read (see GameSchemeHandler).
    void setGameFile(const QString &fichier);
    // What the game page said of WebGL for the game now played (see
    // RendererChoice): Ruffle reported that the game needs it, it failed
    // under the game, or the game played on it.
    void reportGameNeedsWebGl() { emit gameNeedsWebGl(); }
    void reportWebGlFailed() { emit webGlFailed(); }
    void reportWebGlPlayed() { emit webGlPlayed(); }

signals:
    void gameFileChosen(const QString &fichier);
    void gameNeedsWebGl();
    void webGlFailed();
    void webGlPlayed();
    // The internet game named last could not be read (why, in a few words).
    void internetGameFailed(const QString &problem);

private:
    QString m_databaseFolder;
};
