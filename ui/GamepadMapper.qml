import QtQuick 2.15
import Process 1.0
import "lib/options.js" as Options

// The gamepad mapper beside the game, with the window's profile and
// controller; it ends with the window. Its failures are reported, never fatal.
Process {
    property string profile: ""
    property string controller: ""
    // The window is closing: the mapper ending now is expected.
    property bool closing: false
    // The mapper was started for the game and has not ended: it owns the
    // game's keys, and the player's own pad mapping steps aside.
    property bool ownsGame: false

    function startForGame() {
        var folder = ""
        var folders = Options.profileFolders(applicationDirPath, dataPath[0])
        for (var i = 0; i < folders.length && folder === "" && Options.isProfilePath(profile); ++i) {
            if (maintenance.isFileInsideFolder(folders[i] + "/" + profile, folders[i]))
                folder = folders[i]
        }
        if (profile !== "" && folder === "") {
            maintenance.reportProblem("-profilantimicro: no profile " + profile + " inside "
                                      + folders.join(" or ") + "; no mapper started")
            return
        }
        var command = Options.mapperCommand(applicationDirPath, profile, controller,
                                            Qt.platform.os === "windows", folder)
        if (!command)
            return
        ownsGame = true
        start(command.program, command.arguments)
    }

    onStartFailed: {
        ownsGame = false
        if (!closing)
            maintenance.reportProblem("the gamepad mapper could not start: " + reason)
    }
    onEnded: {
        ownsGame = false
        if (!closing)
            maintenance.reportProblem("the gamepad mapper ended (status " + exitCode
                                      + (crashed ? ", crashed" : "") + "); the game goes on without it")
    }
}
