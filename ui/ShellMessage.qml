import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/theme.js" as Theme

// A shell dialog that says one thing: its message, wrapped to the dialog's
// width.
ShellDialog {
    id: dialog

    property alias message: messageLabel.text

    Column {
        spacing: Theme.MESSAGE_SPACING

        Label {
            id: messageLabel
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: Theme.TEXT
        }
    }
}
