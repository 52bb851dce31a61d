import QtQuick 2.13
import QtQuick.Controls 2.13
import QtQuick.Layouts 1.13
import "lib/theme.js" as Theme

// The banner that tells the outcome of a screenshot, bottom left, for five
// seconds. Its text and icon follow `screenshotSaved` while it is open,
// unless it tells a problem of the saves (tellProblem) or gives a notice
// without an icon (a gamepad connected or let go: announce).
Item {
    anchors.fill: parent
    z: 100000

    // The outcome of the last screenshot, from the window.
    property bool screenshotSaved: true

    property string problem: ""
    property bool withoutIcon: false

    function ouvrir() {
        problem = ""
        unfold()
    }

    function tellProblem(texte) {
        problem = texte
        withoutIcon = false
        unfold()
    }

    function announce(texte) {
        problem = texte
        withoutIcon = true
        unfold()
    }

    function unfold() {
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
        y: parent.height - height - Theme.SPACING
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
                icon.source: problem !== "" ? "qrc:/img/folder-download.svg" : "qrc:/img/camera.svg"
                icon.color: Theme.toolColor(screenshotSaved && problem === "")
                visible: problem === "" || !withoutIcon
            }

            Label {
                id: titreTexte
                objectName: "infosText"
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.WordWrap
                // A notice (a pad's name) may be long: wrapped, then cut.
                Layout.fillWidth: problem !== ""
                Layout.leftMargin: img.visible ? 0 : Theme.SPACING
                maximumLineCount: 3
                elide: Text.ElideRight
                font.pixelSize: problem !== "" ? Theme.TEXT_SMALL : Theme.TEXT
                opacity: Theme.OVERLAY_OPACITY
                text: problem !== "" ? problem : screenshotSaved ? "Capture d'écran réussie !<br>Screenshot successful !"
                                        : "La capture d'écran a échoué...<br>Screenshot failed..."
            }
        }
    }
}
