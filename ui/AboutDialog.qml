import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/texts.js" as Texts
import "lib/theme.js" as Theme

// What the program is, who made it, with what, and which version this is.
ShellDialog {
    id: dialog

    title: Theme.dialogTitle(qsTr("À propos/About"))
    standardButtons: Dialog.Close

    property string version: ""
    property string build: ""

    Column {
        anchors.fill: parent
        spacing: Theme.SPACING

        Image {
            source: "qrc:/img/icon.png"
            width: Theme.ABOUT_ICON_WIDTH
            fillMode: Image.PreserveAspectFit
            mipmap: true
            antialiasing: true
            smooth: true
        }

        Label {
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: Theme.TEXT
            text: qsTr("<b>Vorlumen</b> est un logiciel très simple qui vous permet de lire vos fichiers Flash (SWF) en local ou depuis une adresse internet. Il fut initialement développé pour les Bornes d'Arcade.<br><br>
                       <b>Vorlumen</b> is a very simple software which allows you to play your Flash files (SWF) locally or from an internet address. It was originally developed for Arcade Cabinet.<br>")
        }

        Label {
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: Theme.TEXT
            text: qsTr(Texts.ABOUT_TEAM)
        }

        Label {
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: Theme.TEXT
            text: qsTr(Texts.ABOUT_BUILT_WITH)
        }

        Label {
            objectName: "versionLabel"
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: Theme.TEXT
            text: qsTr("Version " + dialog.version + " (" + dialog.build + ").")
        }
    }
}
