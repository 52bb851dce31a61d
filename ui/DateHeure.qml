import QtQuick 2.13
import QtQuick.Controls 2.13
import "lib/theme.js" as Theme

// The faint clock; the window places it in the game view's bottom-right
// corner and shows it or not.
Label {
    font.pixelSize: Theme.TEXT_SMALL
    horizontalAlignment: Text.AlignRight
    color: Theme.CLOCK
    opacity: Theme.FAINT_OPACITY

    Timer {
        interval: 500
        repeat: true
        running: parent.visible
        // One instant for both lines, so midnight never pairs a date with the wrong time.
        onTriggered: {
            var now = new Date()
            parent.text = Qt.formatDateTime(now, "dddd dd MMMM yyyy").toUpperCase() + "<br>"
                          + Qt.formatDateTime(now, "hh:mm:ss")
        }
    }
}
