.pragma library
.import "frame.js" as Frame

// Where the game sits in the view and what frames it. The bezel's borders
// and the size report's prefix come from the file the game page loads too
// (page/frame.js, served here as lib/frame.js).

// The size the page shows the game at, from the message by which it says
// so (gamepage.js, reportSize): the whole message is the prefix and
// "<width>x<height>", both whole and positive; any other message gives null.
function reportedSize(message) {
    var text = String(message);
    if (text.indexOf(Frame.SIZE_REPORT_PREFIX) !== 0)
        return null;
    var match = /^(\d{1,5})x(\d{1,5})$/.exec(text.substring(Frame.SIZE_REPORT_PREFIX.length));
    if (!match || Number(match[1]) === 0 || Number(match[2]) === 0)
        return null;
    return { width: Number(match[1]), height: Number(match[2]) };
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

// The bezel's rectangle around a game rectangle; none around a game of no
// size (none reported yet).
function bezelRectangle(game) {
    if (!(game.width > 0 && game.height > 0))
        return { x: 0, y: 0, width: 0, height: 0 };
    return {
        x: game.x - Frame.BEZEL_BORDER_LEFT,
        y: game.y - Frame.BEZEL_BORDER_TOP,
        width: game.width + Frame.BEZEL_BORDER_LEFT + Frame.BEZEL_BORDER_RIGHT,
        height: game.height + Frame.BEZEL_BORDER_TOP + Frame.BEZEL_BORDER_BOTTOM
    };
}

// What a page's message says of WebGL for the game: "needed" (Ruffle said
// the movie needs it), "failed" (it failed under the game; the page asks to
// be loaded afresh), "played" (the game drew on it), or "".
function webGlNews(message) {
    var text = String(message);
    if (text.indexOf(Frame.WEBGL_NEEDED_PREFIX) === 0)
        return "needed";
    if (text.indexOf(Frame.FRESH_PAGE_PREFIX) === 0)
        return "failed";
    return text.indexOf(Frame.WEBGL_PLAYED_PREFIX) === 0 ? "played" : "";
}

// The page asks to be loaded afresh (Frame.FRESH_PAGE_PREFIX).
function asksForFreshPage(message) {
    return String(message).indexOf(Frame.FRESH_PAGE_PREFIX) === 0;
}

// The reason a page's message gives after one of the prefixes, or "".
function reasonAfter(prefix, message) {
    var text = String(message);
    return text.indexOf(prefix) === 0 ? text.substring(prefix.length) || "no reason given" : "";
}

// The reason a page's message gives, or "" for any other message: the page
// says that the movie cannot play (gamepage.js, reportFailure) with
// Frame.GAME_FAILURE_PREFIX followed by Ruffle's reason.
function gameFailureReason(message) {
    return reasonAfter(Frame.GAME_FAILURE_PREFIX, message);
}

// The same for a game that started and then failed (Frame.GAME_STOPPED_PREFIX).
function gameStoppedReason(message) {
    return reasonAfter(Frame.GAME_STOPPED_PREFIX, message);
}

// A page that does not answer for this long is stuck: Ruffle gives a
// script 15 s before it stops it, and a page that answers at all does so
// within a frame.
var STUCK_PAGE_MS = 20000;
