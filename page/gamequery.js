// Reads the game page's "jeu" value: the SWF's path and its natural size.
//
// The window writes ...flash.html?jeu=<path>=<width>=<height>, escaping only
// "%" (as %25) and "#" (as %23) in the path; the web engine percent-encodes
// blanks, quotes and non-ASCII characters on its own. Everything else, "=",
// "+", "&" and "?" included, arrives as is, so the raw text is read here and
// not through URLSearchParams (which would turn "+" into a blank and stop at
// "&").
//
// Plain functions on purpose: the page loads this file as a classic script
// and the tests evaluate it alone.

// A byte of a file name that is not UTF-8 travels as "%XX" and is held as
// the lone surrogate U+DC00 + XX, as the player holds it (host/rawnames.h).
function rawByteUnit(escape) {
    return String.fromCharCode(0xdc00 + parseInt(escape.substring(1), 16));
}

// Decodes %XX sequences. A run that is not UTF-8 is decoded sequence by
// sequence: each stray byte (always from 80 up, as a single escape below
// decodes) becomes a raw-byte unit.
function decodePercentTolerant(text) {
    try {
        return decodeURIComponent(text);
    } catch (e) {
        return text.replace(/(%[0-9A-Fa-f]{2})+/g, function (run) {
            try {
                return decodeURIComponent(run);
            } catch (ignored) {
                return decodeMixedRun(run);
            }
        });
    }
}

function decodeMixedRun(run) {
    var escapes = run.match(/%[0-9A-Fa-f]{2}/g);
    var out = "";
    for (var i = 0; i < escapes.length;) {
        var decoded = null;
        for (var length = 4; length >= 1 && decoded === null; --length) {
            if (i + length > escapes.length)
                continue;
            try {
                decoded = decodeURIComponent(escapes.slice(i, i + length).join(""));
                i += length;
            } catch (ignored) {
                decoded = null;
            }
        }
        if (decoded === null) {
            decoded = rawByteUnit(escapes[i]);
            ++i;
        }
        out += decoded;
    }
    return out;
}

function isRawByteUnitAt(text, i) {
    var unit = text.charCodeAt(i);
    var afterHigh = i > 0 && text.charCodeAt(i - 1) >= 0xd800 && text.charCodeAt(i - 1) <= 0xdbff;
    return unit >= 0xdc80 && unit <= 0xdcff && !afterHigh;
}

// encodeURIComponent, but a raw-byte unit goes back to its "%XX".
function encodePathSegment(segment) {
    var out = "";
    var runStart = 0;
    for (var i = 0; i < segment.length; ++i) {
        if (!isRawByteUnitAt(segment, i))
            continue;
        out += encodeURIComponent(segment.substring(runStart, i))
                + "%" + (segment.charCodeAt(i) - 0xdc00).toString(16).toUpperCase();
        runStart = i + 1;
    }
    return out + encodeURIComponent(segment.substring(runStart));
}

// A natural size as given by the window: a positive finite number, or NaN
// when the probe failed (empty, "NaN", garbage, zero).
function naturalSizeFromText(text) {
    var value = parseFloat(text);
    return isFinite(value) && value > 0 ? value : NaN;
}

// The raw "jeu" value of an address: everything after "jeu=" in the query,
// a fragment included, so that an unescaped "#" from a careless caller still
// belongs to the path. Only the query is searched, so a folder named "jeu="
// above the page changes nothing.
function rawGameValue(href) {
    var text = String(href);
    var queryAt = text.indexOf("?");
    if (queryAt < 0)
        return "";
    var query = text.substring(queryAt + 1);
    if (query.indexOf("jeu=") === 0)
        return query.substring(4);
    var keyAt = query.indexOf("&jeu=");
    return keyAt < 0 ? "" : query.substring(keyAt + 5);
}

// href: the page's whole address. Gives the path and the natural size
// (NaN for a size that is missing or not a number).
function parseGameQuery(href) {
    var value = decodePercentTolerant(rawGameValue(href));
    var heightAt = value.lastIndexOf("=");
    var widthAt = heightAt > 0 ? value.lastIndexOf("=", heightAt - 1) : -1;
    if (widthAt < 0)
        return { path: value, width: NaN, height: NaN };
    return {
        path: value.substring(0, widthAt),
        width: naturalSizeFromText(value.substring(widthAt + 1, heightAt)),
        height: naturalSizeFromText(value.substring(heightAt + 1))
    };
}

// The address under which the player serves the files of the game being
// played (and of nothing else): its own scheme, a fixed host, then the
// game's absolute path, every character that means something in a URL
// escaped. "/home/a b.swf" and Windows' "C:/a b.swf" both work.
// A page opened straight from its file (the browser comparisons of bench/)
// has no such scheme and names the game by its file: URL instead.
var GAME_URL_PREFIX = "vorlumen://player/game";

// A movie on the internet is read through the player too, which fetches it,
// and the files it loads beside it, from the movie's own site: asked
// directly, most servers would not answer the page's cross-origin fetch
// (and the player lets no game page reach the network itself). The route is
// on the page's own host: an internet game's page runs in its site's box.
var INTERNET_GAME_URL_PREFIX = "vorlumen://player/net/";

function internetRoutePrefix() {
    var here = typeof window !== "undefined" ? window.location : null;
    if (here && here.protocol === "vorlumen:")
        return here.protocol + "//" + here.host + "/net/";
    return INTERNET_GAME_URL_PREFIX;
}

function internetGameUrl(path) {
    var match = /^\s*(https?):\/\/([^\/?#]+)([^#]*)/i.exec(String(path));
    if (!match)
        return null;
    var rest = match[3].charAt(0) === "/" ? match[3] : "/" + match[3];
    return internetRoutePrefix() + match[1].toLowerCase() + "/" + match[2] + rest;
}

// For an internet game, the route of the addresses the movie writes out in
// full on its own site: through the player, like its relative ones. Other
// sites, and local games, keep the engine's own fetch.
function internetSiteRoute(path) {
    var game = internetGameUrl(path);
    if (!game)
        return null;
    var origin = new URL(String(path).replace(/^\s+/, "")).origin;
    return function (url) {
        return /^https?:/i.test(url) && new URL(url).origin === origin ? internetGameUrl(url) : null;
    };
}

function gameUrlFromPath(path, pageProtocol) {
    var internet = internetGameUrl(path);
    if (internet)
        return internet;
    var segments = String(path).split("/");
    var encoded = segments.map(function (segment) {
        return encodePathSegment(segment).replace(/%3A/gi, ":");
    });
    var joined = encoded.join("/");
    var prefix = pageProtocol === "file:" ? "file://" : GAME_URL_PREFIX;
    return prefix + (joined.charAt(0) === "/" ? joined : "/" + joined);
}

// The folder part of a game's URL, with its last "/": what the movie's
// relative addresses resolve against.
function folderUrlOf(url) {
    var text = String(url);
    return text.substring(0, text.lastIndexOf("/") + 1);
}
