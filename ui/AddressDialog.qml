import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/addresses.js" as Addresses

// Asks for an internet address: a SWF address plays in the game page, any
// other opens as a page. Open stays disabled until the address is valid.
ShellDialog {
    id: dialog

    title: qsTr("<font color='white'>Ouvrir une adresse internet<br>Open an internet address</font>")
    standardButtons: Dialog.Open | Dialog.Cancel

    function enableOpen() {
        dialog.standardButton(Dialog.Open).enabled = adresseWebText.acceptableInput
    }

    Component.onCompleted: enableOpen()

    onAccepted: {
        window.showingStartupInternetGame = false
        if (Addresses.isInternetSwfAddress(adresseWebText.text)) {
            window.source = adresseWebText.text
            window.swfwidth = window.swfheight = ""
            window.showSource()
        } else {
            window.addressAskedFor = adresseWebText.text
            webviewFlash.url = adresseWebText.text
            window.isSWF = false
        }
        adresseWebText.text = ""
    }

    Column {
        spacing: 5

        TextField {
            id: adresseWebText
            objectName: "adresseWebText"
            width: dialog.availableWidth
            selectByMouse: true
            placeholderText: qsTr("Adresse internet/internet address (https://....)")
            validator: RegExpValidator {
                regExp: Addresses.validatorExpression()
            }
            onTextEdited: enableOpen()
            onTextChanged: enableOpen()
        }
    }
}
