import QtQuick 2.13
import QtQuick.Controls 2.13

// The faint clock in the game view's bottom-right corner.
Label {
    anchors.right: webviewFlash.right
    anchors.bottom: webviewFlash.bottom
    anchors.margins: 5
    font.pixelSize: 12
    horizontalAlignment: Text.AlignRight
    color: "white"
    opacity: 0.4
    visible: dateAndTime
    z: webviewFlash.z + 5

    Timer {
        interval: 500
        repeat: true
        running: dateAndTime
        onTriggered: parent.text = Qt.formatDateTime(new Date(), "dddd dd MMMM yyyy").toUpperCase()
                                   + "<br>" + Qt.formatDateTime(new Date(), "hh:mm:ss")
    }
}
