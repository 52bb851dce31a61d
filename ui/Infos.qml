import QtQuick 2.13
import QtQuick.Controls 2.13
import QtQuick.Layouts 1.13
import "lib/theme.js" as Theme

// The banner that tells the outcome of a screenshot, bottom left, for five
// seconds. Its text and icon follow `sauvegardeCapture` while it is open,
// unless it tells a problem of the saves (signaler) or gives a notice
// without an icon (a gamepad connected or let go: annoncer).
Item {
    z: 100000

    property string probleme: ""
    property bool sansIcone: false

    function ouvrir() {
        probleme = ""
        montrer()
    }

    function signaler(texte) {
        probleme = texte
        sansIcone = false
        montrer()
    }

    function annoncer(texte) {
        probleme = texte
        sansIcone = true
        montrer()
    }

    function montrer() {
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
                icon.source: probleme !== "" ? "qrc:/img/folder-download.svg" : "qrc:/img/camera.svg"
                icon.color: Theme.toolColor(sauvegardeCapture && probleme === "")
                visible: probleme === "" || !sansIcone
            }

            Label {
                id: titreTexte
                objectName: "infosText"
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.WordWrap
                // A notice (a pad's name) may be long: wrapped, then cut.
                Layout.fillWidth: probleme !== ""
                Layout.leftMargin: img.visible ? 0 : Theme.SPACING
                maximumLineCount: 3
                elide: Text.ElideRight
                font.pixelSize: probleme !== "" ? Theme.TEXT_SMALL : Theme.TEXT
                opacity: Theme.OVERLAY_OPACITY
                text: probleme !== "" ? probleme : sauvegardeCapture ? "Capture d'écran réussie !<br>Screenshot successful !"
                                        : "La capture d'écran a échoué...<br>Screenshot failed..."
            }
        }
    }
}
