import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "lib/options.js" as Options
import "lib/theme.js" as Theme

// The strip of tool buttons across the top of the window. It holds no state
// of its own: every button reads and writes the window's shared properties.
// No background, so the game shows through it.
Rectangle {
    id: headerBar
    color: "transparent"

    Behavior on opacity {
        NumberAnimation { duration: Theme.FADE_MS }
    }

    // "grey" while usable or on, "firebrick" while disabled or off.
    function toolColor(on) {
        return Theme.toolColor(on)
    }

    // One click moves 0 -> 1 -> 2 -> 0; a mode outside 0..2 goes to 0 with
    // the overlay emptied, so the value never stays out of range.
    function nextScreenMode() {
        window.modeEcran = window.modeEcran + 1
        window.screenEmulationSource = Options.overlaySource(window.modeEcran)
        if (window.modeEcran > 2)
            window.modeEcran = 0
    }

    function screenModeBadgeText(mode) {
        switch (mode) {
        case 0:
            return "X"
        case 1:
            return "CRT"
        case 2:
            return "SCNL"
        default:
            return ""
        }
    }

    // Height first, at once, then the fade: when the opacity reaches 0 the
    // window's binding hides the bar and the exit-full-screen button appears.
    function hideHeader() {
        headerBar.height = 0
        headerBar.opacity = 0
    }

    RowLayout {
        anchors.fill: parent

        ToolTipButton {
            objectName: "swfButton"
            icon.source: "qrc:/img/swf-file.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Ouvrir un fichier SWF.<br>Open a SWF file.")
            onClicked: drawerFlash.open()
        }

        ToolTipButton {
            objectName: "internetButton"
            icon.source: "qrc:/img/internet.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Ouvrir une adresse internet (Flash).<br>Open an internet address (Flash).")
            onClicked: internetAdresseDialog.open()
        }

        Label {
            id: titreLogiciel
            objectName: "titreLogiciel"
            text: qsTr("Vorlumen")
            font.pixelSize: Theme.TEXT_LARGE
            font.bold: true
            elide: Label.ElideRight
            horizontalAlignment: Qt.AlignHCenter
            verticalAlignment: Qt.AlignVCenter
            Layout.fillWidth: true
            color: "transparent"
        }

        ToolTipButton {
            objectName: "aboutButton"
            icon.source: "qrc:/img/about.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("À propos.<br>About.")
            onClicked: aProposDialog.open()
        }

        ToolTipButton {
            id: bezelButton
            objectName: "bezelButton"
            icon.source: "qrc:/img/layers.svg"
            icon.color: toolColor(enabled)
            enabled: window.isSWF
            tip: qsTr("Activer/désactiver la décoration (cela désactive aussi le CRT/SCANLINES).<br>Enable/disable bezel (this also disables CRT/SCANLINES).")
            onClicked: {
                window.bezelActif = !window.bezelActif
                window.bezelActifOrigine = window.bezelActif
            }

            ModeBadge {
                objectName: "bezelBadge"
                labelObjectName: "bezelBadgeLabel"
                visible: !window.bezelActif
                text: "X"
            }
        }

        ToolTipButton {
            id: screenModeButton
            objectName: "screenModeButton"
            icon.source: "qrc:/img/screen_mod.svg"
            icon.color: toolColor(enabled)
            enabled: window.isSWF
            tip: qsTr("Changer le mode d'écran (CRT, Scanlines) - cliquez plusieurs fois.<br>Change screen mode (CRT, Scanlines) - click several times.")
            onClicked: nextScreenMode()

            ModeBadge {
                objectName: "screenModeBadge"
                labelObjectName: "screenModeBadgeLabel"
                text: screenModeBadgeText(window.modeEcran)
            }
        }

        ToolTipButton {
            objectName: "dateTimeButton"
            icon.source: "qrc:/img/date-time.svg"
            icon.color: toolColor(window.dateAndTime)
            tip: qsTr("Activer/désactiver la date et l'heure.<br>Enable/disable date and time.")
            onClicked: window.dateAndTime = !window.dateAndTime
        }

        ToolTipButton {
            objectName: "screenshotButton"
            icon.source: "qrc:/img/camera.svg"
            icon.color: toolColor(enabled)
            enabled: window.isSWF
            tip: qsTr("Capture d'écran (vers le répertoire « <i>Images</i> »).<br>Screenshot (to « <i>Pictures</i> » folder).")
            onClicked: capture()
        }

        ToolTipButton {
            objectName: "fullScreenButton"
            icon.source: "qrc:/img/full-screen.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Plein écran.<br>Full screen.")
            onClicked: hideHeader()
        }

        ToolTipButton {
            objectName: "minimizeButton"
            icon.source: "qrc:/img/minimize.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Réduire.<br>Minimize.")
            onClicked: window.showMinimized()
        }

        ToolTipButton {
            objectName: "quitButton"
            icon.source: "qrc:/img/close.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Quitter.<br>Quit.")
            onClicked: quitterVRLDialog.open()
        }
    }
}
