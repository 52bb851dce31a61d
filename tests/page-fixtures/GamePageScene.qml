import QtQuick 2.15
import QtWebEngine 1.10

// A bare stand-in for the player's window: one web view over the whole
// scene, its default profile set up the way the window sets it up.
Item {
    id: root
    width: 800
    height: 600

    property int lastTicket: 0
    property string saveFolder: ""
    readonly property var web: viewLoader.item
    readonly property string currentUrl: web ? web.url.toString() : ""
    readonly property bool loading: web ? web.loading : false

    signal consoleMessage(string message)
    signal scriptAnswered(int ticket, var value)

    // The address goes in as text, as the window assigns it, so that the
    // same text-to-address conversion happens. The view is made on the
    // first call: the engine fixes where the profile keeps local storage
    // once a view of that profile is up, so the save folder has to be set
    // before (the first call's folder holds for the whole run).
    function load(address, folder) {
        if (!viewLoader.active) {
            saveFolder = folder;
            viewLoader.active = true;
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

    Loader {
        id: viewLoader
        anchors.fill: parent
        focus: true
        active: false
        sourceComponent: WebEngineView {
            focus: true
            onJavaScriptConsoleMessage: root.consoleMessage(message)
            onContextMenuRequested: request.accepted = true
            Component.onCompleted: {
                profile.offTheRecord = false;
                profile.persistentCookiesPolicy = WebEngineProfile.AllowPersistentCookies;
                if (root.saveFolder !== "") {
                    profile.persistentStoragePath = root.saveFolder + "/QtWebEngine";
                    profile.cachePath = root.saveFolder + "/cache";
                }
            }
        }
    }
}
