import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/texts.js" as Texts

// The command-line options, in French and in English.
ShellDialog {
    id: dialog

    title: qsTr("<font color='white'>Aide/Help</font>")
    standardButtons: Dialog.Close

    Column {
        spacing: 5

        Label {
            objectName: "aideFrancais"
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: 12
            text: qsTr(Texts.HELP_FRENCH)
        }

        Label {
            objectName: "aideAnglais"
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: 12
            text: qsTr(Texts.HELP_ENGLISH)
        }
    }
}
