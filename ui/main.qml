import QtQuick 2.13
import QtQuick.Controls 2.13
import QtQuick.Window 2.13

ApplicationWindow {
    id: window
    width: 800
    height: 600
    visible: true
    color: "black"
    title: qsTr("Vorlumen (Tamsrel)")
}
