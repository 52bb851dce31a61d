// Which of Ruffle's renderers plays a game, and what Ruffle's log says about
// a movie that cannot go on.
//
// Ruffle's canvas renderer costs the least CPU where WebGL is only software
// (Mesa's llvmpipe under Xvfb, many cabinets), but it cannot draw into a
// bitmap (BitmapData.draw, which many game frameworks render through),
// Stage3D or Pixel Bender shaders. Its wgpu renderer on WebGL can. With no
// option, a game starts on canvas; the moment Ruffle says that the movie
// needs WebGL, the page says so (the player remembers it for that game and,
// where it drew without WebGL, starts again with it) and, where WebGL is at
// hand, moves the game to it.
//
// Plain functions on purpose: the page loads this file as a classic script
// and the tests evaluate it alone.

// Ruffle's names for its renderers.
var RUFFLE_CANVAS = "canvas";
var RUFFLE_WEBGL = "wgpu-webgl";

// What Ruffle logs, as an error of its own, when the renderer in use lacks
// a feature the movie calls for: the feature's Rust error ("Render backend
// does not support BitmapData.draw"; for Stage3D and shaders, the backend's
// "not yet implemented"), alone or behind the fixed words of the AVM2 step
// that met it. The whole line must be that: a movie's trace, or an error
// the movie throws (whose text Ruffle shows as "Error: ..." with its stack,
// or inside "AvmError(...)"), cannot take that shape, and an event name is
// a plain word.
var MISSING_RENDERER_FEATURE = new RegExp(
    "^(?:ERROR|WARN) (?:(?:Error running AVM2 (?:construction for movie clip|frame script)"
    + "|Error dispatching event \"\\w+\"): )?"
    + "(?:RustError\\((?:\"Render backend does not support [\\w.]+\""
    + "|Unimplemented\\(\"(?:createContext3D|run_pixelbender_shader|compile_pixelbender_shader)\"\\))\\)"
    + "|Not yet implemented: (?:createContext3D|run_pixelbender_shader|compile_pixelbender_shader))$");

// A Rust panic inside Ruffle, whose panel follows.
var RUFFLE_PANIC = /panicked at/;

// option: the host's choice for this game: "webgl" (asked for, or the
// game is known to need it), "canvas" (asked for), or anything else for
// the default.
function ruffleRendererFor(option) {
    return option === "webgl" ? RUFFLE_WEBGL : RUFFLE_CANVAS;
}

// Only the default may change its mind; a forced renderer stays forced.
// Only Ruffle's own reports count (MISSING_RENDERER_FEATURE).
function mayMoveToWebGl(option, current, logText) {
    return option !== "webgl" && option !== "canvas" && current === RUFFLE_CANVAS
        && MISSING_RENDERER_FEATURE.test(String(logText));
}

// Ruffle styles its log lines for a browser console:
// ("%cERROR%c core/src/x.rs:1%c text", css, css, css). Gives "ERROR text"
// (or the plain text of an unstyled line), without the styles.
function ruffleLogText(args) {
    var first = String(args.length > 0 ? args[0] : "");
    var styles = (first.match(/%c/g) || []).length;
    if (styles === 0)
        return Array.prototype.slice.call(args).map(String).join(" ");
    var parts = first.split("%c").filter(function (part) { return part.trim() !== ""; });
    var styled = /^(\w+)\s+(\S+)\s+([\s\S]*)$/.exec(parts.join(" ").trim());
    var rest = Array.prototype.slice.call(args, 1 + styles).map(String);
    var text = styled ? styled[1] + " " + styled[3] : parts.join(" ");
    return [text].concat(rest).join(" ").trim();
}

// Ruffle's line for each frame it cannot run because its core was left
// locked (a crash inside it, such as the stack running out): only its own
// error line, whole, not a movie's trace of the same words.
function isRuffleCoreLockedText(text) {
    return /^ERROR Unable to lock Ruffle core$/.test(String(text));
}

// Ruffle's line once it has stopped a movie's script that ran too long:
// it runs none of the movie's code again, so the game is over.
function isRuffleScriptsEndedText(text) {
    return /^ERROR No more actions will be executed in this movie\.?$/.test(String(text));
}

// A Ruffle log line that says why a movie cannot go on: its errors and
// panics (warnings and the movie's own traces are not reasons).
function isRuffleErrorText(text) {
    return /^ERROR /.test(text) || RUFFLE_PANIC.test(text);
}

// The message of a Rust panic ("panicked at src/x.rs:1:2:\nwgpu error: Out
// of Memory\n\nStack: ..."): its first line after the place.
function panicMessage(text) {
    var lines = String(text).split("\n").map(function (line) { return line.trim(); });
    var at = 0;
    while (at < lines.length && !RUFFLE_PANIC.test(lines[at]))
        at += 1;
    for (var i = at + 1; i < lines.length; ++i) {
        if (lines[i] !== "" && lines[i] !== "Stack:")
            return "Ruffle stopped: " + lines[i];
    }
    return "Ruffle stopped";
}

// WebGL failed under a game (its GPU or driver gave up): the page starts
// again, once, on canvas. Kept for this view only, so that the next run
// tries WebGL again.
var CANVAS_AFTER_FAILURE_PREFIX = "vorlumen.canvas-after-failure:";

// True when the mark is kept (else the page must not start again: it would
// meet the same failure).
function markCanvasAfterFailure(storage, gameUrl) {
    try {
        var key = CANVAS_AFTER_FAILURE_PREFIX + String(gameUrl);
        storage.setItem(key, "1");
        return storage.getItem(key) === "1";
    } catch (e) {
        return false;
    }
}

// True once after a mark: the mark is taken away.
function takeCanvasAfterFailure(storage, gameUrl) {
    try {
        var key = CANVAS_AFTER_FAILURE_PREFIX + String(gameUrl);
        if (!storage || storage.getItem(key) !== "1")
            return false;
        storage.removeItem(key);
        return true;
    } catch (e) {
        return false;
    }
}
