.pragma library

// The screenshot's name: the game's file name with its first ".swf" removed
// (case matters) and ".jpg" added.
function screenshotFileName(source) {
    return String(source).replace(/^.*[\\\/]/, "").replace(".swf", "") + ".jpg";
}

// The given pictures folder, else the platform's pictures folder.
function screenshotPath(folderPictures, picturesLocation, source) {
    var folder = folderPictures.length > 0 ? folderPictures : picturesLocation;
    return folder + "/" + screenshotFileName(source);
}
