import QtQuick 2.13

Item {
}
