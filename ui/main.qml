import QtQuick 2.15
import QtQuick.Controls 2.13
import QtQuick.Controls.Material 2.13
import QtQuick.LocalStorage 2.13
import QtQuick.Window 2.13
import QtWebEngine 1.8
import DrivesClass 1.0
import Process 1.0
import Gamepads 1.0
import "Sauvegarde.js" as Storage
import "lib/options.js" as Options
import "lib/addresses.js" as Addresses
import "lib/screenshot.js" as Screenshot
import "lib/frame.js" as Frame
import "lib/layout.js" as Layout
import "lib/texts.js" as Texts
import "lib/theme.js" as Theme

// The window owns the player's state: every property below is written here
// and only here. The pieces it holds show that state through their own
// properties and ask for changes with signals, which the window answers
// through one function each (openAddress, showHeader, setScreenMode,
// chooseBezel...).
ApplicationWindow {
    id: window
    width: 800
    height: 600
    visible: true
    visibility: Window.FullScreen
    color: Theme.WINDOW
    title: qsTr("Vorlumen (Tamsrel)")
    Material.theme: Material.Dark
    Material.accent: Material.BlueGrey
    Material.primary: Material.BlueGrey

    property string version: Qt.application.version
    property string build: "11/04/2021"
    property string letterLoad: ""
    property string source: ""
    property string swfwidth: ""
    property string swfheight: ""
    property string savedataflash: ""
    property string folderPictures: ""
    property string profilantimicro: ""
    property string controleurantimicro: ""
    property string screentype: ""
    // The overlay of the screen mode (none in mode 0).
    readonly property string screenEmulationSource: Options.overlaySource(modeEcran)
    // The address the view shows now.
    readonly property string adresseEnCoursUrl: webviewFlash.url.toString()
    property string adresseDuNavigateur: ""
    property var informations_dimen_jeu: []
    property var informations_parametres: []
    // The view shows the game page (of a local or an internet game).
    readonly property bool isSWF: Addresses.isGamePageAddress(adresseEnCoursUrl)
    property bool dateAndTime: true
    // The bezel shows: as the user chose it, and never on another page.
    readonly property bool bezelActif: Addresses.bezelShownFor(adresseEnCoursUrl, bezelActifOrigine)
    // The user's bezel choice, the one saved.
    property bool bezelActifOrigine: true
    property bool headerShown: true
    property bool sauvegardeCapture: true
    property int modeEcran: 0
    property int lettreLecteurNbr: 0
    // The size the game page shows the game at, as it last reported it.
    readonly property real widthJeu: webviewFlash.reportedWidth
    readonly property real heightJeu: webviewFlash.reportedHeight
    property var drives: aDrive.drives

    // Set once the web engine profile has been configured for this run.
    property bool webEngineReady: false
    // The game given could not be played: closing ends with status 2 and
    // saves nothing, however the window is closed.
    property bool sourceRefused: false
    // The game of the command line is still the one shown: if its movie
    // fails or cannot start, that is a bad source for the front-end.
    property bool showingStartupGame: false
    // The internet address the window itself last opened as a page: if its
    // server answers with a SWF, that is a game to play, not a download.
    property string addressAskedFor: ""
    // The window is closing: the mapper ending now is expected.
    property bool closingDown: false
    // The closing has ended the game on screen (its last saves written).
    property bool gameEndedForClosing: false
    // With the page's 3 s (GameView), within the 15 s after which a stopped
    // player ends itself.
    readonly property int savesWriteWaitMs: 5000
    // The game's rectangle in the view, in the page's whole pixels: what
    // the bezel frames and what a screenshot keeps.
    readonly property rect cadrageCapture: {
        var game = Layout.gameRectangle(webviewFlash.width, webviewFlash.height, widthJeu, heightJeu)
        return Qt.rect(game.x, game.y, game.width, game.height)
    }
    // A dialog or the drawer is open: the pads answer it, not the game.
    readonly property bool shellOpen: drawerFlash.opened || internetAdresseDialog.visible
                                      || aProposDialog.visible || aideDialog.visible || pasSWFDialog.visible
                                      || gameCannotStartDialog.visible || internetGameFailedDialog.visible
                                      || rendererLostDialog.visible || gameStoppedDialog.visible
                                      || quitterVRLDialog.visible
    readonly property bool onWindows: Qt.platform.os === "windows"
    readonly property string executableSuffix: onWindows ? ".exe" : ""

    Component.onCompleted: {
        restoreSettings()
        letterLoad = adresseDuNavigateur.toLowerCase().substring(8, 11)
        lettreLecteurNbr = Addresses.driveIndexForFolder(drives, adresseDuNavigateur, onWindows)
        applyCommandLine(startOptions)
        fillScreen()
        if (source === "")
            return
        // A relative path means the front-end's working folder, once and for
        // all: the probe, the page and the screenshot name all use this one.
        if (!Addresses.isInternetAddress(source))
            source = maintenance.absolutePath(source)
        process0.startForGame()
        configureWebEngine()
        if (Addresses.isInternetAddress(source)) {
            openAddress(source, "start") // a movie's size comes once it arrives
            return
        }
        var problem = maintenance.gameFileProblem(source)
        if (problem !== "") {
            refuseSource(problem)
            return
        }
        if (swfwidth === "" || swfheight === "")
            measureSource()
        showingStartupGame = true
        showSource()
    }

    onActiveChanged: {
        if (active) {
            window.visibility = Window.FullScreen
            window.showFullScreen()
            fillScreen()
        }
    }

    onClosing: {
        if (sourceRefused) {
            // Kept open: closing the last window would quit with status 0.
            close.accepted = false
            closingDown = true
            Qt.exit(2)
            return
        }
        closingDown = true
        // The game's last writes first (bounded), then the settings.
        if (isSWF && !gameEndedForClosing) {
            close.accepted = false
            webviewFlash.endGameThen(function () {
                gameEndedForClosing = true
                window.close()
            })
            return
        }
        if (typeof saves !== "undefined" && !saves.waitForWrites(savesWriteWaitMs))
            maintenance.reportProblem("the last saves were still being written at the stop")
        saveSettings()
        Qt.quit()
    }

    // Every address the window is sent to comes through here, whoever asks:
    // "start" (the command line), "dialog" (the address dialog), "page" (a
    // page's own link to a new window), "movie" (a server that answered the
    // address the window asked for with a movie). An internet movie plays in
    // the game page; any other address opens as a page, once the game shown
    // has ended.
    function openAddress(address, origin) {
        if (origin === "movie" || Addresses.isInternetSwfAddress(address)) {
            showingStartupGame = origin === "start" || origin === "movie" && addressAskedFor === source
            if (origin === "movie")
                addressAskedFor = ""
            source = address
            swfwidth = swfheight = ""
            showSource()
            return
        }
        if (origin !== "start")
            showingStartupGame = false
        // Only an address the window chose may turn into a game when its
        // server answers with a movie: a page's own links never may.
        if (origin !== "page")
            addressAskedFor = address
        webviewFlash.endGameThen(function () {
            webviewFlash.openPage(address)
        })
    }

    // An internet page may open its links in this view: internet addresses
    // only, and never while a game is shown.
    function followNewViewRequest(address) {
        if (!isSWF && Addresses.isFollowableAddress(address))
            openAddress(address, "page")
    }

    // A movie offered as a download is played only when it answers the
    // address the window asked for.
    function playOfferedMovie(address) {
        if (addressAskedFor !== "" && (address === adresseEnCoursUrl || address === addressAskedFor))
            openAddress(address, "movie")
    }

    // One click moves 0 -> 1 -> 2 -> 0; a mode outside 0..2 goes to 0.
    function setScreenMode(mode) {
        modeEcran = mode >= 0 && mode <= 2 ? mode : 0
    }

    function nextScreenMode() {
        setScreenMode(modeEcran + 1)
    }

    function chooseBezel(shown) {
        bezelActifOrigine = shown
    }

    // Hidden: the header's height at once, then its fade; shown again by the
    // exit-full-screen button.
    function showHeader(shown) {
        headerShown = shown
    }

    function showClock(shown) {
        dateAndTime = shown
    }

    // The drawer's folder, kept with the settings.
    function keepFolder(address) {
        adresseDuNavigateur = address
    }

    function saveSettings() {
        // The user's bezel choice, not what an internet page forced off.
        Storage.saveSettings(maintenance, { adresseDuNavigateur: adresseDuNavigateur, bezelActif: bezelActifOrigine,
                                            modeEcran: modeEcran, dateAndTime: dateAndTime })
    }

    // Saved settings, or the defaults on the first run (then saved at once).
    function restoreSettings() {
        var start = Storage.restoreSettings(maintenance, Addresses.localFolderAddress(applicationDirPath))
        adresseDuNavigateur = start.settings.adresseDuNavigateur
        bezelActifOrigine = start.settings.bezelActif
        modeEcran = start.settings.modeEcran
        dateAndTime = start.settings.dateAndTime
        if (start.firstRun)
            saveSettings()
        else if (start.stored !== 0)
            informations_parametres = start.stored
    }

    // The game cannot be played: say why on standard error, show the dialog;
    // closing it ends the player with status 2.
    function refuseSource(problem) {
        maintenance.reportProblem(source + ": " + problem)
        sourceRefused = true
        pasSWFDialog.open()
    }

    // Without a window manager a full-screen request does nothing; taking the
    // screen's geometry gives the same result.
    function fillScreen() {
        window.x = Screen.virtualX
        window.y = Screen.virtualY
        window.width = Screen.width
        window.height = Screen.height
    }

    // Values (texts) go to the window's properties of the same names; flags
    // (true) act.
    function applyCommandLine(options) {
        Object.keys(options).forEach(function (key) {
            if (typeof options[key] === "string")
                window[key] = options[key]
        })
        if (options.fullscreen)
            showHeader(false)
        if (options.nodatetime)
            showClock(false)
        if (options.help) {
            aideDialog.open()
            maintenance.printText(Options.terminalHelp(Texts.HELP_ENGLISH))
        }
        var mode = Options.screenTypeMode(screentype)
        if (screentype !== "" && mode > 0)
            setScreenMode(mode)
    }

    // Measures `source` with the size probe into the size-probe file, then
    // reads the file. Runs the probe directly: no shell ever sees the path.
    function measureSource() {
        var probeFile = dataPath[0] + "/swf.txt"
        process1.executeToFile(applicationDirPath + "/swfdump" + executableSuffix,
                               ["-X", "-Y", source], probeFile)
        readTextFile(Addresses.localFolderAddress(probeFile))
    }

    function showSource() {
        var game = source
        var address = Addresses.gamePageAddress(source, swfwidth, swfheight)
        // The game on screen writes into its own place, not the next one's.
        webviewFlash.endGameThen(function () {
            maintenance.setGameFile(game)
            webviewFlash.openPage(address)
        })
    }

    // Loads a local game picked by the user: always measured.
    function probeAndLoad(path) {
        showingStartupGame = false
        source = path
        measureSource()
        showSource()
    }

    function readTextFile(file) {
        var request = new XMLHttpRequest()
        request.open("GET", file, false)
        request.onreadystatechange = function () {
            if (request.readyState === XMLHttpRequest.DONE
                    && (request.status === 200 || request.status === 0)) {
                var probe = Addresses.parseProbeOutput(request.responseText)
                informations_dimen_jeu = probe.tokens
                swfwidth = probe.width
                swfheight = probe.height
            }
        }
        try {
            request.send("")
        } catch (err) {
            console.warn("Size-probe file unreadable:", err)
        }
    }

    function createWindowGames(profile) {
        profile.httpAcceptLanguage = "fr-FR"
        profile.offTheRecord = false
        profile.httpCacheType = WebEngineProfile.DiskHttpCache
        profile.persistentCookiesPolicy = WebEngineProfile.AllowPersistentCookies
        if (savedataflash !== "") {
            if (!maintenance.isWritableFolder(savedataflash))
                maintenance.reportProblem("-savedataflash: " + savedataflash
                                          + " is not a writable folder; games may not save")
            profile.cachePath = savedataflash + "/cache"
            profile.persistentStoragePath = savedataflash + "/QtWebEngine"
        }
    }

    // The profile must know where saves go before the first page loads, so
    // the start-up step calls this before it sets an address.
    function configureWebEngine() {
        if (webEngineReady)
            return
        webEngineReady = true
        WebEngine.settings.autoLoadImages = true
        WebEngine.settings.pluginsEnabled = true
        WebEngine.settings.localStorageEnabled = true
        if (savedataflash !== "" && typeof saves !== "undefined")
            saves.setFolder(savedataflash)
        createWindowGames(webviewFlash.profile)
    }

    // The view is grabbed once and the game's rectangle cut out of it: a
    // live copy of the view would cost a texture every frame, and the
    // software scene graph grabs no hidden item.
    function capture() {
        var part = cadrageCapture
        var viewWidth = webviewFlash.width
        // No game shown yet: nothing to grab.
        var started = part.width > 0 && part.height > 0 && webviewFlash.grabToImage(function (result) {
            var useDefaultFolder = folderPictures.length === 0
            var path = Screenshot.screenshotPath(folderPictures, imagePath[0], source)
            if (useDefaultFolder)
                maintenance.createFolder(imagePath[0])
            // Written whole or not at all: a full disk leaves no partial file.
            sauvegardeCapture = maintenance.saveImagePart(result.image, part, viewWidth, path) === true
            if (!sauvegardeCapture)
                maintenance.reportProblem("the screenshot could not be written to " + path)
        })
        // A grab that cannot start has no outcome to wait for: say so.
        if (!started)
            sauvegardeCapture = false
        media.ouvrir()
    }

    Header {
        id: header
        objectName: "header"
        x: 0
        y: 0
        width: parent.width
        z: 999
        shown: headerShown
        gameShown: isSWF
        bezelShown: bezelActif
        screenMode: modeEcran
        clockShown: dateAndTime

        onDrawerAsked: drawerFlash.open()
        onAddressAsked: internetAdresseDialog.open()
        onAboutAsked: aProposDialog.open()
        onBezelToggled: chooseBezel(!bezelActifOrigine)
        onScreenModeAdvanced: nextScreenMode()
        onClockToggled: showClock(!dateAndTime)
        onScreenshotAsked: capture()
        onHideAsked: showHeader(false)
        onMinimizeAsked: window.showMinimized()
        onQuitAsked: quitterVRLDialog.open()
    }

    Navigateur {
        id: drawerFlash
        objectName: "drawerFlash"
        folderAddress: adresseDuNavigateur
        drives: window.drives
        driveIndex: lettreLecteurNbr

        onFolderShown: keepFolder(address)
        onGamePicked: probeAndLoad(path)
    }

    Infos {
        id: media
        objectName: "media"
        screenshotSaved: sauvegardeCapture
    }

    // In the game view's bottom-right corner.
    DateHeure {
        id: tempsHeure
        objectName: "tempsHeure"
        anchors.right: webviewFlash.right
        anchors.bottom: webviewFlash.bottom
        anchors.margins: Theme.SPACING
        visible: dateAndTime
        z: webviewFlash.z + 5
    }

    Shortcut {
        sequence: "ESC"
        onActivated: quitterVRLDialog.open()
    }

    Shortcut {
        sequence: "Ctrl+S"
        enabled: isSWF
        onActivated: capture()
    }

    DrivesClass {
        id: aDrive
    }

    GamepadMapper {
        id: process0
        profile: profilantimicro
        controller: controleurantimicro
        closing: closingDown
    }

    Process {
        id: process1
    }

    // The pads, beside the mapper: a running mapper owns the game's keys and
    // the dialogs' (it types them); the quit combination is always the player's.
    Gamepads {
        id: pads
        objectName: "pads"
        gameView: webviewFlash
        gameKeys: !process0.ownsGame && !shellOpen
        shellKeys: !process0.ownsGame && shellOpen
        gameFile: isSWF && !Addresses.isInternetAddress(source) ? source : ""

        onQuitAsked: if (!quitterVRLDialog.visible) quitterVRLDialog.open()
        onQuitNow: window.close()
        onPadConnected: media.announce(qsTr(Texts.PAD_CONNECTED).arg(name))
        onPadDisconnected: media.announce(qsTr(Texts.PAD_DISCONNECTED).arg(name))
        onProblem: {
            maintenance.reportProblem(text)
            media.announce(qsTr(Texts.PAD_PROBLEM))
        }
    }

    ExitFullScreenButton {
        objectName: "exitFullScreenButton"
        headerVisible: header.visible
        onClicked: showHeader(true)
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.margins: Theme.EDGE_MARGIN
        z: webviewFlash.z + 8
    }

    PointerDot {
        id: mouseAreaPerso
        objectName: "mouseAreaPerso"
        anchors.fill: parent
        z: header.z - 1
    }

    Image {
        objectName: "screenOverlay"
        anchors.fill: screenBezel
        source: screenEmulationSource
        opacity: Theme.OVERLAY_OPACITY
        mipmap: true
        smooth: true
        antialiasing: true
        fillMode: modeEcran === 1 ? Image.TileVertically : Image.TileHorizontally
        verticalAlignment: Image.AlignLeft
        visible: screenBezel.visible
        z: webviewFlash.z + 1
    }

    // Fixed borders, so that the opening is exactly the game's rectangle at
    // every size: it frames the game wherever the page shows it.
    BorderImage {
        id: screenBezel
        objectName: "screenBezel"
        source: "qrc:/img/bezel.png"
        asynchronous: true
        border.left: Frame.BEZEL_BORDER_LEFT
        border.right: Frame.BEZEL_BORDER_RIGHT
        border.top: Frame.BEZEL_BORDER_TOP
        border.bottom: Frame.BEZEL_BORDER_BOTTOM
        horizontalTileMode: BorderImage.Stretch
        verticalTileMode: BorderImage.Stretch
        smooth: true
        antialiasing: true
        readonly property var frame: Layout.bezelRectangle(cadrageCapture)
        x: frame.x
        y: frame.y
        width: frame.width
        height: frame.height
        // Around a game page's game once its size is known.
        visible: bezelActif && isSWF && cadrageCapture.width > 0
        z: webviewFlash.z + 2
    }

    // Decoded off the GUI thread and at the screen's size: the first frame
    // blocks the GUI thread (the web engine's too) until it is drawn, and
    // the page is loading then.
    Image {
        objectName: "background"
        source: "qrc:/img/background.jpg"
        asynchronous: true
        sourceSize.width: Screen.width
        sourceSize.height: Screen.height
        anchors.fill: parent
        fillMode: Image.PreserveAspectCrop
        smooth: true
        antialiasing: true
        z: webviewFlash.z
    }

    GameView {
        id: webviewFlash
        objectName: "webviewFlash"
        anchors.fill: parent
        gameShown: isSWF

        // The profile must know where saves go before the first page.
        Component.onCompleted: configureWebEngine()
        onGameCouldNotStart: window.gameCouldNotStart(reason)
        onGameStopped: window.gameStopped(reason)
        onNewPageAsked: followNewViewRequest(address)
        onMovieOffered: playOfferedMovie(address)
    }

    PageWatch {
        id: pageWatch
        objectName: "pageWatch"
        view: webviewFlash
        gameShown: isSWF && !gameStoppedShown
        closing: closingDown

        onRendererLost: rendererLostDialog.open()
        onPageStuck: gameStopped(reason)
    }

    AddressDialog {
        id: internetAdresseDialog
        objectName: "internetAdresseDialog"

        onAddressChosen: openAddress(address, "dialog")
    }

    AboutDialog {
        id: aProposDialog
        objectName: "aProposDialog"
        version: window.version
        build: window.build
    }

    HelpDialog {
        id: aideDialog
        objectName: "aideDialog"
    }

    ShellMessage {
        id: pasSWFDialog
        objectName: "pasSWFDialog"

        // A missing game is an error for the caller: a front-end reads the status.
        onClosed: Qt.exit(2)
        message: qsTr("Fichier non trouvé...<br><br>File not found...")
    }

    // Saves that cannot be written: the host said why on stderr, once;
    // the banner says it on screen and the game plays on.
    Connections {
        target: typeof saves !== "undefined" ? saves : null
        function onProblem(text) {
            media.tellProblem(qsTr(Texts.SAVES_NOT_WRITTEN))
        }
    }

    // An internet game whose movie did not arrive (a 404, a page named .swf,
    // a dead server): say so rather than leave Ruffle's own panel alone.
    Connections {
        target: maintenance
        function onInternetGameFailed(problem) {
            if (showingStartupGame) {
                refuseSource(problem)
                return
            }
            maintenance.reportProblem(source + ": " + problem)
            internetGameFailedDialog.showProblem(qsTr(Texts.INTERNET_GAME_FAILED), problem)
        }
    }

    // Ruffle cannot play the movie (its error panel, a panic, a movie that
    // never starts): its reason on stderr and on screen; the game of the
    // command line then ends the player with status 2, as a bad file does.
    function gameCouldNotStart(problem) {
        maintenance.reportProblem(source + ": " + problem)
        if (showingStartupGame)
            sourceRefused = true
        gameCannotStartDialog.showProblem(qsTr(Texts.GAME_CANNOT_START), problem)
    }

    // A game that had started failed (an uncaught error of its page,
    // Ruffle's core left locked, a page that stopped answering): its reason
    // on stderr and on screen. Not a start failure: the settings are kept
    // and closing the message ends the player as a quit does.
    property bool gameStoppedShown: false

    function gameStopped(problem) {
        if (gameStoppedShown)
            return
        gameStoppedShown = true
        maintenance.reportProblem(source + ": " + problem)
        gameStoppedDialog.showProblem(qsTr(Texts.GAME_STOPPED), problem)
    }

    ShellMessage {
        id: gameStoppedDialog
        objectName: "gameStoppedDialog"

        onClosed: window.close()
    }

    ShellMessage {
        id: gameCannotStartDialog
        objectName: "gameCannotStartDialog"

        onClosed: if (sourceRefused) Qt.exit(2)
    }

    ShellMessage {
        id: internetGameFailedDialog
        objectName: "internetGameFailedDialog"
    }

    ShellMessage {
        id: rendererLostDialog
        objectName: "rendererLostDialog"

        // Nothing more to play: offer to quit.
        onClosed: quitterVRLDialog.open()
        message: qsTr(Texts.GAME_STOPPED)
    }

    ShellMessage {
        id: quitterVRLDialog
        objectName: "quitterVRLDialog"
        title: Theme.dialogTitle(qsTr("Quitter/Quit"))
        standardButtons: Dialog.Yes | Dialog.No
        // Return, Space or a pad's A quits at once.
        firstButton: Dialog.Yes

        onAccepted: window.close()
        message: qsTr("Voulez-vous quitter <b>Vorlumen</b> ?<br><br>Do you want to quit <b>Vorlumen</b> ?")
    }
}
