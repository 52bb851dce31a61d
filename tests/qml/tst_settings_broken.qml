import QtQuick 2.15
import QtQuick.LocalStorage 2.15
import QtTest 1.15

// A settings store that cannot be read: the window starts on the defaults,
// keeps the damaged file aside (renamed with the date) and saves into a new
// store, so the next start finds the settings again.
TestCase {
    name: "BrokenSettings"
    when: windowShown

    readonly property string versionFile: "[General]\nDescription=SQL\nDriver=QSQLITE\nEstimatedSize=100000000\nName=VorlumenDB\nVersion=1.0\n"

    function createWindow(args) {
        testHost.setCommandLine(args)
        var component = Qt.createComponent("qrc:/main")
        compare(component.status, Component.Ready, component.errorString())
        var win = component.createObject(null)
        verify(win !== null)
        return win
    }

    function cleanup() {
        var file = testHost.settingsDatabaseFile()
        var folder = file.substring(0, file.lastIndexOf("/"))
        testHost.forgetSettingsConnection()
        verify(testHost.removePath(folder))
    }

    function test_damagedStore_data() {
        return [
            { tag: "garbage without its version file", damage: "garbage", ini: false },
            { tag: "garbage with its version file", damage: "garbage", ini: true },
            { tag: "truncated database", damage: "truncated", ini: true },
            { tag: "a folder in its place", damage: "folder", ini: false }
        ]
    }

    function damage(file, kind) {
        if (kind === "garbage")
            return testHost.writeFile(file, "this is not a database, just text ".repeat(200))
        if (kind === "folder")
            return testHost.makePath(file + "/inside")
        // A real store cut short: its header promises pages that are gone.
        var first = createWindow(["-nodatetime"])
        first.saveSettings()
        first.destroy()
        wait(0)
        testHost.forgetSettingsConnection()
        var bytes = testHost.readFile(file)
        return bytes.length > 0 && testHost.writeFile(file, "SQLite format 3\u0000" + "\u0010\u0000\u0001\u0001\u0000@  \u0000\u0000\u0000\u0009\u0000\u0000\u0000\u0009")
    }

    function test_damagedStore(data) {
        var file = testHost.settingsDatabaseFile()
        var folder = file.substring(0, file.lastIndexOf("/"))
        verify(damage(file, data.damage))
        if (data.ini)
            verify(testHost.writeFile(file.replace(/\.sqlite$/, ".ini"), versionFile))
        var win = createWindow(["-nodatetime", "-screentype:crt"])
        compare(win.bezelActif, true)
        compare(win.modeEcran, 1)
        compare(win.dateAndTime, false)
        compare(win.adresseDuNavigateur, "file:///" + testHost.buildDir.replace(/^\/+/, ""))
        // The damaged store is kept aside, renamed with the date.
        var names = testHost.listFolder(folder)
        verify(names.some(function (name) { return /\.sqlite\.broken-\d{8}-\d{6}$/.test(name) }),
               JSON.stringify(names))
        win.saveSettings()
        win.destroy()
        wait(0)
        testHost.forgetSettingsConnection()
        // The next start finds what this one saved.
        var next = createWindow([])
        compare(next.modeEcran, 1)
        compare(next.dateAndTime, false)
        next.destroy()
        wait(0)
    }
}
