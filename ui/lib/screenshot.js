.pragma library

// The screenshot's name: the game's file name as written, without a final
// ".swf" in any case, and ".jpg" added. Front-ends look for a picture named
// after the game: /games/Foo.SWF gives Foo.jpg.
// An internet address loses its query and fragment first, and its
// percent-escapes are decoded: http://h/My%20Game.swf?v=2 gives My Game.jpg.
function screenshotFileName(source) {
    var text = String(source);
    if (/^\s*https?:\/\//i.test(text)) {
        text = text.replace(/[?#].*$/, "");
        try {
            text = decodeURIComponent(text);
        } catch (e) {
        }
    }
    return text.replace(/^.*[\\\/]/, "").replace(/\.swf$/i, "") + ".jpg";
}

// The given pictures folder, else the platform's pictures folder.
function screenshotPath(folderPictures, picturesLocation, source) {
    var folder = folderPictures.length > 0 ? folderPictures : picturesLocation;
    return folder + "/" + screenshotFileName(source);
}
