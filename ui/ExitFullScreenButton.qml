import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/theme.js" as Theme

// Brings the header back while it is hidden (full screen): shown only then,
// under the header's place at the window's right edge.
Button {
    // Shown only once the header has gone.
    property bool headerVisible: true

    flat: true
    icon.source: "qrc:/img/exit-full-screen.svg"
    icon.color: Theme.TOOL_ON
    opacity: headerVisible ? 0 : Theme.OVERLAY_OPACITY
    visible: opacity > 0

    Behavior on opacity {
        NumberAnimation { duration: Theme.FADE_MS }
    }

    ToolTip {
        visible: parent.hovered || parent.pressed
        y: parent.height
        text: qsTr("Quitter le plein écran.<br>Quit full screen.")
    }
}
