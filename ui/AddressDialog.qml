import QtQuick 2.15
import QtQuick.Controls 2.15
import "lib/addresses.js" as Addresses
import "lib/theme.js" as Theme

// Asks for an internet address and hands it to the window, which opens it
// (a SWF address plays in the game page, any other opens as a page). Open
// stays disabled until the address is valid.
ShellDialog {
    id: dialog

    title: Theme.dialogTitle(qsTr("Ouvrir une adresse internet<br>Open an internet address"))
    standardButtons: Dialog.Open | Dialog.Cancel
    firstChoice: adresseWebText

    signal addressChosen(string address)

    // The pattern alone cannot tell where the engine will go: the host it
    // will reach is checked too.
    function enableOpen() {
        dialog.standardButton(Dialog.Open).enabled = adresseWebText.acceptableInput
                && Addresses.isAcceptableInternetAddress(adresseWebText.text)
    }

    Component.onCompleted: enableOpen()

    onAccepted: {
        if (!Addresses.isAcceptableInternetAddress(adresseWebText.text))
            return
        var address = adresseWebText.text
        adresseWebText.text = ""
        addressChosen(address)
    }

    Column {
        spacing: Theme.SPACING

        TextField {
            id: adresseWebText
            objectName: "adresseWebText"
            width: dialog.availableWidth
            selectByMouse: true
            placeholderText: qsTr("Adresse internet/internet address (https://....)")
            validator: RegExpValidator {
                regExp: Addresses.validatorExpression()
            }
            onTextChanged: enableOpen()
        }
    }
}
