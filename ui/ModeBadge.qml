import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/theme.js" as Theme

// The small round badge at the bottom right of a tool button that tells its
// state ("X", "CRT", "SCNL").
Rectangle {
    id: badge

    property alias text: badgeLabel.text
    property alias labelObjectName: badgeLabel.objectName

    width: Theme.BADGE_SIZE
    height: width
    radius: width
    color: Qt.darker(Theme.DRAWER_ICON)
    opacity: Theme.OVERLAY_OPACITY
    anchors.right: parent.right
    anchors.bottom: parent.bottom
    anchors.bottomMargin: Theme.SPACING
    z: parent.z + 10

    Label {
        id: badgeLabel
        anchors.centerIn: parent
        font.pixelSize: Theme.TEXT_BADGE
    }
}
