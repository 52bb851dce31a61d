import QtQuick 2.13
import QtQuick.Controls 2.13
import QtQuick.Layouts 1.13
import "lib/theme.js" as Theme

// The banner that tells the outcome of a screenshot, bottom left, for five
// seconds. Its text and icon follow `sauvegardeCapture` while it is open.
// It also gives short notices (a gamepad connected or let go).
Item {
    z: 100000

    // The notice shown, or empty for a screenshot's outcome.
    property string notice: ""

    function annoncer(text) {
        notice = text
        open()
    }

    function ouvrir() {
        notice = ""
        open()
    }

    function open() {
        infos.width = Theme.BANNER_WIDTH
        infos.height = Theme.BANNER_HEIGHT
        timerInfos.start()
    }

    function fermer() {
        infos.width = 0
        infos.height = 0
        timerInfos.stop()
    }

    Timer {
        id: timerInfos
        objectName: "timerInfos"
        interval: 5000
        onTriggered: fermer()
    }

    Rectangle {
        id: infos
        objectName: "infos"
        x: Theme.SPACING
        y: window.height - height - Theme.SPACING
        width: 0
        height: 0
        gradient: Gradient {
            GradientStop { position: 0.0; color: Theme.BANNER_TOP }
            GradientStop { position: 1.0; color: Theme.BANNER_BOTTOM }
        }
        border.width: Theme.BANNER_RIM_WIDTH
        border.color: Theme.BANNER_RIM
        visible: width > 0
        clip: true

        Behavior on width {
            NumberAnimation { duration: 200; easing.type: Easing.OutCubic }
        }
        Behavior on height {
            NumberAnimation { duration: 400; easing.type: Easing.InCirc }
        }

        RowLayout {
            anchors.fill: parent
            spacing: Theme.SPACING

            ToolButton {
                id: img
                objectName: "infosIcon"
                icon.source: "qrc:/img/camera.svg"
                icon.color: Theme.toolColor(sauvegardeCapture)
                visible: notice === ""
            }

            Label {
                id: titreTexte
                objectName: "infosText"
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.WordWrap
                // A notice (a pad's name) may be long: wrapped, then cut.
                Layout.fillWidth: notice !== ""
                Layout.leftMargin: notice !== "" ? Theme.SPACING : 0
                maximumLineCount: 3
                elide: Text.ElideRight
                font.pixelSize: notice !== "" ? Theme.TEXT_SMALL : Theme.TEXT
                opacity: Theme.OVERLAY_OPACITY
                text: notice !== "" ? notice : sauvegardeCapture ? "Capture d'écran réussie !<br>Screenshot successful !"
                                        : "La capture d'écran a échoué...<br>Screenshot failed..."
            }
        }
    }
}
