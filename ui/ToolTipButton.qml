import QtQuick 2.15
import QtQuick.Controls 2.15

// A tool button with its tooltip just below it, shown while the button is
// hovered or pressed.
ToolButton {
    id: button

    property string tip: ""

    ToolTip {
        visible: button.hovered || button.pressed
        y: button.height
        text: button.tip
    }
}
