import QtQuick 2.15
import QtQuick.LocalStorage 2.15
import QtTest 1.15
import "qrc:/Sauvegarde.js" as Storage

// The settings store against a real SQLite database in a temporary home.
TestCase {
    name: "Settings"

    function rowCount() {
        var count = -1
        Storage.openDatabase().transaction(function (tx) {
            count = tx.executeSql("SELECT COUNT(*) AS n FROM config").rows.item(0).n
        })
        return count
    }

    function insertRowAsAnotherTool(link) {
        Storage.openDatabase().transaction(function (tx) {
            tx.executeSql("INSERT INTO config VALUES (?, 0, 1, 0)", [link])
        })
    }

    // Every test starts from an empty store.
    function init() {
        Storage.initialize()
        Storage.deleteConfig()
    }

    function test_firstRun() {
        Storage.initialize()
        compare(JSON.stringify(Storage.getConfig()), JSON.stringify([[], [], [], []]))
        compare(rowCount(), 0)
    }

    function test_saveWritesOneRow() {
        Storage.initialize()
        compare(Storage.setConfig("file:///home/me/Jeux", true, 2, false), "Sauvegardé")
        compare(rowCount(), 1)
        var stored = Storage.getConfig()
        compare(stored[0][0], "file:///home/me/Jeux")
        // Flags come back as numbers.
        compare(stored[1][0], 1)
        compare(typeof stored[1][0], "number")
        compare(stored[2][0], 2)
        compare(stored[3][0], 0)
    }

    function test_secondSaveReplaces() {
        Storage.setConfig("file:///a", true, 1, true)
        Storage.setConfig("file:///b", false, 0, true)
        compare(rowCount(), 1)
        var stored = Storage.getConfig()
        compare(JSON.stringify(stored), JSON.stringify([["file:///b"], [0], [0], [1]]))
    }

    function test_rowFromAnotherTool() {
        Storage.setConfig("file:///first", true, 0, true)
        insertRowAsAnotherTool("file:///second")
        var stored = Storage.getConfig()
        compare(stored[0].length, 2)
        compare(stored[3].length, 2)
        Storage.setConfig("file:///after", true, 0, true)
        compare(rowCount(), 1)
        compare(Storage.getConfig()[0][0], "file:///after")
    }

    function test_failedSaveKeepsThePreviousRow() {
        Storage.setConfig("file:///kept", false, 1, false)
        // NOT NULL refuses the insert: the delete must not have happened either.
        compare(Storage.setConfig(null, true, 0, true), 0)
        compare(rowCount(), 1)
        compare(Storage.getConfig()[0][0], "file:///kept")
    }

    // The folder the window held comes back as it was. SQLite reads text
    // through UTF-16, where a byte of a name that is not UTF-8 (a lone
    // surrogate, host/rawnames.h) would come back as another character.
    function test_folderAddressKeptWhole_data() {
        return [
            { tag: "plain", address: "file:///home/me/Jeux" },
            { tag: "accents and escapes", address: "file:///home/me/jeux é ✓/50%25 %23 %3F" },
            { tag: "not UTF-8", address: "file:///home/g\udcffx/\udce9t\udce9 \udcc3" },
            { tag: "bytes beside a pair", address: "file:///g\ud83c\udfae\udc80\udcbf" }
        ]
    }

    function test_folderAddressKeptWhole(data) {
        verify(Storage.saveSettings(maintenance, { adresseDuNavigateur: data.address, bezelActif: true,
                                                   modeEcran: 0, dateAndTime: true }))
        compare(Storage.restoreSettings(maintenance, "file:///").settings.adresseDuNavigateur, data.address)
    }

    // A row of an earlier build holds the address as plain text.
    function test_earlierRowReadsAsItStands() {
        var address = "file:///home/me/jeux é/50%25 %23"
        insertRowAsAnotherTool(address)
        compare(Storage.restoreSettings(maintenance, "file:///").settings.adresseDuNavigateur, address)
    }

    function test_deleteConfig() {
        Storage.setConfig("file:///x", true, 0, true)
        Storage.deleteConfig()
        compare(rowCount(), 0)
    }
}
