.pragma library

// The screenshot's name: the game's file name as written, without a final
// ".swf" in any case, and ".jpg" added. Front-ends look for a picture named
// after the game: /games/Foo.SWF gives Foo.jpg.
function screenshotFileName(source) {
    return String(source).replace(/^.*[\\\/]/, "").replace(/\.swf$/i, "") + ".jpg";
}

// The given pictures folder, else the platform's pictures folder.
function screenshotPath(folderPictures, picturesLocation, source) {
    var folder = folderPictures.length > 0 ? folderPictures : picturesLocation;
    return folder + "/" + screenshotFileName(source);
}
