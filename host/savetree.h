#pragma once

// Where each shared object of a game lives in the saves tree, and the
// checks a .sol file passes before a game is given it.
//
// The tree is laid out as Ruffle's desktop player lays it out, so that one
// folder serves either player:
//
//   <root>/localhost/<the game's absolute path>/<name>.sol   a local game
//   <root>/<site's host>/<the movie's path>/<name>.sol       an internet game
//
// The game page names an object by the key Ruffle gives it:
// "<page host>/<movie address path, or a prefix of it>/<name>", where a name
// holding "/" starts with "#". The key is only a request: the place comes
// from the game the window opened, and the key may choose no more than
// Flash let a movie choose (a prefix of its own path, and the name).
//
// Pure: no threads, no web engine; tested alone.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace savetree {

// Names of files and folders longer than this are refused (the common
// file systems' limit, in bytes).
constexpr int kMaxNameBytes = 255;
// A key deeper than this is refused.
constexpr int kMaxDepth = 64;

// The place of one game in the tree.
struct GamePlace
{
    QString site; // "localhost", or the internet site's host
    QStringList
        route; // segments of the movie's address before its path ("game", or "net/https/host")
    QStringList path; // the movie's own path, segment by segment, decoded
    bool isValid() const { return !site.isEmpty() && !path.isEmpty(); }
};

// A local game file (absolute path) or an internet game's address.
GamePlace placeOf(const QString &game);

// The file of the object a key names, relative to the tree's root, or an
// empty text when the key asks for anything the game may not have.
// anywhereOnSite: the path need not be a prefix of the game's own (the
// upgrade of saves the web engine kept for the whole site).
QString relativeFileOf(const GamePlace &place, const QString &key, bool anywhereOnSite = false);

// Whether bytes have the form of a .sol file, whole: the signature, a length
// that matches the size, the "TCSO" tag.
bool looksLikeSol(const QByteArray &bytes);

// Writes bytes to path atomically: a temporary file beside it, written and
// synced, renamed over it, the folder synced. Makes the missing folders.
// On failure the old file stays whole, nothing else is left, and *error
// says why.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error);

// Removes the file and syncs its folder; a file already gone is no error.
bool removeFile(const QString &path, QString *error);

// Moves a damaged file (or folder) aside, beside itself:
// "<name>.<label>-YYYYMMDD-HHMMSS", a number added when that is taken.
// Returns the new path, or an empty text.
QString setAside(const QString &path, const QString &label = QStringLiteral("damaged"));

} // namespace savetree
