// vorlumen-importsaves: brings the saves the Flash plug-in left behind over
// to the player's saves tree (see host/saveimport.h).
#include "saveimport.h"
#include "savestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

static const char usage[]
    = "usage: vorlumen-importsaves OLD_SAVES GAMES_FOLDER [SAVES_FOLDER]\n"
      "  OLD_SAVES     the plug-in's folder that holds #SharedObjects (or any folder above\n"
      "                its saves: <random>/localhost/<path>/<game>.swf/<name>.sol)\n"
      "  GAMES_FOLDER  the folder of the games on this machine\n"
      "  SAVES_FOLDER  the player's -savedataflash: folder (default: its data folder)\n"
      "Each save goes to the game whose path below GAMES_FOLDER ends the old path, or\n"
      "else to the only game of the same file name. A save already there is never\n"
      "lost: the older of the two is kept beside the newer. Status 0 when every save\n"
      "was brought over, 1 when some were skipped, ambiguous or failed, 2 on misuse.\n";

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlumen"));
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() < 2 || arguments.size() > 3
        || arguments.contains(QStringLiteral("--help"))) {
        std::fputs(usage, arguments.contains(QStringLiteral("--help")) ? stdout : stderr);
        return arguments.contains(QStringLiteral("--help")) ? 0 : 2;
    }
    for (int i = 0; i < 2; ++i) {
        if (!QFileInfo(arguments.at(i)).isDir()) {
            std::fprintf(stderr, "vorlumen-importsaves: %s is not a folder\n",
                         qPrintable(arguments.at(i)));
            return 2;
        }
    }
    const QString savesFolder = arguments.size() == 3
        ? arguments.at(2)
        : QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const QString tree = SaveStore::treeBelow(QDir(savesFolder).absolutePath());
    const saveimport::Report report = saveimport::importTree(
        QDir(arguments.at(0)).absolutePath(), QDir(arguments.at(1)).absolutePath(), tree);
    for (const QString &line : report.lines)
        std::printf("%s\n", qPrintable(line));
    std::printf("%d brought over, %d skipped, %d ambiguous, %d failed (saves tree: %s)\n",
                report.matched, report.skipped, report.ambiguous, report.failed, qPrintable(tree));
    return report.skipped + report.ambiguous + report.failed == 0 ? 0 : 1;
}
