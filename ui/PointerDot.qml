import QtQuick 2.15

// A small translucent dot that follows the pointer (a cabinet's screen may
// show no cursor). The area only watches: every press, click and release
// goes on to what lies beneath. The dot lies with the area's siblings, above
// them all, the header included.
MouseArea {
    id: area

    hoverEnabled: true
    preventStealing: true
    propagateComposedEvents: true

    onPressed: mouse.accepted = false
    onReleased: mouse.accepted = false
    onClicked: mouse.accepted = false
    onDoubleClicked: mouse.accepted = false
    onPressAndHold: mouse.accepted = false
    onPositionChanged: {
        dot.x = mouseX - dot.width / 2
        dot.y = mouseY - dot.width / 2
        mouse.accepted = false
    }

    Rectangle {
        id: dot
        objectName: "cursorPerso"
        parent: area.parent
        width: 8
        height: width
        radius: width
        color: "red"
        opacity: 0.4
        z: area.z + 10
    }
}
