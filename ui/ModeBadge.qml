import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/theme.js" as Theme

// The small round badge at the bottom right of a tool button that tells its
// state ("X", "CRT", "SCNL").
Rectangle {
    id: badge

    property alias text: badgeLabel.text
    property alias labelObjectName: badgeLabel.objectName

    width: 20
    height: width
    radius: width
    color: Qt.darker(Theme.DRAWER_ICON)
    opacity: 0.8
    anchors.right: parent.right
    anchors.bottom: parent.bottom
    anchors.bottomMargin: 5
    z: parent.z + 10

    Label {
        id: badgeLabel
        anchors.centerIn: parent
        font.pixelSize: 8
    }
}
