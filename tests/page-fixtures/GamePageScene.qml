import QtQuick 2.15
import QtWebEngine 1.10

// A bare stand-in for the player's window: one web view over the whole
// scene, its default profile set up the way the window sets it up.
Item {
    id: root
    width: 800
    height: 600

    property int lastTicket: 0
    readonly property string currentUrl: web.url.toString()
    readonly property bool loading: web.loading

    signal consoleMessage(string message)
    signal scriptAnswered(int ticket, var value)

    // The address goes in as text, as the window assigns it, so that the
    // same text-to-address conversion happens.
    function load(address, saveFolder) {
        if (saveFolder !== "") {
            web.profile.offTheRecord = false;
            web.profile.persistentCookiesPolicy = WebEngineProfile.AllowPersistentCookies;
            web.profile.persistentStoragePath = saveFolder + "/QtWebEngine";
            web.profile.cachePath = saveFolder + "/cache";
        }
        web.url = address;
    }

    function evaluate(script) {
        var ticket = ++lastTicket;
        web.runJavaScript(script, function (value) {
            root.scriptAnswered(ticket, value);
        });
        return ticket;
    }

    WebEngineView {
        id: web
        anchors.fill: parent
        focus: true
        // What the saved data held before anything on the page ran.
        userScripts: [
            WebEngineScript {
                injectionPoint: WebEngineScript.DocumentCreation
                worldId: WebEngineScript.MainWorld
                sourceCode: "try { window.savesAtStart = JSON.stringify(window.localStorage); }"
                            + " catch (e) { window.savesAtStart = 'unreadable: ' + e; }"
            }
        ]
        onJavaScriptConsoleMessage: root.consoleMessage(message)
        onContextMenuRequested: request.accepted = true
    }
}
