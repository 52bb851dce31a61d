// What the game page and the window agree on, in one place: the bezel's
// border on each side of the game and the messages by which the page reports
// the size it shows the game at, that it cannot play it or that it failed
// mid-play, or that it wants to be loaded afresh. The page loads this file as a classic script; the
// window imports it (ui/lib/layout.js); the artwork generator and
// the tests read it too. A change of bezel is an edit here and a run of
// scripts/make-assets.
//
// Plain declarations only: the window's engine, the page's and the
// generator's all evaluate this file as it stands.

// In pixels. The page leaves their sum free around the game; the bezel
// artwork has exactly these borders, so its opening is the game's rectangle
// at any size.
var BEZEL_BORDER_LEFT = 42;
var BEZEL_BORDER_RIGHT = 43;
var BEZEL_BORDER_TOP = 45;
var BEZEL_BORDER_BOTTOM = 45;

// Followed by WIDTHxHEIGHT; the window reads the size only after it.
var SIZE_REPORT_PREFIX = "Vorlumen: game shown at ";
// Followed by the reason, when the movie cannot play.
var GAME_FAILURE_PREFIX = "Vorlumen: the game could not start: ";
// Followed by the reason, when a game that had started fails mid-play.
var GAME_STOPPED_PREFIX = "Vorlumen: the game stopped: ";
// Followed by why, when the page wants to be loaded afresh (its WebGL
// failed): the window reloads it, as no game page may move a frame itself.
var FRESH_PAGE_PREFIX = "Vorlumen: WebGL failed";
// Ruffle said that the movie needs WebGL (the player remembers it for the
// game, and starts again with WebGL where it drew without).
var WEBGL_NEEDED_PREFIX = "Vorlumen: the game needs WebGL";
// The game drew its first frame on WebGL.
var WEBGL_PLAYED_PREFIX = "Vorlumen: the game plays on WebGL";
