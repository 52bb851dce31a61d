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

var HEADER_HEIGHT = 48;
// Fades of the header, the exit-full-screen button and the drawer's rows.
var FADE_MS = 500;

function toolColor(on) {
    return on ? TOOL_ON : TOOL_OFF;
}
