import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15

// The header bar inside the real player window: its eleven items, their
// colours and enabled states with and without a game, the toggles, the
// screen-mode cycle and the hide/return of the bar.
TestCase {
    id: testCase
    name: "Header"
    when: windowShown

    readonly property string corpusGame: testHost.sourceDir + "/../shared/swf-corpus/files/ruffle.android.src.z0r-de_420.swf"
    property var win: null

    function gamePath() {
        var path = testHost.tempDir + "/header games/jeu é #1.swf"
        if (!testHost.exists(path))
            verify(testHost.copyFile(corpusGame, path))
        return path
    }

    // The sizes are given, so no probe runs: the header only needs a game page.
    function openWindow(withGame, moreOptions) {
        testHost.setCommandLine(withGame
                                ? ["-source:" + gamePath(), "-swfwidth:324", "-swfheight:216"].concat(moreOptions || [])
                                : [""])
        var component = Qt.createComponent("qrc:/main")
        compare(component.status, Component.Ready, component.errorString())
        win = component.createObject(null)
        verify(win)
        tryCompare(win, "visible", true)
        waitForRendering(win.contentItem)
        return win
    }

    function cleanup() {
        if (win)
            win.destroy()
        win = null
        wait(0)
    }

    function child(name) {
        var found = findChild(win.contentItem, name) || findChild(win, name)
        verify(found, "no item named " + name)
        return found
    }

    function toolTipOf(button) {
        for (var i = 0; i < button.data.length; ++i) {
            var item = button.data[i]
            if (item && item.text !== undefined && item.delay !== undefined)
                return item
        }
        return null
    }

    function colourIs(actual, expected) {
        return Qt.colorEqual(actual, expected)
    }

    // Left to right, the tooltip text and whether the button needs a game.
    readonly property var buttonTable: [
        { name: "swfButton", icon: "qrc:/img/swf-file.svg", needsGame: false,
          tip: "Ouvrir un fichier SWF.<br>Open a SWF file." },
        { name: "internetButton", icon: "qrc:/img/internet.svg", needsGame: false,
          tip: "Ouvrir une adresse internet (Flash).<br>Open an internet address (Flash)." },
        { name: "aboutButton", icon: "qrc:/img/about.svg", needsGame: false,
          tip: "À propos.<br>About." },
        { name: "bezelButton", icon: "qrc:/img/layers.svg", needsGame: true,
          tip: "Activer/désactiver la décoration (cela désactive aussi le CRT/SCANLINES).<br>Enable/disable bezel (this also disables CRT/SCANLINES)." },
        { name: "screenModeButton", icon: "qrc:/img/screen_mod.svg", needsGame: true,
          tip: "Changer le mode d'écran (CRT, Scanlines) - cliquez plusieurs fois.<br>Change screen mode (CRT, Scanlines) - click several times." },
        { name: "dateTimeButton", icon: "qrc:/img/date-time.svg", needsGame: false,
          tip: "Activer/désactiver la date et l'heure.<br>Enable/disable date and time." },
        { name: "screenshotButton", icon: "qrc:/img/camera.svg", needsGame: true,
          tip: "Capture d'écran (vers le répertoire « <i>Images</i> »).<br>Screenshot (to « <i>Pictures</i> » folder)." },
        { name: "fullScreenButton", icon: "qrc:/img/full-screen.svg", needsGame: false,
          tip: "Plein écran.<br>Full screen." },
        { name: "minimizeButton", icon: "qrc:/img/minimize.svg", needsGame: false,
          tip: "Réduire.<br>Minimize." },
        { name: "quitButton", icon: "qrc:/img/close.svg", needsGame: false,
          tip: "Quitter.<br>Quit." }
    ]

    function test_buttons_data() {
        var rows = []
        for (var game = 0; game < 2; ++game) {
            for (var i = 0; i < buttonTable.length; ++i) {
                var row = buttonTable[i]
                rows.push({ tag: row.name + (game ? " with game" : " without game"),
                            name: row.name, icon: row.icon, tip: row.tip,
                            needsGame: row.needsGame, withGame: game === 1 })
            }
        }
        return rows
    }

    function test_buttons(data) {
        openWindow(data.withGame)
        compare(win.isSWF, data.withGame)
        var button = child(data.name)
        var usable = !data.needsGame || data.withGame
        compare(button.enabled, usable)
        compare(String(button.icon.source), data.icon)
        verify(colourIs(button.icon.color, usable ? "grey" : "firebrick"),
               "icon colour " + button.icon.color)
        var tip = toolTipOf(button)
        verify(tip, "no tooltip")
        compare(tip.text, data.tip)
        compare(tip.visible, false)
        // A disabled button takes no hover, so its tooltip stays hidden.
        mouseMove(button, button.width / 2, button.height / 2)
        if (!usable) {
            wait(50)
            compare(tip.visible, false)
            return
        }
        tryCompare(tip, "visible", true)
        compare(tip.y, button.height)
        mouseMove(win.contentItem, win.width / 2, win.height / 2)
        tryCompare(tip, "visible", false)
    }

    // Buttons 1-2 at the left edge, 4-11 at the right edge, the hidden title between.
    function test_layout() {
        openWindow(false)
        var header = child("header")
        compare(header.height, 48)
        compare(header.width, win.contentItem.width)
        compare(header.z, 999)
        verify(colourIs(header.color, "transparent"))
        var title = child("titreLogiciel")
        compare(title.text, "Vorlumen")
        compare(title.color.a, 0)
        compare(title.font.pixelSize, 18)
        verify(title.font.bold)
        var names = ["swfButton", "internetButton", "titreLogiciel", "aboutButton",
                     "bezelButton", "screenModeButton", "dateTimeButton",
                     "screenshotButton", "fullScreenButton", "minimizeButton", "quitButton"]
        var previousRight = -1
        for (var i = 0; i < names.length; ++i) {
            var item = child(names[i])
            var left = item.mapToItem(header, 0, 0).x
            verify(left >= previousRight, names[i] + " out of order")
            previousRight = left + item.width
        }
        var first = child("swfButton").mapToItem(header, 0, 0).x
        verify(first < 10, "first button not at the left edge")
        var last = child("quitButton")
        verify(header.width - (last.mapToItem(header, 0, 0).x + last.width) < 10,
               "last button not at the right edge")
        verify(title.width > header.width / 3, "title does not take the free width")
    }

    function test_screenModeCycle_data() {
        return [
            { tag: "none to CRT", start: 0, badge: "X", mode: 1, overlay: "qrc:/img/crt.png", badgeAfter: "CRT" },
            { tag: "CRT to scanlines", start: 1, badge: "CRT", mode: 2, overlay: "qrc:/img/scanlines.png", badgeAfter: "SCNL" },
            { tag: "scanlines to none", start: 2, badge: "SCNL", mode: 0, overlay: "", badgeAfter: "X" },
            { tag: "out of range above", start: 5, badge: "", mode: 0, overlay: "", badgeAfter: "X" },
            { tag: "out of range below", start: -1, badge: "", mode: 0, overlay: "", badgeAfter: "X" }
        ]
    }

    function test_screenModeCycle(data) {
        openWindow(true)
        win.modeEcran = data.start
        var badge = child("screenModeBadge")
        var label = child("screenModeBadgeLabel")
        verify(badge.visible)
        compare(label.text, data.badge)
        mouseClick(child("screenModeButton"))
        compare(win.modeEcran, data.mode)
        compare(win.screenEmulationSource, data.overlay)
        compare(label.text, data.badgeAfter)
        verify(badge.visible)
    }

    function test_threeClicksComeBack() {
        openWindow(true)
        win.modeEcran = 0
        var button = child("screenModeButton")
        var modes = []
        for (var i = 0; i < 3; ++i) {
            mouseClick(button)
            modes.push(win.modeEcran)
        }
        compare(modes, [1, 2, 0])
        compare(win.screenEmulationSource, "")
    }

    function test_disabledButtonsDoNothing() {
        openWindow(false)
        win.setScreenMode(1)
        mouseClick(child("screenModeButton"))
        mouseClick(child("bezelButton"))
        mouseClick(child("screenshotButton"))
        compare(win.modeEcran, 1)
        compare(win.bezelActif, true)
        compare(child("timerInfos").running, false)
    }

    function test_bezelToggle() {
        openWindow(true)
        var badge = child("bezelBadge")
        compare(win.bezelActif, true)
        compare(badge.visible, false)
        var button = child("bezelButton")
        mouseClick(button)
        compare(win.bezelActif, false)
        compare(win.bezelActifOrigine, false)
        compare(badge.visible, true)
        compare(child("bezelBadgeLabel").text, "X")
        compare(child("screenBezel").visible, false)
        mouseClick(button)
        compare(win.bezelActif, true)
        compare(win.bezelActifOrigine, true)
        compare(badge.visible, false)
    }

    // Off from saved settings: the badge shows although the button is disabled.
    function test_bezelBadgeWithoutGame() {
        openWindow(false)
        win.chooseBezel(false)
        verify(!child("bezelButton").enabled)
        compare(child("bezelBadge").visible, true)
    }

    // A round mark in its button's bottom-right corner, over the icon.
    function test_badgeShape() {
        openWindow(true)
        var names = ["bezelBadge", "screenModeBadge"]
        for (var i = 0; i < names.length; ++i) {
            var badge = child(names[i])
            var button = badge.parent
            compare(badge.width, badge.height)
            verify(badge.radius >= badge.width / 2, "not round")
            compare(badge.x + badge.width, button.width)
            verify(badge.y + badge.height / 2 > button.height / 2 && badge.y + badge.height <= button.height,
                   "not at the bottom")
            verify(badge.z > button.z, "under the icon")
        }
    }

    function test_dateToggle() {
        openWindow(false)
        var button = child("dateTimeButton")
        compare(win.dateAndTime, true)
        mouseClick(button)
        compare(win.dateAndTime, false)
        verify(colourIs(button.icon.color, "firebrick"))
        verify(button.enabled)
        mouseClick(button)
        compare(win.dateAndTime, true)
        verify(colourIs(button.icon.color, "grey"))
    }

    function test_openButtons_data() {
        return [
            { tag: "SWF file", button: "swfButton", popup: "drawerFlash" },
            { tag: "internet address", button: "internetButton", popup: "internetAdresseDialog" },
            { tag: "about", button: "aboutButton", popup: "aProposDialog" },
            { tag: "quit", button: "quitButton", popup: "quitterVRLDialog" }
        ]
    }

    function test_openButtons(data) {
        openWindow(false)
        var popup = findChild(win, data.popup)
        verify(popup)
        compare(popup.opened, false)
        mouseClick(child(data.button))
        tryCompare(popup, "opened", true)
        popup.close()
        tryCompare(popup, "visible", false)
    }

    // The camera writes the game's picture, named after the game, and the
    // banner says so.
    function test_screenshotButton() {
        var folder = testHost.tempDir + "/header shots"
        testHost.removePath(folder)
        verify(testHost.makePath(folder))
        openWindow(true, ["-picturesfolder:" + folder])
        tryVerify(function () { return win.widthJeu > 0 }, 30000, "the game never reported its size")
        mouseClick(child("screenshotButton"))
        var picture = folder + "/jeu é #1.jpg"
        tryVerify(function () { return testHost.exists(picture) }, 10000, "no picture written")
        var info = testHost.imageInfo(picture, 0, 0)
        compare([info.width, info.height], [win.cadrageCapture.width, win.cadrageCapture.height])
        tryCompare(child("infos"), "visible", true)
        compare(child("infosText").text, "Capture d'écran réussie !<br>Screenshot successful !")
    }

    // Height 0 at once, visible while it fades, hidden after the fade; the
    // exit-full-screen button then brings it back.
    function test_hideAndReturn() {
        openWindow(false)
        var header = child("header")
        var exitButton = child("exitFullScreenButton")
        compare(exitButton.visible, false)
        var started = Date.now()
        mouseClick(child("fullScreenButton"))
        compare(header.height, 0)
        verify(header.visible)
        tryVerify(function () { return header.opacity < 1 }, 1000, "the header never started to fade")
        verify(header.visible, "hidden before the fade ended")
        verify(header.opacity > 0, "opacity " + header.opacity)
        tryCompare(header, "visible", false, 3000)
        var fade = Date.now() - started
        verify(fade >= 400, "faded in " + fade + " ms")
        compare(header.opacity, 0)
        tryCompare(exitButton, "visible", true)
        tryCompare(exitButton, "opacity", 0.8, 3000)
        mouseClick(exitButton)
        compare(header.height, 48)
        tryCompare(header, "visible", true)
        tryCompare(header, "opacity", 1, 3000)
        tryCompare(exitButton, "visible", false, 3000)
    }

    function test_fullscreenOption() {
        testHost.setCommandLine(["-fullscreen"])
        var component = Qt.createComponent("qrc:/main")
        win = component.createObject(null)
        var header = child("header")
        compare(header.height, 0)
        tryCompare(header, "visible", false, 3000)
        tryCompare(child("exitFullScreenButton"), "visible", true)
    }
}
