import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Window 2.15

// A dialog of the shell: modal, three quarters of the window's shorter side
// wide, centred in the window. Answered from the keyboard (or a pad, whose
// d-pad, A and B arrive as these keys): the arrows move between its
// choices, Return, Enter and Space press the one in focus, Escape closes.
Dialog {
    id: dialog

    // The style's shadow is a shader effect, which the software scene graph
    // (the usual one, see RendererChoice) cannot draw: left out, it would
    // take the dialog's background with it. The drawer does the same.
    readonly property bool drawsInSoftware: !!parent && parent.GraphicsInfo.api === GraphicsInfo.Software

    modal: true
    focus: true
    // In the window's overlay, which covers the window.
    width: parent ? Math.min(parent.width, parent.height) * 0.75 : 0
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    Material.elevation: drawsInSoftware ? 0 : 24
    Binding {
        target: background
        property: "layer.enabled"
        value: false
        when: dialog.drawsInSoftware
    }

    // The choice in focus when the dialog opens: its first button, unless
    // the dialog gives the focus to something of its own.
    property Item firstChoice: null
    // Or one of its standard buttons (Dialog.Yes...).
    property int firstButton: 0

    onOpened: {
        var choice = firstChoice || (firstButton !== 0 ? standardButton(firstButton) : null)
                || (footer && footer.itemAt ? footer.itemAt(0) : null)
        if (choice)
            choice.forceActiveFocus(Qt.TabFocusReason)
    }

    function moveFocus(forward) {
        var item = dialog.parent.Window.activeFocusItem
        var next = item ? item.nextItemInFocusChain(forward) : null
        if (next)
            next.forceActiveFocus(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
    }

    // A button in focus is pressed; from a field, the dialog's own
    // answer (Open, Yes) when it may be given.
    function activateFocused() {
        var item = dialog.parent.Window.activeFocusItem
        if (item && item.checkable !== undefined && item.enabled && item.visible) {
            item.clicked()
            return
        }
        var answer = standardButton(Dialog.Open) || standardButton(Dialog.Yes) || standardButton(Dialog.Ok)
        if (answer && answer.enabled)
            answer.clicked()
    }

    // Text fields keep the left and right arrows for their cursor.
    Shortcut {
        sequences: ["Up", "Left"]
        enabled: dialog.opened
        onActivated: dialog.moveFocus(false)
    }
    Shortcut {
        sequences: ["Down", "Right"]
        enabled: dialog.opened
        onActivated: dialog.moveFocus(true)
    }
    Shortcut {
        sequences: ["Return", "Enter"]
        enabled: dialog.opened
        onActivated: dialog.activateFocused()
    }
}
