import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "lib/theme.js" as Theme

// The strip of tool buttons across the top of the window. It shows the
// window's state and asks the window for changes: it keeps none of its own.
// No background, so the game shows through it.
Rectangle {
    id: headerBar
    color: "transparent"

    // What the buttons show, from the window.
    property bool shown: true
    property bool gameShown: false
    property bool bezelShown: true
    property int screenMode: 0
    property bool clockShown: true

    signal drawerAsked()
    signal addressAsked()
    signal aboutAsked()
    signal bezelToggled()
    signal screenModeAdvanced()
    signal clockToggled()
    signal screenshotAsked()
    signal hideAsked()
    signal minimizeAsked()
    signal quitAsked()

    // Height first, at once, then the fade: when the opacity reaches 0 the
    // bar hides and the exit-full-screen button appears.
    height: shown ? Theme.HEADER_HEIGHT : 0
    opacity: shown ? 1 : 0
    visible: opacity > 0

    Behavior on opacity {
        NumberAnimation { duration: Theme.FADE_MS }
    }

    // "grey" while usable or on, "firebrick" while disabled or off.
    function toolColor(on) {
        return Theme.toolColor(on)
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

    RowLayout {
        anchors.fill: parent

        ToolTipButton {
            objectName: "swfButton"
            icon.source: "qrc:/img/swf-file.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Ouvrir un fichier SWF.<br>Open a SWF file.")
            onClicked: drawerAsked()
        }

        ToolTipButton {
            objectName: "internetButton"
            icon.source: "qrc:/img/internet.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Ouvrir une adresse internet (Flash).<br>Open an internet address (Flash).")
            onClicked: addressAsked()
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
            onClicked: aboutAsked()
        }

        ToolTipButton {
            id: bezelButton
            objectName: "bezelButton"
            icon.source: "qrc:/img/layers.svg"
            icon.color: toolColor(enabled)
            enabled: gameShown
            tip: qsTr("Activer/désactiver la décoration (cela désactive aussi le CRT/SCANLINES).<br>Enable/disable bezel (this also disables CRT/SCANLINES).")
            onClicked: bezelToggled()

            ModeBadge {
                objectName: "bezelBadge"
                labelObjectName: "bezelBadgeLabel"
                visible: !bezelShown
                text: "X"
            }
        }

        ToolTipButton {
            id: screenModeButton
            objectName: "screenModeButton"
            icon.source: "qrc:/img/screen_mod.svg"
            icon.color: toolColor(enabled)
            enabled: gameShown
            tip: qsTr("Changer le mode d'écran (CRT, Scanlines) - cliquez plusieurs fois.<br>Change screen mode (CRT, Scanlines) - click several times.")
            onClicked: screenModeAdvanced()

            ModeBadge {
                objectName: "screenModeBadge"
                labelObjectName: "screenModeBadgeLabel"
                text: screenModeBadgeText(screenMode)
            }
        }

        ToolTipButton {
            objectName: "dateTimeButton"
            icon.source: "qrc:/img/date-time.svg"
            icon.color: toolColor(clockShown)
            tip: qsTr("Activer/désactiver la date et l'heure.<br>Enable/disable date and time.")
            onClicked: clockToggled()
        }

        ToolTipButton {
            objectName: "screenshotButton"
            icon.source: "qrc:/img/camera.svg"
            icon.color: toolColor(enabled)
            enabled: gameShown
            tip: qsTr("Capture d'écran (vers le répertoire « <i>Images</i> »).<br>Screenshot (to « <i>Pictures</i> » folder).")
            onClicked: screenshotAsked()
        }

        ToolTipButton {
            objectName: "fullScreenButton"
            icon.source: "qrc:/img/full-screen.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Plein écran.<br>Full screen.")
            onClicked: hideAsked()
        }

        ToolTipButton {
            objectName: "minimizeButton"
            icon.source: "qrc:/img/minimize.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Réduire.<br>Minimize.")
            onClicked: minimizeAsked()
        }

        ToolTipButton {
            objectName: "quitButton"
            icon.source: "qrc:/img/close.svg"
            icon.color: Theme.TOOL_ON
            tip: qsTr("Quitter.<br>Quit.")
            onClicked: quitAsked()
        }
    }
}
