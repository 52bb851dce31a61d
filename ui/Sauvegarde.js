// The four settings kept between runs: the drawer's folder, the bezel, the
// screen mode and the clock, in one row of the table `config`. The window
// reads them once at start (restoreSettings) and writes them once at closing
// (saveSettings).
.import QtQuick.LocalStorage 2.15 as Sql
.import "lib/addresses.js" as Addresses

var databaseName = "VorlumenDB";

function openDatabase() {
    return Sql.LocalStorage.openDatabaseSync(databaseName, "1.0", "SQL", 100000000);
}

function initialize() {
    var db = openDatabase();
    db.transaction(function (tx) {
        tx.executeSql("CREATE TABLE IF NOT EXISTS config (navigateurLink TEXT NOT NULL, bezelActifData INTEGER NOT NULL, modeEcranData INTEGER NOT NULL, dateAndTimeData INTEGER NOT NULL)");
    });
}

// Replaces the stored row in one transaction. The new row goes in first and
// only then are the others removed, so a failing insert (which the local
// storage module still commits) leaves the previous row in place.
function setConfig(navigateurLink, bezelActifData, modeEcranData, dateAndTimeData) {
    var db = openDatabase();
    var res = "";
    try {
        db.transaction(function (tx) {
            var rs = tx.executeSql("INSERT OR REPLACE INTO config VALUES (?, ?, ?, ?);",
                                   [navigateurLink, bezelActifData, modeEcranData, dateAndTimeData]);
            tx.executeSql("DELETE FROM config WHERE rowid <> ?", [rs.insertId]);
            if (rs.rowsAffected > 0)
                res = "Sauvegardé";
        });
    } catch (err) {
        res = 0;
    }
    return res;
}

function getConfig() {
    var db = openDatabase();
    var res = [[], [], [], []];
    try {
        db.transaction(function (tx) {
            var rs = tx.executeSql("SELECT navigateurLink, bezelActifData, modeEcranData, dateAndTimeData FROM config");
            for (var i = 0; i < rs.rows.length; i++) {
                var row = rs.rows.item(i);
                res[0].push(row.navigateurLink);
                res[1].push(row.bezelActifData);
                res[2].push(row.modeEcranData);
                res[3].push(row.dateAndTimeData);
            }
        });
    } catch (err) {
        res = 0;
    }
    return res;
}

function deleteConfig() {
    var db = openDatabase();
    db.transaction(function (tx) {
        tx.executeSql("DELETE FROM config");
    });
}

// The stored row, or 0 when the store cannot be opened or read.
function openAndRead() {
    try {
        initialize();
    } catch (err) {
        return 0;
    }
    return getConfig();
}

// The settings a first run starts with: the drawer in the program's folder,
// the bezel and the clock shown, no screen emulation.
function defaultSettings(programFolderAddress) {
    return { adresseDuNavigateur: programFolderAddress, bezelActif: true, modeEcran: 0, dateAndTime: true };
}

// The settings of a stored row (flags come back as the numbers 1 and 0).
function settingsFromRow(stored) {
    return {
        adresseDuNavigateur: Addresses.addressFromStore(stored[0]),
        bezelActif: stored[1] == 1,
        modeEcran: parseInt(String(stored[2])),
        dateAndTime: stored[3] == 1
    };
}

// What the window starts with, from one read of the store:
//   settings  the four values, saved ones or the defaults
//   stored    the row as read (0 when none could be read)
//   firstRun  the store holds no row yet: the window saves the defaults.
// A damaged store is moved aside (kept, renamed with the date) and a fresh
// one started, so that settings are saved again from this run on. `host`
// sets the store aside and reports on standard error.
function restoreSettings(host, programFolderAddress) {
    var stored = openAndRead();
    if (stored === 0) {
        var aside = host.setAsideBrokenDatabase(databaseName);
        if (aside !== "") {
            host.reportProblem("the settings store was damaged; kept as " + aside + ", starting a new one");
            stored = openAndRead();
        }
    }
    if (stored === 0) {
        host.reportProblem("the settings store cannot be read; using the defaults");
        return { settings: defaultSettings(programFolderAddress), stored: 0, firstRun: false };
    }
    if (stored[0].length === 0)
        return { settings: defaultSettings(programFolderAddress), stored: stored, firstRun: true };
    return { settings: settingsFromRow(stored), stored: stored, firstRun: false };
}

// Writes the four values; a failure is reported on standard error.
function saveSettings(host, settings) {
    var saved = 0;
    try {
        saved = setConfig(Addresses.storableAddress(settings.adresseDuNavigateur), settings.bezelActif, settings.modeEcran,
                          settings.dateAndTime);
    } catch (err) {
        saved = 0;
    }
    if (saved === 0)
        host.reportProblem("the settings could not be saved");
    return saved !== 0;
}
