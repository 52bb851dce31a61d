import QtQuick 2.15
import QtQuick.Controls 2.13
import QtQuick.Controls.Material 2.13
import QtQuick.Layouts 1.13
import QtQuick.LocalStorage 2.13
import QtQuick.Window 2.13
import QtWebEngine 1.8
import DrivesClass 1.0
import Process 1.0
import "Sauvegarde.js" as Storage
import "lib/options.js" as Options
import "lib/addresses.js" as Addresses
import "lib/screenshot.js" as Screenshot
import "lib/layout.js" as Layout
import "lib/texts.js" as Texts
import "lib/theme.js" as Theme

ApplicationWindow {
    id: window
    width: 800
    height: 600
    visible: true
    visibility: Window.FullScreen
    color: "black"
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
    property string screenEmulationSource: ""
    property string adresseEnCoursUrl: ""
    property string adresseDuNavigateur: ""
    property var informations_dimen_jeu: []
    property var informations_parametres: []
    property bool isSWF: false
    property bool dateAndTime: true
    property bool bezelActif: true
    property bool bezelActifOrigine: true
    property bool sauvegardeCapture: true
    property int modeEcran: 0
    property int lettreLecteurNbr: 0
    property real widthJeu: 0
    property real heightJeu: 0
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
    // Abnormal ends of the view's renderer since the last address was set.
    property int rendererCrashes: 0
    readonly property bool onWindows: Qt.platform.os === "windows"
    readonly property string executableSuffix: onWindows ? ".exe" : ""

    Component.onCompleted: {
        restoreSettings()
        letterLoad = adresseDuNavigateur.toLowerCase().substring(8, 11)
        lettreLecteurNbr = Addresses.driveIndexForFolder(drives, adresseDuNavigateur, onWindows)
        applyCommandLine(Options.parseCommandLine(commandLine))
        fillScreen()
        if (source === "")
            return
        // A relative path means the front-end's working folder, once and for
        // all: the probe, the page and the screenshot name all use this one.
        if (!Addresses.isInternetAddress(source))
            source = maintenance.absolutePath(source)
        startMapper()
        configureWebEngine()
        if (Addresses.isInternetSwfAddress(source)) {
            showingStartupGame = true
            showSource() // its size comes from the movie once it arrives
            return
        }
        if (Addresses.isInternetAddress(source)) {
            addressAskedFor = source
            webviewFlash.url = source
            isSWF = false
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
        saveSettings()
        Qt.quit()
    }

    function saveSettings() {
        var saved = 0
        try {
            saved = Storage.setConfig(adresseDuNavigateur, bezelActif, modeEcran, dateAndTime)
        } catch (err) {
            saved = 0
        }
        if (saved === 0)
            maintenance.reportProblem("the settings could not be saved")
    }

    // The game cannot be played: say why on standard error, show the dialog;
    // closing it ends the player with status 2.
    function refuseSource(problem) {
        maintenance.reportProblem(source + ": " + problem)
        sourceRefused = true
        isSWF = false
        pasSWFDialog.open()
    }

    // The store's content, or 0 when it cannot be read.
    function readSettings() {
        try {
            return Storage.getConfig()
        } catch (err) {
            return 0
        }
    }

    // Without a window manager a full-screen request does nothing; taking the
    // screen's geometry gives the same result.
    function fillScreen() {
        window.x = Screen.virtualX
        window.y = Screen.virtualY
        window.width = Screen.width
        window.height = Screen.height
    }

    function applyStoredSettings(stored) {
        adresseDuNavigateur = String(stored[0])
        modeEcran = parseInt(String(stored[2]))
        screenEmulationSource = Options.overlaySource(modeEcran)
        bezelActif = stored[1] == 1
        bezelActifOrigine = bezelActif
        dateAndTime = stored[3] == 1
    }

    function applyDefaultSettings() {
        adresseDuNavigateur = Addresses.localFolderAddress(applicationDirPath)
        bezelActif = true
        bezelActifOrigine = true
        modeEcran = 0
        screenEmulationSource = ""
        dateAndTime = true
    }

    // The stored settings, or 0 when the store cannot be opened or read.
    function openSettings() {
        try {
            Storage.initialize()
        } catch (err) {
            return 0
        }
        return readSettings()
    }

    // Saved settings, or the defaults on the first run. A damaged store is
    // moved aside (kept, renamed with the date) and a fresh one started, so
    // that settings are saved again from this run on.
    function restoreSettings() {
        var stored = openSettings()
        if (stored === 0) {
            var aside = maintenance.setAsideBrokenDatabase(Storage.databaseName)
            if (aside !== "") {
                maintenance.reportProblem("the settings store was damaged; kept as " + aside
                                          + ", starting a new one")
                stored = openSettings()
            }
        }
        if (stored === 0) {
            maintenance.reportProblem("the settings store cannot be read; using the defaults")
            applyDefaultSettings()
            return
        }
        if (stored[0].length === 0) {
            applyDefaultSettings()
            saveSettings()
            return
        }
        informations_parametres = readSettings()
        applyStoredSettings(informations_parametres === 0 ? stored : informations_parametres)
    }

    // Values go to the window's properties of the same names; flags act.
    function applyCommandLine(options) {
        Options.valueKeys().forEach(function (key) {
            if (options[key] !== undefined)
                window[key] = options[key]
        })
        if (options.fullscreen) {
            header.height = 0
            header.opacity = 0
        }
        if (options.nodatetime)
            dateAndTime = false
        if (options.help) {
            aideDialog.open()
            maintenance.printText(Options.terminalHelp(Texts.HELP_ENGLISH))
        }
        var mode = Options.screenTypeMode(screentype)
        if (screentype !== "" && mode > 0) {
            modeEcran = mode
            screenEmulationSource = Options.overlaySource(mode)
        }
    }

    function startMapper() {
        if (profilantimicro !== "" && !Options.isProfileFileName(profilantimicro)) {
            maintenance.reportProblem("-profilantimicro: takes a file name in antimicro/profiles/, not "
                                      + profilantimicro + "; no mapper started")
            return
        }
        var command = Options.mapperCommand(applicationDirPath, profilantimicro,
                                            controleurantimicro, onWindows)
        if (command)
            process0.start(command.program, command.arguments)
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
        rendererCrashes = 0
        maintenance.setGameFile(source)
        webviewFlash.url = Addresses.gamePageAddress(source, swfwidth, swfheight)
        isSWF = true
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

    // An internet page may open its links in this view: internet addresses
    // only, and never while a game is shown.
    function followNewViewRequest(url) {
        if (!isSWF && Addresses.isFollowableAddress(url))
            webviewFlash.url = url
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
        createWindowGames(webviewFlash.profile)
    }

    // The game's rectangle in the view, in the page's whole pixels.
    function gameRectangle() {
        return Layout.gameRectangle(webviewFlash.width, webviewFlash.height, widthJeu, heightJeu)
    }

    function calculerLaPositionJeu() {
        var game = gameRectangle()
        cadrageCapture.sourceRect = Qt.rect(game.x, game.y, game.width, game.height)
    }

    function capture() {
        calculerLaPositionJeu()
        cadrageCapture.scheduleUpdate()
        var started = cadrageCapture.grabToImage(function (result) {
            var useDefaultFolder = folderPictures.length === 0
            var path = Screenshot.screenshotPath(folderPictures, imagePath[0], source)
            if (useDefaultFolder)
                maintenance.createFolder(imagePath[0])
            // Written whole or not at all: a full disk leaves no partial file.
            sauvegardeCapture = maintenance.saveImage(result.image, path) === true
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
        height: Theme.HEADER_HEIGHT
        opacity: 1
        visible: opacity > 0
        z: 999
    }

    Navigateur {
        id: drawerFlash
        objectName: "drawerFlash"
    }

    Infos {
        id: media
        objectName: "media"
    }

    DateHeure {
        id: tempsHeure
        objectName: "tempsHeure"
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

    Process {
        id: process0

        onStartFailed: {
            if (!closingDown)
                maintenance.reportProblem("the gamepad mapper could not start: " + reason)
        }
        onEnded: {
            if (!closingDown)
                maintenance.reportProblem("the gamepad mapper ended (status " + exitCode
                                          + (crashed ? ", crashed" : "") + "); the game goes on without it")
        }
    }

    Process {
        id: process1
    }

    Button {
        objectName: "exitFullScreenButton"
        flat: true
        icon.source: "qrc:/img/exit-full-screen.svg"
        icon.color: Theme.TOOL_ON
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.margins: 10
        opacity: header.visible ? 0 : 0.8
        visible: opacity > 0
        z: webviewFlash.z + 8

        Behavior on opacity {
            NumberAnimation { duration: Theme.FADE_MS }
        }

        ToolTip {
            visible: parent.hovered || parent.pressed
            y: parent.height
            text: qsTr("Quitter le plein écran.<br>Quit full screen.")
        }

        onClicked: {
            header.height = Theme.HEADER_HEIGHT
            header.opacity = 1
        }
    }

    MouseArea {
        id: mouseAreaPerso
        objectName: "mouseAreaPerso"
        anchors.fill: parent
        hoverEnabled: true
        preventStealing: true
        propagateComposedEvents: true
        z: header.z - 1

        onPressed: mouse.accepted = false
        onReleased: mouse.accepted = false
        onClicked: mouse.accepted = false
        onDoubleClicked: mouse.accepted = false
        onPressAndHold: mouse.accepted = false
        onPositionChanged: {
            cursorPerso.x = mouseX - cursorPerso.width / 2
            cursorPerso.y = mouseY - cursorPerso.width / 2
            mouse.accepted = false
        }
    }

    Rectangle {
        id: cursorPerso
        objectName: "cursorPerso"
        width: 8
        height: width
        radius: width
        color: "red"
        opacity: 0.4
        z: mouseAreaPerso.z + 10
    }

    Image {
        objectName: "screenOverlay"
        anchors.fill: screenBezel
        source: screenEmulationSource
        opacity: 0.8
        mipmap: true
        smooth: true
        antialiasing: true
        fillMode: modeEcran === 1 ? Image.TileVertically : Image.TileHorizontally
        verticalAlignment: Image.AlignLeft
        visible: screenBezel.visible
        z: webviewFlash.z + 1
    }

    // Fixed borders, so that the opening is exactly the game's rectangle at
    // every size; placed by the size report (receptionDonnees).
    BorderImage {
        id: screenBezel
        objectName: "screenBezel"
        source: "qrc:/img/bezel.png"
        asynchronous: true
        border.left: Layout.BEZEL_BORDER_LEFT
        border.right: Layout.BEZEL_BORDER_RIGHT
        border.top: Layout.BEZEL_BORDER_TOP
        border.bottom: Layout.BEZEL_BORDER_BOTTOM
        horizontalTileMode: BorderImage.Stretch
        verticalTileMode: BorderImage.Stretch
        smooth: true
        antialiasing: true
        x: (window.width - width) / 2
        y: (window.height - height) / 2
        width: 0
        height: window.height
        visible: bezelActif
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

    // Rendered only when a screenshot is taken (capture asks for one
    // update): a live copy of the view would cost a texture every frame.
    ShaderEffectSource {
        id: cadrageCapture
        objectName: "cadrageCapture"
        sourceItem: webviewFlash
        width: widthJeu
        height: heightJeu
        visible: false
        live: false
    }

    WebEngineView {
        id: webviewFlash
        objectName: "webviewFlash"
        anchors.fill: parent
        focus: true
        // The backdrop shows around the game (and before any page); an
        // internet page gets the usual white behind it.
        backgroundColor: Addresses.isInternetAddress(adresseEnCoursUrl) ? "white" : "transparent"

        onUrlChanged: {
            adresseEnCoursUrl = url.toString()
            var state = Addresses.stateForAddress(adresseEnCoursUrl, bezelActifOrigine, bezelActif)
            bezelActif = state.bezelActif
            isSWF = state.isSWF
        }

        onNewViewRequested: followNewViewRequest(request.requestedUrl.toString())

        // A renderer that dies takes the game with it: load the page again,
        // once; a second end in a row gets a message instead of a loop.
        onRenderProcessTerminated: {
            if (terminationStatus === WebEngineView.NormalTerminationStatus || closingDown)
                return
            rendererCrashes += 1
            maintenance.reportProblem("the web engine's renderer ended abnormally (status "
                                      + terminationStatus + ", code " + exitCode + ")"
                                      + (rendererCrashes === 1 ? "; loading the page again" : ""))
            if (rendererCrashes === 1)
                reloadTimer.start()
            else
                jeuArreteDialog.open()
        }


        onContextMenuRequested: request.accepted = true

        // Only the page's size report is answered, and the read can never
        // raise an error, which would be one more console message.
        onJavaScriptConsoleMessage: {
            if (isSWF && Layout.gameFailureReason(message) !== "")
                gameCouldNotStart(Layout.gameFailureReason(message))
            if (!isSWF || !Layout.isSizeReport(message))
                return
            webviewFlash.runJavaScript(Layout.SIZE_QUERY, function (size) {
                if (!size || !Layout.isReportedSize(size[0], size[1]))
                    return
                widthJeu = size[0]
                heightJeu = size[1]
                receptionDonnees()
            })
        }

        function receptionDonnees() {
            var bezel = Layout.bezelRectangle(gameRectangle())
            screenBezel.width = bezel.width
            screenBezel.height = bezel.height
            screenBezel.x = bezel.x
            screenBezel.y = bezel.y
        }

        Component.onCompleted: configureWebEngine()
    }

    ShellDialog {
        id: internetAdresseDialog
        objectName: "internetAdresseDialog"
        title: qsTr("<font color='white'>Ouvrir une adresse internet<br>Open an internet address</font>")
        standardButtons: Dialog.Open | Dialog.Cancel

        Component.onCompleted: internetAdresseDialog.standardButton(Dialog.Open).enabled = false

        onAccepted: {
            showingStartupGame = false
            if (Addresses.isInternetSwfAddress(adresseWebText.text)) {
                source = adresseWebText.text
                swfwidth = swfheight = ""
                showSource()
            } else {
                addressAskedFor = adresseWebText.text
                webviewFlash.url = adresseWebText.text
                isSWF = false
            }
            adresseWebText.text = ""
        }

        Column {
            spacing: 5

            TextField {
                id: adresseWebText
                objectName: "adresseWebText"
                width: internetAdresseDialog.availableWidth
                selectByMouse: true
                placeholderText: qsTr("Adresse internet/internet address (https://....)")
                validator: RegExpValidator {
                    regExp: Addresses.validatorExpression()
                }
                onTextEdited: internetAdresseDialog.standardButton(Dialog.Open).enabled = acceptableInput
                onTextChanged: internetAdresseDialog.standardButton(Dialog.Open).enabled = acceptableInput
            }
        }
    }

    ShellDialog {
        id: aProposDialog
        objectName: "aProposDialog"
        title: qsTr("<font color='white'>À propos/About</font>")
        standardButtons: Dialog.Close

        Column {
            id: aProposColumn
            anchors.fill: parent
            spacing: 5

            Image {
                source: "qrc:/img/icon.png"
                width: 180
                fillMode: Image.PreserveAspectFit
                mipmap: true
                antialiasing: true
                smooth: true
            }

            Label {
                width: aProposDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 14
                text: qsTr("<b>Vorlumen</b> est un logiciel très simple qui vous permet de lire vos fichiers Flash (SWF) en local ou depuis une adresse internet. Il fut initialement développé pour les Bornes d'Arcade.<br><br>
                       <b>Vorlumen</b> is a very simple software which allows you to play your Flash files (SWF) locally or from an internet address. It was originally developed for Arcade Cabinet.<br>")
            }

            Label {
                width: aProposDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 14
                text: qsTr("Réalisé par l'équipe Vorlumen / Made by the Vorlumen team.<br>")
            }

            Label {
                width: aProposDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 14
                text: qsTr("<i>Avec Qt, Qt WebEngine et Ruffle / Built with Qt, Qt WebEngine and Ruffle.</i><br>")
            }

            Label {
                objectName: "versionLabel"
                width: aProposDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 14
                text: qsTr("Version " + version + " (" + build + ").")
            }
        }
    }

    ShellDialog {
        id: aideDialog
        objectName: "aideDialog"
        title: qsTr("<font color='white'>Aide/Help</font>")
        standardButtons: Dialog.Close

        Column {
            id: aideColumn
            spacing: 5

            Label {
                objectName: "aideFrancais"
                width: aideDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 12
                text: qsTr(Texts.HELP_FRENCH)
            }

            Label {
                objectName: "aideAnglais"
                width: aideDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 12
                text: qsTr(Texts.HELP_ENGLISH)
            }
        }
    }

    ShellMessage {
        id: pasSWFDialog
        objectName: "pasSWFDialog"
        title: qsTr("<font color='white'>Vorlumen</font>")
        standardButtons: Dialog.Close

        // A missing game is an error for the caller: a front-end reads the status.
        onClosed: Qt.exit(2)
        message: qsTr("Fichier non trouvé...<br><br>File not found...")
    }

    // Only the address the window opened may turn into a game this way: a
    // page's own downloads never steer the view.
    Connections {
        target: webviewFlash.profile
        function onDownloadRequested(download) {
            var url = download.url.toString()
            if (download.mimeType !== "application/x-shockwave-flash" || addressAskedFor === ""
                    || url !== webviewFlash.url.toString() && url !== addressAskedFor)
                return
            download.cancel()
            showingStartupGame = addressAskedFor === source
            source = addressAskedFor
            addressAskedFor = ""
            swfwidth = swfheight = ""
            showSource()
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
            jeuInternetDialog.message = qsTr("Le jeu n'a pas pu être lu depuis internet.<br><br>"
                                             + "The game could not be read from the internet.")
                    + "<br><br><i>" + String(problem).replace(/&/g, "&amp;").replace(/</g, "&lt;") + "</i>"
            jeuInternetDialog.open()
        }
    }

    // Ruffle cannot play the movie (its error panel, a panic, a movie that
    // never starts): its reason on stderr and on screen; the game of the
    // command line then ends the player with status 2, as a bad file does.
    function gameCouldNotStart(problem) {
        maintenance.reportProblem(source + ": " + problem)
        if (showingStartupGame)
            sourceRefused = true
        jeuImpossibleDialog.message = qsTr("Le jeu n'a pas pu démarrer.<br><br>The game could not start.")
                + "<br><br><i>" + String(problem).replace(/&/g, "&amp;").replace(/</g, "&lt;") + "</i>"
        jeuImpossibleDialog.open()
    }

    ShellMessage {
        id: jeuImpossibleDialog
        objectName: "jeuImpossibleDialog"
        title: qsTr("<font color='white'>Vorlumen</font>")
        standardButtons: Dialog.Close

        onClosed: if (sourceRefused) Qt.exit(2)
    }

    ShellMessage {
        id: jeuInternetDialog
        objectName: "jeuInternetDialog"
        title: qsTr("<font color='white'>Vorlumen</font>")
        standardButtons: Dialog.Close
    }

    Timer {
        id: reloadTimer
        interval: 500
        onTriggered: webviewFlash.reload()
    }

    ShellMessage {
        id: jeuArreteDialog
        objectName: "jeuArreteDialog"
        title: qsTr("<font color='white'>Vorlumen</font>")
        standardButtons: Dialog.Close

        // Nothing more to play: offer to quit.
        onClosed: quitterVRLDialog.open()
        message: qsTr("Le jeu s'est arrêté de façon inattendue.<br><br>The game stopped unexpectedly.")
    }

    ShellMessage {
        id: quitterVRLDialog
        objectName: "quitterVRLDialog"
        title: qsTr("<font color='white'>Quitter/Quit</font>")
        standardButtons: Dialog.Yes | Dialog.No

        onAccepted: window.close()
        message: qsTr("Voulez-vous quitter <b>Vorlumen</b> ?<br><br>Do you want to quit <b>Vorlumen</b> ?")
    }
}
