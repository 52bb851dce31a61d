// The size rule of the game page: the game keeps its aspect ratio and takes
// the largest size that fits in the view once the window's bezel has its
// room around it.
//
// Plain functions on purpose: the page loads this file as a classic script
// and the tests evaluate it alone.

// The room the window's bezel takes around the game (frame.js, loaded first).
var BEZEL_MARGIN_WIDTH = BEZEL_BORDER_LEFT + BEZEL_BORDER_RIGHT;
var BEZEL_MARGIN_HEIGHT = BEZEL_BORDER_TOP + BEZEL_BORDER_BOTTOM;

function isUsableSize(width, height) {
    return isFinite(width) && isFinite(height) && width > 0 && height > 0;
}

// Whole pixels, so that the window's bezel and screenshot frame line up with
// the game exactly. Returns null while the natural size is unknown.
function displayedGameSize(viewWidth, viewHeight, naturalWidth, naturalHeight) {
    if (!isUsableSize(naturalWidth, naturalHeight))
        return null;
    var roomWidth = Math.max(0, viewWidth - BEZEL_MARGIN_WIDTH);
    var roomHeight = Math.max(0, viewHeight - BEZEL_MARGIN_HEIGHT);
    var scale = Math.min(roomWidth / naturalWidth, roomHeight / naturalHeight);
    return {
        width: Math.floor(naturalWidth * scale + 1e-9),
        height: Math.floor(naturalHeight * scale + 1e-9)
    };
}

// Top-left corner that centres a box of the given size in the view.
function centredPosition(viewWidth, viewHeight, width, height) {
    return {
        left: Math.floor((viewWidth - width) / 2),
        top: Math.floor((viewHeight - height) / 2)
    };
}

// The size from the address when the probe gave one, otherwise the one
// Ruffle read from the movie (null while neither is known).
function naturalSizeOf(fromAddress, fromMovie) {
    if (fromAddress && isUsableSize(fromAddress.width, fromAddress.height))
        return { width: fromAddress.width, height: fromAddress.height };
    if (fromMovie && isUsableSize(fromMovie.width, fromMovie.height))
        return { width: fromMovie.width, height: fromMovie.height };
    return null;
}
