.pragma library

// The shell's look, one name per value.

// Tool icons: "grey" while usable or on, "firebrick" while disabled or off.
var TOOL_ON = "grey";
var TOOL_OFF = "firebrick";
// The drawer's bar and its folder buttons; the header's badges are the
// icons' colour, darker.
var DRAWER_BAR = "#607D8B";
var DRAWER_ICON = "#2c3940";
var DRAWER_FILE = "gray";
// The drawer row the arrow keys are on.
var FOCUS_MARK = "white";
var FOCUS_MARK_WIDTH = 3;

var HEADER_HEIGHT = 48;
// Fades of the header, the exit-full-screen button and the drawer's rows.
var FADE_MS = 500;

// The window's own colour, under the backdrop; an internet page gets the
// usual white behind it, the game page the backdrop (transparent).
var WINDOW = "black";
var INTERNET_PAGE = "white";

// Text sizes, in pixels.
var TEXT_SMALL = 12;   // the clock, the help
var TEXT = 14;         // dialogs' messages, the banner
var TEXT_LARGE = 18;   // the header's title, the drawer's rows
var TEXT_BADGE = 8;

// Room between the pieces of a dialog, a row or a column, and around small
// things at an edge; a message's paragraphs stand further apart.
var SPACING = 5;
var MESSAGE_SPACING = 20;
var EDGE_MARGIN = 10;  // the exit-full-screen button from the window's corner

// What lies over the game is see-through to this degree.
var OVERLAY_OPACITY = 0.8;  // screen emulation, badges, the exit button, the banner's text
var FAINT_OPACITY = 0.4;    // the clock, the pointer dot

// Dialog titles are white on the dialog's dark header.
var DIALOG_TITLE = "white";

function dialogTitle(text) {
    return "<font color='" + DIALOG_TITLE + "'>" + text + "</font>";
}

var CLOCK = "white";
var POINTER_DOT = "red";
var POINTER_DOT_SIZE = 8;
var BADGE_SIZE = 20;
var ABOUT_ICON_WIDTH = 180;

// The screenshot banner: a dark gradient with a light rim.
var BANNER_TOP = "#424242";
var BANNER_BOTTOM = "#242424";
var BANNER_RIM = "#888";
var BANNER_RIM_WIDTH = 2;
var BANNER_WIDTH = 260;
var BANNER_HEIGHT = 70;

// The drawer: two thirds of the window wide, rows of this height; odd rows
// darker by this tint, rows see-through to this degree.
var DRAWER_WIDTH_SHARE = 0.66;
var DRAWER_ROW_HEIGHT = 50;
var DRAWER_ODD_ROW_TINT = "#30000000";
var DRAWER_ROW_OPACITY = 0.5;

function toolColor(on) {
    return on ? TOOL_ON : TOOL_OFF;
}
