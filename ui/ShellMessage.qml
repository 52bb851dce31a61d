import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/theme.js" as Theme

// A shell dialog that says one thing: its message, wrapped to the dialog's
// width. Titled with the program's name and closed with one button unless
// told otherwise.
ShellDialog {
    id: dialog

    property alias message: messageLabel.text

    title: Theme.dialogTitle(qsTr("Vorlumen"))
    standardButtons: Dialog.Close

    // A message followed by the reason given, which is shown as plain text.
    function showProblem(text, problem) {
        message = text + "<br><br><i>" + String(problem).replace(/&/g, "&amp;").replace(/</g, "&lt;") + "</i>"
        open()
    }

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
