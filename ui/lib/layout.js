.pragma library

// Where the game sits in the view and what frames it. The game page keeps
// its own copy of these numbers (page/sizing.js, page/gamepage.js): the two
// sides run in different engines and cannot share code.

// The bezel's border on each side of the game, in pixels. The page leaves
// their sum (85 x 90) free around the game; the bezel artwork has exactly
// these borders, so its opening is the game's rectangle at any size.
var BEZEL_BORDER_LEFT = 42;
var BEZEL_BORDER_RIGHT = 43;
var BEZEL_BORDER_TOP = 45;
var BEZEL_BORDER_BOTTOM = 45;

// The console message by which the page reports the size it shows the game
// at (gamepage.js, reportSize). Only this message makes the window read it.
var SIZE_REPORT_PREFIX = "Vorlumen: game shown at ";

function isSizeReport(message) {
    return String(message).indexOf(SIZE_REPORT_PREFIX) === 0;
}

// The page's globals, read without ever raising an error in the page (an
// error would be one more console message).
var SIZE_QUERY = "[typeof widthPlay === 'number' ? widthPlay : null, "
                 + "typeof heightPlay === 'number' ? heightPlay : null]";

// A size is believed only when both numbers are finite and positive.
function isReportedSize(width, height) {
    return typeof width === "number" && typeof height === "number" && isFinite(width)
           && isFinite(height) && width > 0 && height > 0;
}

// The game's rectangle in a view, in whole pixels: centred with its corner
// rounded down, as the page places it, so that a screenshot holds the
// game's own pixels without resampling.
function gameRectangle(viewWidth, viewHeight, gameWidth, gameHeight) {
    return {
        x: Math.floor((viewWidth - gameWidth) / 2),
        y: Math.floor((viewHeight - gameHeight) / 2),
        width: gameWidth,
        height: gameHeight
    };
}

// The bezel's rectangle around a game rectangle.
function bezelRectangle(game) {
    return {
        x: game.x - BEZEL_BORDER_LEFT,
        y: game.y - BEZEL_BORDER_TOP,
        width: game.width + BEZEL_BORDER_LEFT + BEZEL_BORDER_RIGHT,
        height: game.height + BEZEL_BORDER_TOP + BEZEL_BORDER_BOTTOM
    };
}

// The console message by which the page says that the movie cannot play
// (gamepage.js, reportFailure), followed by Ruffle's reason.
var GAME_FAILURE_PREFIX = "Vorlumen: the game could not start: ";

// The console message by which the page asks to be loaded afresh (its WebGL
// failed; gamepage.js, onRuffleGaveUp). The window does the reloading: the
// engine lets no game page move a frame itself.
var FRESH_PAGE_PREFIX = "Vorlumen: WebGL failed";

function asksForFreshPage(message) {
    return String(message).indexOf(FRESH_PAGE_PREFIX) === 0;
}

// The reason a page's message gives, or "" for any other message.
function gameFailureReason(message) {
    var text = String(message);
    return text.indexOf(GAME_FAILURE_PREFIX) === 0
        ? text.substring(GAME_FAILURE_PREFIX.length) || "no reason given" : "";
}
