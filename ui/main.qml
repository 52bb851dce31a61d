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

    property string version: "1.0.2"
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
        startMapper()
        configureWebEngine()
        if (Addresses.isInternetAddress(source)) {
            webviewFlash.url = source
            isSWF = false
            return
        }
        if (!maintenance.verifyFile(source)) {
            pasSWFDialog.open()
            isSWF = false
            return
        }
        if (swfwidth === "" || swfheight === "")
            measureSource()
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
        saveSettings()
        Qt.quit()
    }

    function saveSettings() {
        try {
            Storage.setConfig(adresseDuNavigateur, bezelActif, modeEcran, dateAndTime)
        } catch (err) {
            console.warn("Settings not saved:", err)
        }
    }

    // The store's content, or 0 when it cannot be read.
    function readSettings() {
        try {
            return Storage.getConfig()
        } catch (err) {
            console.warn("Settings store unreadable:", err)
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

    // Saved settings, or the defaults on the first run. An unreadable store
    // gives the defaults for this run and is left as it is.
    function restoreSettings() {
        try {
            Storage.initialize()
        } catch (err) {
            console.warn("Settings store unavailable:", err)
        }
        var stored = readSettings()
        if (stored === 0) {
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

    function applyCommandLine(options) {
        if (options.source !== undefined)
            source = options.source
        if (options.swfwidth !== undefined)
            swfwidth = options.swfwidth
        if (options.swfheight !== undefined)
            swfheight = options.swfheight
        if (options.savedataflash !== undefined)
            savedataflash = options.savedataflash
        if (options.profilantimicro !== undefined)
            profilantimicro = options.profilantimicro
        if (options.controleurantimicro !== undefined)
            controleurantimicro = options.controleurantimicro
        if (options.screentype !== undefined)
            screentype = options.screentype
        if (options.folderPictures !== undefined)
            folderPictures = options.folderPictures
        if (options.fullscreen) {
            header.height = 0
            header.opacity = 0
        }
        if (options.nodatetime)
            dateAndTime = false
        if (options.help) {
            aideDialog.open()
            maintenance.printText(Options.terminalHelp(aideTexteAnglais))
        }
        var mode = Options.screenTypeMode(screentype)
        if (screentype !== "" && mode > 0) {
            modeEcran = mode
            screenEmulationSource = Options.overlaySource(mode)
        }
    }

    function startMapper() {
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
        maintenance.setGameFile(source)
        webviewFlash.url = Addresses.gamePageAddress(source, swfwidth, swfheight)
        isSWF = true
    }

    // Loads a local game picked by the user: always measured.
    function probeAndLoad(path) {
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

    function calculerLaPositionJeu() {
        var x = webviewFlash.width / 2 - widthJeu / 2
        var y = webviewFlash.height / 2 - heightJeu / 2
        cadrageCapture.sourceRect = Qt.rect(x, y, widthJeu, heightJeu)
    }

    function capture() {
        calculerLaPositionJeu()
        var started = cadrageCapture.grabToImage(function (result) {
            var useDefaultFolder = folderPictures.length === 0
            var path = Screenshot.screenshotPath(folderPictures, imagePath[0], source)
            if (useDefaultFolder)
                maintenance.createFolder(imagePath[0])
            sauvegardeCapture = result.saveToFile(path) === true
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
        height: 48
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
    }

    Process {
        id: process1
    }

    Button {
        objectName: "exitFullScreenButton"
        flat: true
        icon.source: "qrc:/img/exit-full-screen.svg"
        icon.color: "grey"
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.margins: 10
        opacity: header.visible ? 0 : 0.8
        visible: opacity > 0
        z: webviewFlash.z + 8

        Behavior on opacity {
            NumberAnimation { duration: 500 }
        }

        ToolTip {
            visible: parent.hovered || parent.pressed
            y: parent.height
            text: qsTr("Quitter le plein écran.<br>Quit full screen.")
        }

        onClicked: {
            header.height = 48
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

    Image {
        id: screenBezel
        objectName: "screenBezel"
        source: "qrc:/img/bezel.png"
        fillMode: Image.Stretch
        mipmap: true
        smooth: true
        antialiasing: true
        anchors.centerIn: parent
        width: 0
        height: window.height
        visible: bezelActif
        z: webviewFlash.z + 2
    }

    Image {
        objectName: "background"
        source: "qrc:/img/background.jpg"
        anchors.fill: parent
        fillMode: Image.PreserveAspectCrop
        smooth: true
        antialiasing: true
        z: webviewFlash.z
    }

    ShaderEffectSource {
        id: cadrageCapture
        objectName: "cadrageCapture"
        sourceItem: webviewFlash
        width: widthJeu
        height: heightJeu
        visible: false
    }

    WebEngineView {
        id: webviewFlash
        objectName: "webviewFlash"
        anchors.fill: parent
        focus: true
        backgroundColor: "transparent"

        onUrlChanged: {
            adresseEnCoursUrl = url.toString()
            var state = Addresses.stateForAddress(adresseEnCoursUrl, bezelActifOrigine, bezelActif)
            bezelActif = state.bezelActif
            isSWF = state.isSWF
        }

        onNewViewRequested: {
            if (!isSWF)
                webviewFlash.url = request.requestedUrl
        }

        onContextMenuRequested: request.accepted = true

        onJavaScriptConsoleMessage: {
            webviewFlash.runJavaScript("widthPlay", function (width) {
                if (typeof width === "number" && isFinite(width))
                    widthJeu = width
            })
            webviewFlash.runJavaScript("heightPlay", function (height) {
                if (typeof height === "number" && isFinite(height))
                    heightJeu = height
                receptionDonnees()
            })
        }

        function receptionDonnees() {
            screenBezel.width = widthJeu + 85
            screenBezel.height = heightJeu + 90
        }

        Component.onCompleted: configureWebEngine()
    }

    Dialog {
        id: internetAdresseDialog
        objectName: "internetAdresseDialog"
        modal: true
        focus: true
        width: Math.min(window.width, window.height) * 0.75
        x: (window.width - width) / 2
        y: (window.height - height) / 2
        title: qsTr("<font color='white'>Ouvrir une adresse internet<br>Open an internet address</font>")
        standardButtons: Dialog.Open | Dialog.Cancel

        Component.onCompleted: internetAdresseDialog.standardButton(Dialog.Open).enabled = false

        onAccepted: {
            webviewFlash.url = adresseWebText.text
            adresseWebText.text = ""
            isSWF = false
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

    Dialog {
        id: aProposDialog
        objectName: "aProposDialog"
        modal: true
        focus: true
        width: Math.min(window.width, window.height) * 0.75
        x: (window.width - width) / 2
        y: (window.height - height) / 2
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

    readonly property string aideTexteFrancais: "<u>Lignes de commandes disponibles</u> :<br><br>
                        > <b>-source:</b> - Spécifiez le chemin du fichier SWF (<i>exemple : -source:\"C:/Users/Tamsrel/Downloads/phoenotopia.swf\"</i>).<br>
                        > <b>-swfwidth:</b> - Spécifiez la largeur naturelle du fichier SWF (<i>exemple : -swfwidth:900</i>).<br>
                        > <b>-swfheight:</b> - Spécifiez la hauteur naturelle du fichier SWF (<i>exemple : -swfheight:600</i>).<br>
                        > <b>-savedataflash:</b> - Spécifiez le chemin pour enregistrer les données du jeu Flash (<i>exemple : -savedataflash:\"D:/Playdeck/Flash\"</i>).<br>
                        > <b>-profilantimicro:</b> - Spécifiez le profil que vous souhaitez utiliser dans AntiMicro. Le profil doit être présent dans <b>/Vorlumen/antimicro/profiles</b> (<i>exemple : -profilantimicro:vorlumen.gamecontroller.amgp</i>).<br>
                        > <b>-controleurantimicro:</b> - Appliquez le fichier de configuration AntiMicro à un contrôleur spécifique, indiquez le GUID de votre contrôleur.<br>
                        > <b>-screentype:</b> - Pour simuler un écran CRT, spécifiez <b>crt</b> (<i>exemple : -screentype:crt</i>). Pour simuler le mode Scanlines, spécifiez <b>scanlines</b> (<i>exemple : -screentype:scanlines</i>).<br>
                        > <b>-fullscreen</b> - Pour lancer le jeu Flash en plein écran.<br>
                        > <b>-nodatetime</b> - Supprimer la date et heure.<br>
                        > <b>-picturesfolder:</b> - Spécifiez le chemin pour enregistrer les <b>captures</b>, par défaut, répertoire « <i>Images</i> » (exemple : <i>-picturesfolder:\"D:/Playdeck/Screenshots\"</i>).
                    <br>"
    readonly property string aideTexteAnglais: "<u>Command line options available</u> :<br><br>
                        > <b>-source:</b> - Specify the path of the SWF file (<i>example : -source:\"C:/Users/Tamsrel/Downloads/phoenotopia.swf\"</i>).<br>
                        > <b>-swfwidth:</b> - Specify the natural width of the SWF file (<i>example : -swfwidth:900</i>).<br>
                        > <b>-swfheight:</b> - Specify the natural height of the SWF file (<i>example : -swfheight:600</i>).<br>
                        > <b>-savedataflash:</b> - Specify the path to save game data of the Flash file (<i>example : -savedataflash:\"D:/Playdeck/Flash\"</i>).<br>
                        > <b>-profilantimicro:</b> - Specify the profile you want to use in AntiMicro. The profile must be present in <b>/Vorlumen/antimicro/profiles</b> (<i>example : -profilantimicro:vorlumen.gamecontroller.amgp</i>).<br>
                        > <b>-controleurantimicro:</b> - Apply configuration file AntiMicro to a specific controller, indicate GUID of your controller.<br>
                        > <b>-screentype:</b> - To simulate a CRT screen, specify <b>crt</b> (<i>example : -screentype:crt</i>). To simulate Scanlines, specify <b>scanlines</b> (<i>example : -screentype:scanlines</i>).<br>
                        > <b>-fullscreen</b> - To lauch Flash game in fullscreen.<br>
                        > <b>-nodatetime</b> - Remove date and time.<br>
                        > <b>-picturesfolder:</b> - Specify the path to save <b>screenshots</b>, by default is « <i>Pictures</i> » folder (example : <i>-picturesfolder:\"D:/Playdeck/Screenshots\"</i>).
                    <br>"

    Dialog {
        id: aideDialog
        objectName: "aideDialog"
        modal: true
        focus: true
        width: Math.min(window.width, window.height) * 0.75
        x: (window.width - width) / 2
        y: (window.height - height) / 2
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
                text: qsTr(aideTexteFrancais)
            }

            Label {
                objectName: "aideAnglais"
                width: aideDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 12
                text: qsTr(aideTexteAnglais)
            }
        }
    }

    Dialog {
        id: pasSWFDialog
        objectName: "pasSWFDialog"
        modal: true
        focus: true
        width: Math.min(window.width, window.height) * 0.75
        x: (window.width - width) / 2
        y: (window.height - height) / 2
        title: qsTr("<font color='white'>Vorlumen</font>")
        standardButtons: Dialog.Close

        // A missing game is an error for the caller: a front-end reads the status.
        onClosed: Qt.exit(2)

        Column {
            spacing: 20

            Label {
                width: pasSWFDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 14
                text: qsTr("Fichier non trouvé...<br><br>File not found...")
            }
        }
    }

    Dialog {
        id: quitterVRLDialog
        objectName: "quitterVRLDialog"
        modal: true
        focus: true
        width: Math.min(window.width, window.height) * 0.75
        x: (window.width - width) / 2
        y: (window.height - height) / 2
        title: qsTr("<font color='white'>Quitter/Quit</font>")
        standardButtons: Dialog.Yes | Dialog.No

        onAccepted: window.close()

        Column {
            spacing: 20

            Label {
                width: quitterVRLDialog.availableWidth
                wrapMode: Label.Wrap
                font.pixelSize: 14
                text: qsTr("Voulez-vous quitter <b>Vorlumen</b> ?<br><br>Do you want to quit <b>Vorlumen</b> ?")
            }
        }
    }
}
