#pragma once

// Which file, if any, a request of the player's own URL scheme may read.
//
//   vorlumen://player/flash/<file>        the game page and Ruffle (flash/)
//   vorlumen://player/game/<absolute path> a file of the game being played
//
// Pure: no web engine here, so the rules are tested alone.

#include <QByteArray>
#include <QString>

class QUrl;

namespace gamefiles {

constexpr char kScheme[] = "vorlumen";
// A fixed host keeps the page's origin, hence its local storage and the
// games' saves, the same from one run to the next.
constexpr char kHost[] = "player";

enum class Verdict {
    Serve, // filePath is a readable regular file inside the allowed folder
    Missing, // inside the allowed folder, but no such file
    Refuse, // anything else: another folder, a folder, a bad address
};

struct Resolution
{
    Verdict verdict = Verdict::Refuse;
    QString filePath; // canonical; only for Serve
};

// pageFolder: the page's own files (flash/); gameFolder: the folder of the
// game being played, empty while none is. Both may be given in any form.
Resolution resolve(const QUrl &url, const QString &pageFolder, const QString &gameFolder);

// Who asks decides what may be read. The player's own pages (and the
// window's navigations, which have no initiator) read everything above; an
// internet page (http or https) reads Ruffle alone, so that its embedded
// movies play, and nothing else: not the game page, not a game's files.
bool mayRequest(const QUrl &initiator, const QUrl &url);

// The address under which the page asks for a game file.
QString gameUrlPrefix();

// Whether the first bytes are a SWF file's signature (FWS, CWS or ZWS).
bool looksLikeSwf(const QByteArray &head);

// Content type by file name suffix; application/octet-stream when unknown.
QByteArray contentTypeFor(const QString &fileName);

} // namespace gamefiles
