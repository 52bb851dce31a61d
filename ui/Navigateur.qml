import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import Qt.labs.folderlistmodel 2.15
import "lib/addresses.js" as Addresses
import "lib/theme.js" as Theme

// The game browser: folder buttons and the drive box on a bar, then the
// current folder's subfolders and SWF files. A folder row enters it; a file
// row hands the game to the window and closes the drawer. The folder shown
// is the window's `adresseDuNavigateur` (so it is saved and restored with
// the settings): the drawer says which folder it went to, the window keeps it.
// From the keyboard (or a pad's d-pad, A and B): up and down move along the
// rows, Return, Enter or Space opens the row, right opens a folder, left
// goes up one folder, Escape closes.
Drawer {
    id: drawer

    // The folder shown, from the window.
    property string folderAddress: ""
    // The drive box: the drives and the one the folder is on.
    property var drives: []
    property int driveIndex: 0

    signal folderShown(string address)
    signal gamePicked(string path)

    // The style's shadow is a shader effect, which the software scene graph
    // cannot draw.
    readonly property bool drawsInSoftware: !!parent && parent.GraphicsInfo.api === GraphicsInfo.Software

    width: parent ? Theme.DRAWER_WIDTH_SHARE * parent.width : 0
    height: parent ? parent.height : 0
    dragMargin: 0
    Material.elevation: drawsInSoftware ? 0 : 16
    Binding {
        target: background
        property: "layer.enabled"
        value: false
        when: drawer.drawsInSoftware
    }

    readonly property color folderColor: Theme.DRAWER_BAR
    readonly property color fileColor: Theme.DRAWER_FILE

    function openFolder(address) {
        folderModel.folder = address
    }

    // Addresses are built by the window's one path-to-address function, so
    // a path with "#", "%" or "?" still names the folder it names.
    function openLocalPath(path) {
        openFolder(Addresses.localFolderAddress(path))
    }

    // Odd rows are slightly darker, so the rows can be told apart.
    function rowColor(isDir, index) {
        var base = isDir ? folderColor : fileColor
        return index % 2 === 0 ? base : Qt.tint(base, Theme.DRAWER_ODD_ROW_TINT)
    }

    function pick(isDir, name, url, path) {
        // The model's own parent keeps the address free of "/..", so the
        // saved folder and its drive stay plain.
        if (isDir && name === ".." && String(folderModel.parentFolder) !== "") {
            openFolder(folderModel.parentFolder)
            return
        }
        if (isDir) {
            openFolder(url)
            return
        }
        // One probe-and-load for every local game: no command interpreter
        // sees the path, and the sizes are this file's own.
        gamePicked(path)
        drawer.close()
    }

    // The model's row behind a shown row, unless the listing changed since.
    function pickRow(entry) {
        if (folderModel.get(entry.index, "fileName") !== entry.fileName)
            return
        pick(entry.fileIsDir, entry.fileName, folderModel.get(entry.index, "fileURL"),
             folderModel.get(entry.index, "filePath"))
    }

    function pickCurrentRow() {
        if (folderList.currentItem)
            folderList.currentItem.pickThisRow()
    }

    function openParentFolder() {
        if (String(folderModel.parentFolder) !== "")
            openFolder(folderModel.parentFolder)
    }

    onOpened: folderList.forceActiveFocus()

    Shortcut {
        sequence: "Up"
        enabled: drawer.opened
        onActivated: folderList.decrementCurrentIndex()
    }
    Shortcut {
        sequence: "Down"
        enabled: drawer.opened
        onActivated: folderList.incrementCurrentIndex()
    }
    Shortcut {
        sequences: ["Return", "Enter", "Space"]
        enabled: drawer.opened
        onActivated: pickCurrentRow()
    }
    Shortcut {
        sequence: "Right"
        enabled: drawer.opened
        onActivated: if (folderList.currentItem && folderList.currentItem.isFolderRow) pickCurrentRow()
    }
    Shortcut {
        sequence: "Left"
        enabled: drawer.opened
        onActivated: openParentFolder()
    }

    FolderListModel {
        id: folderModel
        objectName: "folderModel"
        folder: drawer.folderAddress
        showDirsFirst: true
        showDotAndDotDot: true
        sortField: FolderListModel.Name

        onFolderChanged: {
            drawer.folderShown(folder.toString())
            folderList.currentIndex = 0
        }
    }

    // From the window's folder: the model does not announce a change to a
    // folder that does not exist.
    readonly property bool folderListable:
        maintenance.verifyFolder(Addresses.pathFromLocalAddress(folderAddress))

    // The rows shown: the folders and the SWF files. Qt's name filters
    // match through a regular expression that fails on a name that is not
    // UTF-8 (host/rawnames.h), so such a game would never be listed: the
    // model lists every entry and the drawer keeps what it shows here.
    property var rows: []
    // The folder address the rows are of.
    property string rowsFolder: ""

    // Folders come first: past the first file, only names are read, which
    // keeps a folder of thousands of games quick to list.
    function listedRows() {
        var kept = []
        if (!folderListable || folderModel.status !== FolderListModel.Ready)
            return kept
        var pastFolders = false
        for (var i = 0; i < folderModel.count; ++i) {
            var name = folderModel.get(i, "fileName")
            pastFolders = pastFolders || !folderModel.get(i, "fileIsDir")
            if (!pastFolders || /\.swf$/i.test(name))
                kept.push({ index: i, fileName: name, fileIsDir: !pastFolders })
        }
        return kept
    }

    function refreshRows() {
        rows = listedRows()
        rowsFolder = folderAddress
    }

    onFolderListableChanged: Qt.callLater(refreshRows)

    Connections {
        target: folderModel
        function onStatusChanged() { Qt.callLater(refreshRows) }
        function onCountChanged() { Qt.callLater(refreshRows) }
        function onDataChanged() { Qt.callLater(refreshRows) }
        function onModelReset() { Qt.callLater(refreshRows) }
    }

    ListView {
        id: folderList
        objectName: "folderList"
        anchors.fill: parent
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        ScrollBar.vertical: ScrollBar {}

        // Qt's folder model, shown a folder that does not exist, keeps the
        // listing of the folder before it (or of the working folder it
        // falls back to at start, arriving late): that list would name
        // files of another folder, so a missing folder shows none.
        model: rows

        header: Rectangle {
            objectName: "drawerBar"
            width: folderList.width
            height: Theme.DRAWER_ROW_HEIGHT
            color: folderColor

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: Theme.SPACING
                anchors.rightMargin: Theme.SPACING
                spacing: Theme.SPACING

                // The standard folders, each a button with its tooltip.
                Repeater {
                    model: [
                        { name: "downloadFolderButton", icon: "folder-download.svg", path: downloadPath[0],
                          tip: qsTr("Ouvrir le répertoire « <b>Téléchargements</b> ».<br>Open « <b>Download</b> » folder.") },
                        { name: "documentFolderButton", icon: "folder-mydocuments.svg", path: documentPath[0],
                          tip: qsTr("Ouvrir le répertoire « <b>Mes Documents</b> ».<br>Open « <b>My Documents</b> » folder.") },
                        { name: "desktopFolderButton", icon: "folder-desktop.svg", path: deskPath[0],
                          tip: qsTr("Ouvrir le répertoire « <b>Bureau</b> ».<br>Open « <b>Desktop</b> » folder.") },
                        { name: "homeFolderButton", icon: "folder-user.svg", path: homePath[0],
                          tip: qsTr("Ouvrir le répertoire « <b>Utilisateur</b> ».<br>Open « <b>User</b> » folder.") }
                    ]

                    ToolTipButton {
                        objectName: modelData.name
                        icon.source: "qrc:/img/" + modelData.icon
                        icon.color: Theme.DRAWER_ICON
                        tip: modelData.tip
                        Layout.fillHeight: true
                        Layout.alignment: Qt.AlignLeft
                        onClicked: openLocalPath(modelData.path)
                    }
                }

                Item {
                    Layout.fillWidth: true
                }

                ComboBox {
                    id: listeDesLecteurs
                    objectName: "listeDesLecteurs"
                    model: drawer.drives
                    currentIndex: drawer.driveIndex
                    // Fires also for the drive already shown: its root is listed again.
                    onActivated: openLocalPath(drawer.drives[currentIndex])
                    Binding {
                        target: listeDesLecteurs.background
                        property: "layer.enabled"
                        value: false
                        when: drawer.drawsInSoftware
                    }
                }
            }
        }

        delegate: ItemDelegate {
            objectName: "folderRow"
            width: folderList.width

            readonly property var entry: modelData
            property string rowText: Addresses.readableName(entry.fileIsDir ? entry.fileName.toUpperCase()
                                                                            : entry.fileName)
            readonly property bool isCurrentRow: ListView.isCurrentItem
            readonly property bool isFolderRow: entry.fileIsDir

            function pickThisRow() {
                pickRow(entry)
            }

            Rectangle {
                objectName: "rowBackground"
                anchors.fill: parent
                opacity: Theme.DRAWER_ROW_OPACITY
                color: rowColor(entry.fileIsDir, index)

                Behavior on color {
                    ColorAnimation { duration: Theme.FADE_MS }
                }

                Label {
                    objectName: "rowLabel"
                    anchors.centerIn: parent
                    font.bold: true
                    font.pixelSize: Theme.TEXT_LARGE
                    text: rowText
                }
            }

            // The row the arrow keys are on.
            Rectangle {
                objectName: "rowFocus"
                anchors.fill: parent
                color: "transparent"
                border.width: Theme.FOCUS_MARK_WIDTH
                border.color: Theme.FOCUS_MARK
                visible: isCurrentRow
            }

            MouseArea {
                anchors.fill: parent
                onClicked: pickRow(entry)
            }
        }
    }
}
