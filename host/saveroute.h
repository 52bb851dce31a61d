#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QUrl;
class QWebEngineUrlRequestJob;
class SaveStore;

// The game page's road to the saves (page/saves.js), on the player's scheme:
//
//   /saves/read?key=K                       "+" and the object in base64, or "-"
//   /saves/write?key=K&part=I&parts=N&data=D  "+" once written (queued), or "!"
//   /saves/remove?key=K                     "+" once the removal is queued
//   /saves/import?key=K&part=I&parts=N&data=D  the same, for the upgrade
//   /saves/remove?key=K                     "+" once the removal is queued
//   /saves/imported                         the page has brought over all it had
//   anything else                           "!" (the page learns that the road exists)
//
// The engine gives a scheme handler no request body, so an object travels
// in the address, in parts of base64url text. Only the page of the game
// being played is answered (the player's host for a local game, the game
// site's box for an internet one); what it may reach, SaveStore decides.
class SaveRoute : public QObject
{
    Q_OBJECT

public:
    explicit SaveRoute(SaveStore *store, QObject *parent = nullptr);

    static bool isSaveAddress(const QUrl &url);
    void serve(QWebEngineUrlRequestJob *job);

public slots:
    void setGameFile(const QString &game);

private:
    QByteArray writeOrImport(const QUrl &url, bool import);

    struct Partial
    {
        int parts = 0;
        int received = 0;
        QByteArray text;
    };
    SaveStore *m_store;
    QString m_pageHost;
    QHash<QString, Partial> m_partial; // by key
};
