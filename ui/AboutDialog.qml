import QtQuick 2.15
import QtQuick.Controls 2.15

// What the program is, who made it, with what, and which version this is.
ShellDialog {
    id: dialog

    title: qsTr("<font color='white'>À propos/About</font>")
    standardButtons: Dialog.Close

    Column {
        anchors.fill: parent
        spacing: 5

        Image {
            source: "qrc:/img/icon.png"
            width: 180
            fillMode: Image.PreserveAspectFit
            mipmap: true
            antialiasing: true
            smooth: true
        }

        Label {
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: 14
            text: qsTr("<b>Vorlumen</b> est un logiciel très simple qui vous permet de lire vos fichiers Flash (SWF) en local ou depuis une adresse internet. Il fut initialement développé pour les Bornes d'Arcade.<br><br>
                       <b>Vorlumen</b> is a very simple software which allows you to play your Flash files (SWF) locally or from an internet address. It was originally developed for Arcade Cabinet.<br>")
        }

        Label {
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: 14
            text: qsTr("Réalisé par l'équipe Vorlumen / Made by the Vorlumen team.<br>")
        }

        Label {
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: 14
            text: qsTr("<i>Avec Qt, Qt WebEngine et Ruffle / Built with Qt, Qt WebEngine and Ruffle.</i><br>")
        }

        Label {
            objectName: "versionLabel"
            width: dialog.availableWidth
            wrapMode: Label.Wrap
            font.pixelSize: 14
            text: qsTr("Version " + window.version + " (" + window.build + ").")
        }
    }
}
