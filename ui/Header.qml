import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "lib/options.js" as Options

// The strip of tool buttons across the top of the window. It holds no state
// of its own: every button reads and writes the window's shared properties.
// No background, so the game shows through it.
Rectangle {
    id: headerBar
    color: "transparent"

    Behavior on opacity {
        NumberAnimation { duration: 500 }
    }

    // "grey" while usable or on, "firebrick" while disabled or off.
    function toolColor(on) {
        return on ? "grey" : "firebrick"
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

        ToolButton {
            objectName: "swfButton"
            icon.source: "qrc:/img/swf-file.svg"
            icon.color: "grey"
            onClicked: drawerFlash.open()

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Ouvrir un fichier SWF.<br>Open a SWF file.")
            }
        }

        ToolButton {
            objectName: "internetButton"
            icon.source: "qrc:/img/internet.svg"
            icon.color: "grey"
            onClicked: internetAdresseDialog.open()

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Ouvrir une adresse internet (Flash).<br>Open an internet address (Flash).")
            }
        }

        Label {
            id: titreLogiciel
            objectName: "titreLogiciel"
            text: qsTr("Vorlumen")
            font.pixelSize: 18
            font.bold: true
            elide: Label.ElideRight
            horizontalAlignment: Qt.AlignHCenter
            verticalAlignment: Qt.AlignVCenter
            Layout.fillWidth: true
            color: "transparent"
        }

        ToolButton {
            objectName: "aboutButton"
            icon.source: "qrc:/img/about.svg"
            icon.color: "grey"
            onClicked: aProposDialog.open()

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("À propos.<br>About.")
            }
        }

        ToolButton {
            id: bezelButton
            objectName: "bezelButton"
            icon.source: "qrc:/img/layers.svg"
            icon.color: toolColor(enabled)
            enabled: window.isSWF
            onClicked: {
                window.bezelActif = !window.bezelActif
                window.bezelActifOrigine = window.bezelActif
            }

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Activer/désactiver la décoration (cela désactive aussi le CRT/SCANLINES).<br>Enable/disable bezel (this also disables CRT/SCANLINES).")
            }

            Rectangle {
                objectName: "bezelBadge"
                width: 20
                height: width
                radius: width
                color: Qt.darker("#2c3940")
                opacity: 0.8
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 5
                z: bezelButton.z + 10
                visible: !window.bezelActif

                Label {
                    objectName: "bezelBadgeLabel"
                    anchors.centerIn: parent
                    font.pixelSize: 8
                    text: "X"
                }
            }
        }

        ToolButton {
            id: screenModeButton
            objectName: "screenModeButton"
            icon.source: "qrc:/img/screen_mod.svg"
            icon.color: toolColor(enabled)
            enabled: window.isSWF
            onClicked: nextScreenMode()

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Changer le mode d'écran (CRT, Scanlines) - cliquez plusieurs fois.<br>Change screen mode (CRT, Scanlines) - click several times.")
            }

            Rectangle {
                objectName: "screenModeBadge"
                width: 20
                height: width
                radius: width
                color: Qt.darker("#2c3940")
                opacity: 0.8
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 5
                z: screenModeButton.z + 10

                Label {
                    objectName: "screenModeBadgeLabel"
                    anchors.centerIn: parent
                    font.pixelSize: 8
                    text: screenModeBadgeText(window.modeEcran)
                }
            }
        }

        ToolButton {
            objectName: "dateTimeButton"
            icon.source: "qrc:/img/date-time.svg"
            icon.color: toolColor(window.dateAndTime)
            onClicked: window.dateAndTime = !window.dateAndTime

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Activer/désactiver la date et l'heure.<br>Enable/disable date and time.")
            }
        }

        ToolButton {
            objectName: "screenshotButton"
            icon.source: "qrc:/img/camera.svg"
            icon.color: toolColor(enabled)
            enabled: window.isSWF
            onClicked: capture()

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Capture d'écran (vers le répertoire « <i>Images</i> »).<br>Screenshot (to « <i>Pictures</i> » folder).")
            }
        }

        ToolButton {
            objectName: "fullScreenButton"
            icon.source: "qrc:/img/full-screen.svg"
            icon.color: "grey"
            onClicked: hideHeader()

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Plein écran.<br>Full screen.")
            }
        }

        ToolButton {
            objectName: "minimizeButton"
            icon.source: "qrc:/img/minimize.svg"
            icon.color: "grey"
            onClicked: window.showMinimized()

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Réduire.<br>Minimize.")
            }
        }

        ToolButton {
            objectName: "quitButton"
            icon.source: "qrc:/img/close.svg"
            icon.color: "grey"
            onClicked: quitterVRLDialog.open()

            ToolTip {
                visible: parent.hovered || parent.pressed
                y: parent.height
                text: qsTr("Quitter.<br>Quit.")
            }
        }
    }
}
