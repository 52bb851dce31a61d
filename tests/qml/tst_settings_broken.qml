import QtQuick 2.15
import QtQuick.LocalStorage 2.15
import QtTest 1.15

// A settings store that cannot be read: the window starts on the defaults,
// shows them, and does not lose the broken file's place for the next save.
TestCase {
    name: "BrokenSettings"
    when: windowShown

    function test_unreadableStore_data() {
        return [
            { tag: "garbage without its version file", ini: false },
            { tag: "garbage with its version file", ini: true }
        ]
    }

    function test_unreadableStore(data) {
        var file = testHost.settingsDatabaseFile()
        verify(testHost.writeFile(file, "this is not a database, just text ".repeat(200)))
        if (data.ini)
            verify(testHost.writeFile(file.replace(/\.sqlite$/, ".ini"),
                                      "[General]\nDescription=SQL\nDriver=QSQLITE\nEstimatedSize=100000000\nName=VorlumenDB\nVersion=1.0\n"))
        testHost.setCommandLine(["-nodatetime"])
        var component = Qt.createComponent("qrc:/main")
        compare(component.status, Component.Ready, component.errorString())
        var win = component.createObject(null)
        verify(win !== null)
        compare(win.bezelActif, true)
        compare(win.modeEcran, 0)
        compare(win.dateAndTime, false)
        compare(win.adresseDuNavigateur, "file:///" + testHost.buildDir.replace(/^\/+/, ""))
        // Closing saves nothing into a broken store, and does not throw.
        win.saveSettings()
        win.destroy()
    }
}
