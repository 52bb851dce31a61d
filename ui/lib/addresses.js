.pragma library

// Characters that would end or change a path inside a file: address.
function escapePathForUrl(path) {
    return String(path).replace(/%/g, "%25").replace(/#/g, "%23").replace(/\?/g, "%3F");
}

// "file:///" and the path without its leading slashes: file:///home/x here,
// file:///C:/x on Windows.
function localFolderAddress(path) {
    return "file:///" + escapePathForUrl(String(path).replace(/\\/g, "/").replace(/^\/+/, ""));
}

function decodePercent(text) {
    try {
        return decodeURIComponent(text);
    } catch (e) {
        return text;
    }
}

// The local path behind a file: address (the reverse of localFolderAddress).
function pathFromLocalAddress(address) {
    var text = String(address);
    var match = /^file:\/\/[^\/]*(\/.*)?$/i.exec(text);
    if (!match)
        return text;
    var path = decodePercent(match[1] || "/");
    // A Windows drive path comes as /C:/x.
    if (/^\/[A-Za-z]:(\/|$)/.test(path))
        path = path.substring(1);
    return path;
}

// An internet address starts with the http: or https: scheme, in any case.
// A local path that merely holds "http" (a folder "http-games/") is not one.
function isInternetAddress(text) {
    return /^https?:\/\//i.test(String(text).replace(/^\s+/, ""));
}

// An internet address of a SWF file (its path ends in ".swf", in any case):
// played in the game page like a local game, not shown as a page.
function isInternetSwfAddress(text) {
    var match = /^\s*https?:\/\/[^\/?#]+(\/[^?#]*)?/i.exec(String(text));
    return !!(match && /\.swf$/i.test(match[1] || ""));
}

// The only addresses a page may send the view to when it asks for a new
// window: internet pages. Never a local file, a script, data, or the
// player's own pages.
function isFollowableAddress(url) {
    return isInternetAddress(url);
}

// The game page, served by the player itself from flash/ beside the
// executable (docs/page.md): a fixed address, whatever the install folder.
var gamePageLocation = "vorlumen://player/flash/flash.html";

// The game page address. Only "%" and "#" are escaped in the game's path: the
// page splits the rest itself, "=" included (the sizes follow the last two).
function gamePageAddress(source, width, height) {
    var path = String(source).replace(/%/g, "%25").replace(/#/g, "%23");
    return gamePageLocation + "?jeu=" + path + "=" + width + "=" + height;
}

// Whether the view shows the game page, whatever game it plays (a game's
// path may well hold "http").
function isGamePageAddress(url) {
    var text = String(url);
    return text === gamePageLocation || text.indexOf(gamePageLocation + "?") === 0;
}

// What a change of the view's address means for the window.
function stateForAddress(url, bezelActifOrigine, bezelActif) {
    var text = String(url);
    if (isGamePageAddress(text) || (text !== "" && !isInternetAddress(text)))
        return { isSWF: true, bezelActif: bezelActifOrigine ? true : bezelActif };
    return { isSWF: false, bezelActif: false };
}

// The size-probe file's text: token 1 is the width, token 3 the height.
function parseProbeOutput(text) {
    var tokens = String(text).split(" ");
    return {
        tokens: tokens,
        width: String(parseInt(tokens[1])),
        height: String(parseInt(tokens[3]))
    };
}

// Index of the drive whose root is the longest prefix of the folder's path;
// 0 when none is.
function driveIndexForFolder(drives, folderAddress, ignoreCase) {
    var path = pathFromLocalAddress(folderAddress);
    if (ignoreCase)
        path = path.toLowerCase();
    var best = 0;
    var bestLength = -1;
    for (var i = 0; i < drives.length; ++i) {
        var root = String(drives[i]);
        if (ignoreCase)
            root = root.toLowerCase();
        var rootWithSlash = root.charAt(root.length - 1) === "/" ? root : root + "/";
        var inside = path === root || path.indexOf(rootWithSlash) === 0;
        if (inside && root.length > bestLength) {
            best = i;
            bestLength = root.length;
        }
    }
    return best;
}

// The internet addresses the address dialog accepts, in ECMAScript syntax.
var internetAddressPattern = "^(?:(?:(?:https?|ftp):)?\\/\\/)(?:\\S+(?::\\S*)?@)?(?:(?!(?:10|127)(?:\\.\\d{1,3}){3})(?!(?:169\\.254|192\\.168)(?:\\.\\d{1,3}){2})(?!172\\.(?:1[6-9]|2\\d|3[0-1])(?:\\.\\d{1,3}){2})(?:[1-9]\\d?|1\\d\\d|2[01]\\d|22[0-3])(?:\\.(?:1?\\d{1,2}|2[0-4]\\d|25[0-5])){2}(?:\\.(?:[1-9]\\d?|1\\d\\d|2[0-4]\\d|25[0-4]))|(?:(?:[a-z0-9\\u00a1-\\uffff][a-z0-9\\u00a1-\\uffff_-]{0,62})?[a-z0-9\\u00a1-\\uffff]\\.)+(?:[a-z\\u00a1-\\uffff]{2,}\\.?))(?::\\d{2,5})?(?:[/?#]\\S*)?$";

function isAcceptableInternetAddress(text) {
    return new RegExp(internetAddressPattern).test(text);
}

// The same expression for the text field's validator, whose engine spells a
// character code \xhhhh instead of \uhhhh.
function validatorExpression() {
    return new RegExp(internetAddressPattern.replace(/\\u([0-9a-fA-F]{4})/g, "\\x$1"));
}
