import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/texts.js" as Texts
import "lib/theme.js" as Theme

// The command-line options, in French and in English.
ShellDialog {
    id: dialog

    title: Theme.dialogTitle(qsTr("Aide/Help"))
    standardButtons: Dialog.Close

    Column {
        spacing: Theme.SPACING

        Label {
            objectName: "aideFrancais"
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: Theme.TEXT_SMALL
            text: qsTr(Texts.HELP_FRENCH)
        }

        Label {
            objectName: "aideAnglais"
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: Theme.TEXT_SMALL
            text: qsTr(Texts.HELP_ENGLISH)
        }
    }
}
