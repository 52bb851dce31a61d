import QtQuick 2.15
import QtWebEngine 1.10
import "lib/addresses.js" as Addresses
import "lib/layout.js" as Layout
import "lib/theme.js" as Theme

// The view that shows the game page or an internet page, and what its page
// says: the size it shows the game at, a game that cannot start or that
// stopped, WebGL news for the renderer's memory. It ends the game (its
// last saves) before it is left. What an address means for the window is
// the window's to decide; keeping the page alive is PageWatch's.
WebEngineView {
    id: view

    focus: true
    // The window says whether a game page is up: only then are the page's
    // words about a game believed.
    property bool gameShown: false
    // The size the page last reported showing the game at (0 before any).
    property real reportedWidth: 0
    property real reportedHeight: 0

    signal pageOpened(string address)
    signal gameCouldNotStart(string reason)
    signal gameStopped(string reason)
    // A page asks for a new window: the window decides whether to follow.
    signal newPageAsked(string address)
    // A server answered an address with a movie instead of a page.
    signal movieOffered(string address)

    // The backdrop shows around the game (and before any page); an
    // internet page gets the usual white behind it.
    backgroundColor: Addresses.isInternetAddress(url) ? Theme.INTERNET_PAGE : "transparent"

    function openPage(address) {
        pageOpened(address)
        view.url = address
    }

    // A game writes what it has not flushed when its player ends (as Flash
    // did): the page ends it and hands every object to the player before
    // the view leaves it. Bounded, so a page that never answers holds
    // nothing up; with no game on screen, next runs at once.
    property var afterGameEnds: null

    function endGameThen(next) {
        if (!gameShown || typeof saves === "undefined") {
            next()
            return
        }
        afterGameEnds = next
        gameEndingBound.restart()
        view.runJavaScript("typeof vorlumenEndGame === 'function' && vorlumenEndGame()", gameEnded)
    }

    function gameEnded() {
        gameEndingBound.stop()
        var next = afterGameEnds
        afterGameEnds = null
        if (next)
            next()
    }

    Timer {
        id: gameEndingBound
        interval: 3000
        onTriggered: view.gameEnded()
    }

    onNewViewRequested: newPageAsked(request.requestedUrl.toString())

    onContextMenuRequested: request.accepted = true

    // The player remembers, per game, whether it needs WebGL.
    function reportWebGlNews(news) {
        if (news === "needed")
            maintenance.reportGameNeedsWebGl()
        else if (news === "failed")
            maintenance.reportWebGlFailed()
        else if (news === "played")
            maintenance.reportWebGlPlayed()
    }

    // The size comes whole in its message: nothing is asked of the page.
    function readGamePageMessage(message) {
        if (Layout.gameFailureReason(message) !== "")
            gameCouldNotStart(Layout.gameFailureReason(message))
        if (Layout.gameStoppedReason(message) !== "")
            gameStopped(Layout.gameStoppedReason(message))
        reportWebGlNews(Layout.webGlNews(message))
        if (Layout.asksForFreshPage(message))
            view.reload()
        var size = Layout.reportedSize(message)
        if (size) {
            reportedWidth = size.width
            reportedHeight = size.height
        }
    }

    onJavaScriptConsoleMessage: {
        if (gameShown)
            readGamePageMessage(message)
    }

    // Only the address the window opened may turn into a game this way (the
    // window checks); the view never keeps a movie as a download.
    Connections {
        target: view.profile
        function onDownloadRequested(download) {
            if (download.mimeType !== "application/x-shockwave-flash")
                return
            download.cancel()
            view.movieOffered(download.url.toString())
        }
    }
}
