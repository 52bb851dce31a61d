import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// A dialog of the shell: modal, three quarters of the window's shorter side
// wide, centred in the window.
Dialog {
    modal: true
    focus: true
    width: Math.min(window.width, window.height) * 0.75
    x: (window.width - width) / 2
    y: (window.height - height) / 2
    // The style's shadow is a shader effect, which the software scene graph
    // cannot draw (see the window's drawsInSoftware).
    Material.elevation: window.drawsInSoftware ? 0 : 24
    Binding {
        target: background
        property: "layer.enabled"
        value: false
        when: window.drawsInSoftware
    }
}
