// The four settings kept between runs: the drawer's folder, the bezel, the
// screen mode and the clock, in one row of the table `config`.
// The importing document must import QtQuick.LocalStorage.

var databaseName = "VorlumenDB";

function openDatabase() {
    return LocalStorage.openDatabaseSync(databaseName, "1.0", "SQL", 100000000);
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
