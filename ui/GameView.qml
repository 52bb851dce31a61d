import QtQuick 2.15
import QtWebEngine 1.8
import "lib/addresses.js" as Addresses
import "lib/layout.js" as Layout
import "lib/theme.js" as Theme

// The view that shows the game page or an internet page: it follows what
// each new address means for the game and the bezel, recovers from a
// renderer that dies, reads the page's size report to place the bezel
// around the game, and ends the game (its last saves) before it is left.
WebEngineView {
    id: view

    focus: true
    // The backdrop shows around the game (and before any page); an
    // internet page gets the usual white behind it.
    backgroundColor: Addresses.isInternetAddress(window.adresseEnCoursUrl) ? Theme.INTERNET_PAGE : "transparent"

    // The game's rectangle in the view, in the page's whole pixels.
    function gameRectangle() {
        return Layout.gameRectangle(width, height, window.widthJeu, window.heightJeu)
    }

    // Every page or game the view is sent to starts with a clean record:
    // its first renderer crash gets a reload, whatever the one before did.
    function openPage(address) {
        window.rendererCrashes = 0
        view.url = address
    }

    // A game writes what it has not flushed when its player ends (as Flash
    // did): the page ends it and hands every object to the player before
    // the view leaves it. Bounded, so a page that never answers holds
    // nothing up; with no game on screen, next runs at once.
    property var afterGameEnds: null

    function endGameThen(next) {
        if (!window.isSWF || typeof saves === "undefined") {
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

    // An internet page may open its links in this view: internet addresses
    // only, and never while a game is shown.
    function followNewViewRequest(url) {
        if (!window.isSWF && Addresses.isFollowableAddress(url))
            openPage(url)
    }

    function receptionDonnees() {
        var bezel = Layout.bezelRectangle(gameRectangle())
        screenBezel.width = bezel.width
        screenBezel.height = bezel.height
        screenBezel.x = bezel.x
        screenBezel.y = bezel.y
    }

    onUrlChanged: {
        window.adresseEnCoursUrl = url.toString()
        var state = Addresses.stateForAddress(window.adresseEnCoursUrl, window.bezelActifOrigine,
                                              window.bezelActif)
        window.bezelActif = state.bezelActif
        window.isSWF = state.isSWF
    }

    onNewViewRequested: followNewViewRequest(request.requestedUrl.toString())

    // A renderer that dies takes the game with it: load the page again,
    // once; a second end in a row gets a message instead of a loop.
    onRenderProcessTerminated: {
        if (terminationStatus === WebEngineView.NormalTerminationStatus || window.closingDown)
            return
        window.rendererCrashes += 1
        maintenance.reportProblem("the web engine's renderer ended abnormally (status "
                                  + terminationStatus + ", code " + exitCode + ")"
                                  + (window.rendererCrashes === 1 ? "; loading the page again" : ""))
        if (window.rendererCrashes === 1)
            reloadTimer.start()
        else
            jeuArreteDialog.open()
    }

    onContextMenuRequested: request.accepted = true

    // Only the page's size report is answered, and the read can never
    // raise an error, which would be one more console message.
    onJavaScriptConsoleMessage: {
        if (window.isSWF && Layout.gameFailureReason(message) !== "")
            window.gameCouldNotStart(Layout.gameFailureReason(message))
        if (window.isSWF && Layout.asksForFreshPage(message))
            view.reload()
        if (!window.isSWF || !Layout.isSizeReport(message))
            return
        view.runJavaScript(Layout.SIZE_QUERY, function (size) {
            if (!size || !Layout.isReportedSize(size[0], size[1]))
                return
            window.widthJeu = size[0]
            window.heightJeu = size[1]
            receptionDonnees()
        })
    }

    Component.onCompleted: window.configureWebEngine()

    Timer {
        id: reloadTimer
        interval: 500
        onTriggered: view.reload()
    }

    // Only the address the window opened may turn into a game this way: a
    // page's own downloads never steer the view.
    Connections {
        target: view.profile
        function onDownloadRequested(download) {
            var url = download.url.toString()
            if (download.mimeType !== "application/x-shockwave-flash" || window.addressAskedFor === ""
                    || url !== view.url.toString() && url !== window.addressAskedFor)
                return
            download.cancel()
            window.showingStartupGame = window.addressAskedFor === window.source
            window.source = window.addressAskedFor
            window.addressAskedFor = ""
            window.swfwidth = window.swfheight = ""
            window.showSource()
        }
    }
}
