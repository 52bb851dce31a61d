import QtQuick 2.15
import QtQuick.Controls 2.15

// A shell dialog that says one thing: its message, wrapped to the dialog's
// width.
ShellDialog {
    id: dialog

    property alias message: messageLabel.text

    Column {
        spacing: 20

        Label {
            id: messageLabel
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: 14
        }
    }
}
