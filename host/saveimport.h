#pragma once

// Brings over a save tree the Flash plug-in left behind
// (#SharedObjects/<random>/localhost/<path>/<game>.swf/<name>.sol, with a
// Windows drive letter in the path when it was made there) into the
// player's saves tree, for the games of a games folder.
//
// Each local save goes to the game whose path below the games folder ends
// the old path (case aside, as on Windows), or, failing that, to the only
// game of that file name; several such games make it ambiguous and it is
// left. An internet site's save keeps its place. A save never replaces a
// newer one: the older of the two is kept beside the other.

#include <QString>
#include <QStringList>

namespace saveimport {

struct Report
{
    QStringList lines; // one per save: what became of it
    int matched = 0;
    int skipped = 0;
    int ambiguous = 0;
    int failed = 0;
};

Report importTree(const QString &oldTree, const QString &gamesFolder, const QString &savesTree);

} // namespace saveimport
