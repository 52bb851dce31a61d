import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import Qt.labs.folderlistmodel 2.15
import "qrc:/lib/addresses.js" as Addresses
import "qrc:/Sauvegarde.js" as Storage

// The game browser drawer inside the real player window, against a real
// folder tree: what it lists and how, navigation, the folder buttons, the
// drive box, and the load of a picked file through the real size probe.
TestCase {
    id: testCase
    name: "Drawer"
    when: windowShown

    readonly property string corpus: testHost.sourceDir + "/../shared/swf-corpus/files/"
    // 400 x 200 in the corpus manifest.
    readonly property string smallGame: corpus + "ruffle.android.src.logo-anim.swf"
    property var win: null
    property string tree: testHost.tempDir + "/tree"
    // Folders of the other cases, kept out of the listed tree.
    property string work: testHost.tempDir + "/work"

    function initTestCase() {
        var folders = ["games", "Zeta", "alpha", "odd #%= é dir", ".hidden dir"]
        for (var i = 0; i < folders.length; ++i)
            verify(testHost.makePath(tree + "/" + folders[i]))
        var games = ["Game.SWF", "b.swf", "a.Swf", ".hidden.swf"]
        for (var j = 0; j < games.length; ++j)
            verify(testHost.copyFile(smallGame, tree + "/" + games[j]))
        verify(testHost.writeFile(tree + "/notes.txt", "not a game"))
        verify(testHost.writeFile(tree + "/c.swf.txt", "not a game"))
        verify(testHost.copyFile(smallGame, tree + "/games/inside.swf"))
    }

    function openWindow(startFolderExists) {
        testHost.setCommandLine([""])
        var component = Qt.createComponent("qrc:/main")
        compare(component.status, Component.Ready, component.errorString())
        win = component.createObject(null)
        verify(win)
        tryCompare(win, "visible", true)
        // The folder the window starts on is listed first.
        if (startFolderExists !== false)
            tryCompare(model(), "status", FolderListModel.Ready, 5000)
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

    function drawer() {
        return child("drawerFlash")
    }

    function model() {
        return findChild(drawer(), "folderModel")
    }

    function list() {
        return findChild(drawer(), "folderList")
    }

    function openDrawer() {
        var d = drawer()
        d.open()
        tryCompare(d, "opened", true)
        waitForRendering(list())
        return d
    }

    // The model writes the window's address back only once the new listing
    // is in, and the drawer then takes its rows from it.
    function listed(path) {
        var m = model()
        var address = Addresses.localFolderAddress(path)
        return function () {
            return win.adresseDuNavigateur === address && m.status === FolderListModel.Ready
                    && drawer().rowsFolder === address
        }
    }

    function waitForListing(path) {
        tryVerify(listed(path), 5000, "folder " + path + " not listed; shows "
                  + win.adresseDuNavigateur + " status " + model().status)
    }

    // Navigates as the drawer does, by assigning the model's folder.
    function showFolder(path) {
        model().folder = Addresses.localFolderAddress(path)
        waitForListing(path)
    }

    function names() {
        return drawer().rows.map(function (entry) { return entry.fileName })
    }

    function row(index) {
        var view = list()
        view.positionViewAtIndex(index, ListView.Contain)
        var item = null
        tryVerify(function () {
            item = view.itemAtIndex(index)
            return item !== null
        })
        waitForRendering(view)
        return item
    }

    function indexOfName(name) {
        var all = names()
        var index = all.indexOf(name)
        verify(index >= 0, name + " not listed in " + JSON.stringify(all))
        return index
    }

    function channelsClose(actual, expected) {
        var tolerance = 1.5 / 255
        return Math.abs(actual.r - expected.r) < tolerance && Math.abs(actual.g - expected.g) < tolerance
                && Math.abs(actual.b - expected.b) < tolerance && Math.abs(actual.a - expected.a) < tolerance
    }

    // Black at alpha 0x30 over the plain colour.
    function darkened(colour) {
        var c = Qt.lighter(colour, 1.0)
        var keep = 1 - 0x30 / 255
        return Qt.rgba(c.r * keep, c.g * keep, c.b * keep, 1)
    }

    function test_listing() {
        openWindow()
        showFolder(tree)
        var expected = [".", "..", "Zeta", "alpha", "games", "odd #%= é dir", "Game.SWF", "a.Swf", "b.swf"]
        compare(names(), expected)
    }

    function test_rows_data() {
        return [
            { tag: "dot", index: 0, text: ".", folder: true },
            { tag: "dot dot", index: 1, text: "..", folder: true },
            { tag: "folder even", index: 2, text: "ZETA", folder: true },
            { tag: "folder odd", index: 3, text: "ALPHA", folder: true },
            { tag: "folder with odd characters", index: 5, text: "ODD #%= É DIR", folder: true },
            { tag: "file even", index: 6, text: "Game.SWF", folder: false },
            { tag: "file odd", index: 7, text: "a.Swf", folder: false },
            { tag: "file even again", index: 8, text: "b.swf", folder: false }
        ]
    }

    function test_rows(data) {
        openWindow()
        showFolder(tree)
        openDrawer()
        var item = row(data.index)
        compare(item.width, list().width)
        var label = findChild(item, "rowLabel")
        compare(label.text, data.text)
        verify(label.font.bold)
        compare(label.font.pixelSize, 18)
        var background = findChild(item, "rowBackground")
        compare(background.opacity, 0.5)
        var plain = data.folder ? Qt.lighter("#607D8B", 1.0) : Qt.lighter("gray", 1.0)
        var expected = data.index % 2 === 0 ? plain : darkened(plain)
        tryVerify(function () { return channelsClose(background.color, expected) }, 2000,
                  "row colour " + background.color + ", expected " + expected)
    }

    function test_bar() {
        openWindow()
        showFolder(tree)
        var d = openDrawer()
        compare(d.width, 0.66 * win.width)
        compare(d.height, win.height)
        compare(d.dragMargin, 0)
        var bar = list().headerItem
        verify(bar)
        compare(bar.height, 50)
        compare(bar.width, list().width)
        verify(Qt.colorEqual(bar.color, "#607D8B"))
        var buttons = ["downloadFolderButton", "documentFolderButton", "desktopFolderButton", "homeFolderButton"]
        var icons = ["folder-download.svg", "folder-mydocuments.svg", "folder-desktop.svg", "folder-user.svg"]
        var previousRight = 0
        for (var i = 0; i < buttons.length; ++i) {
            var button = findChild(bar, buttons[i])
            verify(button, buttons[i])
            compare(String(button.icon.source), "qrc:/img/" + icons[i])
            verify(Qt.colorEqual(button.icon.color, "#2c3940"))
            var left = button.mapToItem(bar, 0, 0).x
            verify(left >= previousRight)
            previousRight = left + button.width
        }
        var combo = findChild(bar, "listeDesLecteurs")
        var comboRight = combo.mapToItem(bar, 0, 0).x + combo.width
        verify(Math.abs(bar.width - 5 - comboRight) < 1, "drive box not at the right end")
    }

    function test_enterAndLeave() {
        openWindow()
        showFolder(tree)
        openDrawer()
        mouseClick(row(indexOfName("games")))
        waitForListing(tree + "/games")
        compare(names(), [".", "..", "inside.swf"])
        compare(win.adresseDuNavigateur, Addresses.localFolderAddress(tree + "/games"))
        mouseClick(row(indexOfName("..")))
        waitForListing(tree)
        compare(win.adresseDuNavigateur, Addresses.localFolderAddress(tree))
        mouseClick(row(indexOfName(".")))
        waitForListing(tree)
        compare(names()[0], ".")
        verify(drawer().opened)
    }

    // From the keyboard (a pad's d-pad and A): down the rows, into a
    // folder, back up with Left, a game picked with Space; Escape closes.
    function test_keyboardRoad() {
        openWindow()
        showFolder(tree)
        var d = openDrawer()
        tryCompare(win, "active", true, 3000)
        var view = list()
        compare(view.currentIndex, 0)
        var games = indexOfName("games")
        for (var i = 0; i < games; ++i)
            keyClick(Qt.Key_Down)
        compare(view.currentIndex, games)
        verify(findChild(row(games), "rowFocus").visible)
        keyClick(Qt.Key_Return)
        waitForListing(tree + "/games")
        keyClick(Qt.Key_Left)
        waitForListing(tree)
        keyClick(Qt.Key_Up)
        compare(view.currentIndex, 0)
        var game = indexOfName("a.Swf")
        for (var j = 0; j < game; ++j)
            keyClick(Qt.Key_Down)
        keyClick(Qt.Key_Space)
        compare(win.source, tree + "/a.Swf")
        tryCompare(d, "visible", false)
        openDrawer()
        keyClick(Qt.Key_Escape)
        tryCompare(d, "visible", false)
        compare(win.source, tree + "/a.Swf")
    }

    function test_folderButtons_data() {
        return [
            { tag: "downloads", button: "downloadFolderButton", folder: downloadPath[0] },
            { tag: "documents", button: "documentFolderButton", folder: documentPath[0] },
            { tag: "desktop", button: "desktopFolderButton", folder: deskPath[0] },
            { tag: "home", button: "homeFolderButton", folder: homePath[0] }
        ]
    }

    function test_folderButtons(data) {
        verify(data.folder.length > 1)
        verify(testHost.copyFile(smallGame, data.folder + "/in " + data.tag + ".swf"))
        openWindow()
        showFolder(tree)
        openDrawer()
        mouseClick(findChild(list().headerItem, data.button))
        waitForListing(data.folder)
        verify(names().indexOf("in " + data.tag + ".swf") >= 0, JSON.stringify(names()))
        compare(win.adresseDuNavigateur, Addresses.localFolderAddress(data.folder))
        compare(Addresses.pathFromLocalAddress(win.adresseDuNavigateur), data.folder)
    }

    function pickDrive(combo, index) {
        mouseClick(combo)
        tryCompare(combo.popup, "opened", true)
        var view = combo.popup.contentItem
        view.positionViewAtIndex(index, ListView.Contain)
        var entry = null
        tryVerify(function () {
            entry = view.itemAtIndex(index)
            return entry !== null
        })
        waitForRendering(view)
        mouseClick(entry)
        tryCompare(combo.popup, "visible", false)
    }

    // Each entry lists its root, the one already shown included.
    function test_driveBox() {
        openWindow()
        var drives = win.drives
        verify(drives.length > 0)
        var combo = findChild(drawer(), "listeDesLecteurs")
        compare(combo.count, drives.length)
        compare(combo.currentIndex, win.lettreLecteurNbr)
        for (var i = 0; i < drives.length; ++i) {
            showFolder(tree + "/games")
            openDrawer()
            var current = combo.currentIndex
            pickDrive(combo, current)
            waitForListing(drives[current])
            compare(Addresses.pathFromLocalAddress(win.adresseDuNavigateur), drives[current])
            showFolder(tree + "/games")
            pickDrive(combo, i)
            compare(combo.currentIndex, i)
            waitForListing(drives[i])
            compare(combo.displayText, drives[i])
            drawer().close()
            tryCompare(drawer(), "visible", false)
        }
    }

    // A saved folder that is gone lists nothing; the bar still works. The
    // window opens on it, as after a start whose folder was removed since.
    function test_unlistableFolder() {
        var missing = tree + "/gone away"
        Storage.setConfig(Addresses.localFolderAddress(missing), true, 0, true)
        try {
            openWindow(false)
            compare(Addresses.pathFromLocalAddress(win.adresseDuNavigateur), missing)
            openDrawer()
            // Long enough for the folder model's late listing of another
            // folder, which must not reach the list.
            wait(500)
            compare(list().count, 0)
            var bar = list().headerItem
            verify(bar.visible)
            var combo = findChild(bar, "listeDesLecteurs")
            verify(combo.enabled)
            mouseClick(findChild(bar, "homeFolderButton"))
            waitForListing(homePath[0])
            verify(model().count > 0)
        } finally {
            Storage.deleteConfig()
        }
    }

    // Qt 5.15's folder model reads the folder's local path back as an
    // address, so "#", "?" and "%hh" in a folder's own path cut it short.
    readonly property var unlistableByQt: ["hash", "question mark", "percent code"]

    function test_enterFolder_data() {
        return [
            { tag: "plain", name: "games2" },
            { tag: "blanks", name: "two  blanks" },
            { tag: "accents", name: "jeux accentués à" },
            { tag: "equals", name: "a=1=2" },
            { tag: "lone percent", name: "50% off" },
            { tag: "hash", name: "level #2" },
            { tag: "question mark", name: "why?" },
            { tag: "percent code", name: "x%41y" },
            // Bytes that are not UTF-8 (host/rawnames.h): g, FF, FE.
            { tag: "not UTF-8", name: "g\udcff\udcfe" }
        ]
    }

    function test_enterFolder(data) {
        var parent = work + "/enter " + data.tag
        verify(testHost.copyFile(smallGame, parent + "/" + data.name + "/inside.swf"))
        openWindow()
        showFolder(parent)
        openDrawer()
        mouseClick(row(indexOfName(data.name)))
        var arrived = listed(parent + "/" + data.name)
        if (unlistableByQt.indexOf(data.tag) >= 0)
            expectFail(data.tag, "Qt 5.15 FolderListModel cannot list this folder", TestCase.Abort)
        tryVerify(arrived, 3000, "not listed")
        compare(names(), [".", "..", "inside.swf"])
        compare(Addresses.pathFromLocalAddress(win.adresseDuNavigateur), parent + "/" + data.name)
    }

    // A folder whose name is not UTF-8, entered through the drawer, is the
    // one the next start lists, byte for byte.
    function test_rawFolderKeptAcrossRestart() {
        var parent = work + "/kept"
        var name = "g\udcff\udcfe"
        verify(testHost.copyFile(smallGame, parent + "/" + name + "/inside.swf"))
        try {
            openWindow()
            showFolder(parent)
            openDrawer()
            mouseClick(row(indexOfName(name)))
            waitForListing(parent + "/" + name)
            win.saveSettings()
            cleanup()
            testHost.forgetSettingsConnection()
            openWindow()
            compare(win.adresseDuNavigateur, Addresses.localFolderAddress(parent + "/" + name))
            tryVerify(function () { return names().indexOf("inside.swf") === 2 }, 5000,
                      "listed " + JSON.stringify(names()))
        } finally {
            Storage.deleteConfig()
        }
    }

    function test_pick_data() {
        return [
            { tag: "plain", folder: "picks", file: "plain.swf" },
            { tag: "blanks", folder: "picks", file: "with  two blanks.swf" },
            { tag: "accents", folder: "picks", file: "jeu accentué à.swf" },
            { tag: "hash", folder: "picks", file: "level#2.swf" },
            { tag: "percent", folder: "picks", file: "100%20sure%.swf" },
            { tag: "equals", folder: "picks", file: "a=400=300.swf" },
            { tag: "upper case", folder: "picks", file: "LOUD.SWF" },
            { tag: "odd folder", folder: "picks = é 50%", file: "in #%= é.swf" },
            { tag: "not UTF-8", folder: "picks \udce9", file: "j\udce9u\udcff.swf", shown: "jéuÿ.swf" }
        ]
    }

    // The real probe measures the file, the page address carries it, the
    // page plays it and reports the size it shows.
    function test_pick(data) {
        var folder = work + "/" + data.folder
        var path = folder + "/" + data.file
        verify(testHost.copyFile(smallGame, path))
        openWindow()
        showFolder(folder)
        var d = openDrawer()
        var picked = row(indexOfName(data.file))
        compare(findChild(picked, "rowLabel").text, data.shown || data.file)
        mouseClick(picked)
        compare(win.source, path)
        compare(win.swfwidth, "400")
        compare(win.swfheight, "200")
        compare(win.isSWF, true)
        var url = String(child("webviewFlash").url)
        verify(url.indexOf(Addresses.gamePageLocation + "?jeu=") === 0, url)
        tryCompare(d, "visible", false)
        tryVerify(function () { return win.widthJeu > 0 && win.heightJeu > 0 }, 30000,
                  "the page did not play " + data.file)
        // The page keeps the game's shape.
        verify(Math.abs(win.widthJeu / win.heightJeu - 2) < 0.05, win.widthJeu + "x" + win.heightJeu)
    }
}
