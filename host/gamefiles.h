#pragma once

// Which file, if any, a request of the player's own URL scheme may read.
//
//   vorlumen://player/flash/<file>        the game page and Ruffle (flash/)
//   vorlumen://player/game/<absolute path> a file of the game being played
//   vorlumen://site-<hex>/flash/<file>    the same page for an internet game,
//                                         in a box of its site's own
//
// Local games share the one origin of the fixed host (their saves stay
// where they always were); an internet game's page runs in its site's box,
// so that its saves are apart from the local games' and from other sites'.
//
// Pure: no web engine here, so the rules are tested alone.

#include <QByteArray>
#include <QString>

class QIODevice;
class QUrl;

namespace gamefiles {

constexpr char kScheme[] = "vorlumen";
// A fixed host keeps the page's origin, hence its local storage and the
// games' saves, the same from one run to the next.
constexpr char kHost[] = "player";

// No real game comes near this; a movie and every file it loads are held
// whole in memory, several times over, on machines with little of it.
constexpr qint64 kMaxGameFileBytes = qint64(256) * 1024 * 1024;

enum class Verdict {
    Serve, // filePath is a readable regular file inside the allowed folder, not too large
    Missing, // inside the allowed folder, but no such file
    Refuse, // anything else: another folder, a folder, a bad address
};

struct Resolution
{
    Verdict verdict = Verdict::Refuse;
    QString filePath; // canonical; only for Serve
};

// Whether a real (canonical) path lies below a real folder, never the
// folder itself.
bool isInside(const QString &canonicalPath, const QString &canonicalFolder);

// pageFolder: the page's own files (flash/); gameFolder: the folder of the
// game being played, empty while none is. Both may be given in any form.
Resolution resolve(const QUrl &url, const QString &pageFolder, const QString &gameFolder);

// Whether a host of the scheme is an internet site's box.
bool isSiteBox(const QString &host);

// Whether a page of the scheme shows it: the player's own pages, local or in
// a site's box.
bool isPlayerPage(const QUrl &url);

// Whether the web engine may make a request at all, whatever the scheme
// handler would answer. A game page (local or internet) reaches the network
// only through the player (its /net/ route, for an internet game's own
// site): its direct requests to http, https, ws, ftp or file addresses are
// refused, so a local movie that reads its folder cannot send it anywhere.
// Nor may a game page move a frame anywhere: a game never steers the view.
bool mayLeavePage(const QUrl &firstParty, const QUrl &initiator, const QUrl &request, bool isFrame);

// Who asks decides what may be read. The player's own pages (and the
// window's navigations, which have no initiator) read everything above; an
// internet page (http or https) reads Ruffle alone, so that its embedded
// movies play, and nothing else: not the game page, not a game's files.
// A page of a site's box reads its own box alone.
bool mayRequest(const QUrl &initiator, const QUrl &url);

// The address under which the page asks for a game file.
QString gameUrlPrefix();

// Whether the first bytes are a SWF file's signature (FWS, CWS or ZWS).
bool looksLikeSwf(const QByteArray &head);

// Why a movie may not be given to Ruffle, which inflates it whole in memory:
// it declares, or really inflates to, more than kMaxGameFileBytes (a small
// compressed file may hold gigabytes). Empty when it may, or when the data
// is no SWF at all. Reads the device from its start and leaves it there.
QString inflationProblem(QIODevice *movie);
QString inflationProblem(const QByteArray &movie);

// Content type by file name suffix; application/octet-stream when unknown.
QByteArray contentTypeFor(const QString &fileName);

} // namespace gamefiles
