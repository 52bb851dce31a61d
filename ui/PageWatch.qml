import QtQuick 2.15
import QtWebEngine 1.10
import "lib/layout.js" as Layout

// Keeps the game page alive or says it is gone. A renderer that dies takes
// the game with it: the page is loaded again, once; a second end in a row
// gets a message instead of a loop. A game page that stops answering (a
// movie stuck in a loop that Ruffle never leaves) cannot say so itself: the
// page is asked for a trifle now and then, and one silent for too long has
// stopped; it is let go, so that it keeps no core busy behind the message.
QtObject {
    id: watch

    property WebEngineView view: null
    // A game page is up and nothing has been said about it yet.
    property bool gameShown: false
    // The window is closing: the renderer's end is expected then.
    property bool closing: false
    // Abnormal ends of the renderer since the view was last sent somewhere.
    property int rendererCrashes: 0

    signal rendererLost()
    signal pageStuck(string reason)

    // Every page or game the view is sent to starts with a clean record:
    // its first renderer crash gets a reload, whatever the one before did.
    function forgetCrashes() {
        rendererCrashes = 0
    }

    function rendererEnded(terminationStatus, exitCode) {
        if (terminationStatus === WebEngineView.NormalTerminationStatus || closing)
            return
        rendererCrashes += 1
        maintenance.reportProblem("the web engine's renderer ended abnormally (status "
                                  + terminationStatus + ", code " + exitCode + ")"
                                  + (rendererCrashes === 1 ? "; loading the page again" : ""))
        if (rendererCrashes === 1)
            reloadTimer.start()
        else
            rendererLost()
    }

    property real askedAt: 0

    function checkPageAnswers() {
        var now = Date.now()
        if (askedAt > 0) {
            if (now - askedAt > Layout.STUCK_PAGE_MS) {
                askedAt = 0
                pageStuck("the game page stopped answering for " + Layout.STUCK_PAGE_MS / 1000 + " s")
                discardStuckPage()
            }
            return
        }
        askedAt = now
        var page = view.url.toString()
        view.runJavaScript("0", function () {
            if (view.url.toString() === page)
                askedAt = 0
        })
    }

    // The engine discards only a page that is not shown.
    function discardStuckPage() {
        view.visible = false
        view.lifecycleState = WebEngineView.LifecycleState.Discarded
    }

    property Connections viewEvents: Connections {
        target: watch.view
        function onRenderProcessTerminated(terminationStatus, exitCode) {
            watch.rendererEnded(terminationStatus, exitCode)
        }
        function onLoadingChanged() {
            watch.askedAt = 0
        }
        function onPageOpened() {
            watch.forgetCrashes()
        }
    }

    property Timer answerCheck: Timer {
        interval: 2000
        repeat: true
        // Not over a renderer that died twice: that has its own message.
        running: watch.view !== null && watch.gameShown && !watch.view.loading && watch.rendererCrashes < 2
        onTriggered: watch.checkPageAnswers()
        onRunningChanged: watch.askedAt = 0
    }

    property Timer reloadTimer: Timer {
        interval: 500
        onTriggered: watch.view.reload()
    }
}
