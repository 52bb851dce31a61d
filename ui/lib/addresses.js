.pragma library
.import "gamequery.js" as GameQuery

// Characters that would end or change a path inside a file: address.
function escapePathForUrl(path) {
    return String(path).replace(/%/g, "%25").replace(/#/g, "%23").replace(/\?/g, "%3F");
}

// "file:///" and the path without its leading slashes: file:///home/x here,
// file:///C:/x on Windows.
function localFolderAddress(path) {
    return "file:///" + escapePathForUrl(String(path).replace(/\\/g, "/").replace(/^\/+/, ""));
}

// Undoes %XX escapes, or leaves the text as it is when they are not UTF-8.
// Stricter than the game page's decoder (page/gamequery.js) on purpose: that one
// must recover every byte of a game's file name from the address the window
// wrote, raw bytes included; this one reads hosts a person typed and folder
// addresses the folder model gave, where a malformed escape is no name to
// guess at and the text is better kept as written.
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
function escapeRawBytes(text) {
    var out = "";
    for (var i = 0; i < text.length; ++i) {
        var unit = text.charCodeAt(i);
        var afterHigh = i > 0 && text.charCodeAt(i - 1) >= 0xd800 && text.charCodeAt(i - 1) <= 0xdbff;
        out += unit >= 0xdc80 && unit <= 0xdcff && !afterHigh
                ? "%" + (unit - 0xdc00).toString(16).toUpperCase() : text.charAt(i);
    }
    return out;
}

// A byte of a file name that is not UTF-8 reaches the window as a lone
// surrogate (U+DC80 to U+DCFF, see host/rawnames.h) and goes on as "%XX".
function gamePageAddress(source, width, height) {
    var path = escapeRawBytes(String(source).replace(/%/g, "%25").replace(/#/g, "%23"));
    return gamePageLocation + "?jeu=" + path + "=" + width + "=" + height;
}

// A folder address as the settings store keeps it. SQLite reads text
// through UTF-16, where a raw byte's unit (a lone surrogate) is no text and
// comes back as another character, eating the next one: such a byte is
// stored as its "%XX" instead. A "%" of the name itself is already "%25"
// in a folder address, so every "%XX" from 80 up is a byte of the name.
function storableAddress(address) {
    return escapeRawBytes(String(address));
}

// The reverse, for what the store holds: byte escapes that are UTF-8 become
// their characters, the others raw-byte units again. Rows written by earlier
// builds hold no such escapes and read as they stand.
function addressFromStore(text) {
    return String(text).replace(/(%[89A-Fa-f][0-9A-Fa-f])+/g, GameQuery.decodeMixedRun);
}

// A name as the drawer shows it: a byte that is not UTF-8 reads as its
// Latin-1 character, which is what old archives' names mostly meant.
function readableName(name) {
    var text = String(name);
    var out = "";
    for (var i = 0; i < text.length; ++i)
        out += GameQuery.isRawByteUnitAt(text, i) ? String.fromCharCode(text.charCodeAt(i) - 0xdc00) : text.charAt(i);
    return out;
}

// Whether the view shows the game page, whatever game it plays (a game's
// path may well hold "http"). An internet game's page is the same page in a
// box of its site's own (vorlumen://site-.../), which the player moves it to.
function isGamePageAddress(url) {
    return /^vorlumen:\/\/(player|site-[0-9a-f]+)\/flash\/flash\.html(\?|$)/.test(String(url));
}

// Whether the bezel shows for the address in the view and the user's
// choice: on the player's own game page (local or an internet game in its
// site's box) as chosen, and before any page as chosen; never on any other
// page, whatever its scheme (no bezel on a foreign page).
function bezelShownFor(url, chosen) {
    return chosen && (String(url) === "" || isGamePageAddress(url));
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
// User info may not hold "/", "?", "#" or "\\": the engine ends the host
// there, and the pattern would otherwise take what follows for the host.
var internetAddressPattern = "^(?:(?:(?:https?|ftp):)?\\/\\/)(?:[^\\s\\/?#@\\\\]+(?::[^\\s\\/?#@\\\\]*)?@)?(?:(?!(?:10|127)(?:\\.\\d{1,3}){3})(?!(?:169\\.254|192\\.168)(?:\\.\\d{1,3}){2})(?!172\\.(?:1[6-9]|2\\d|3[0-1])(?:\\.\\d{1,3}){2})(?:[1-9]\\d?|1\\d\\d|2[01]\\d|22[0-3])(?:\\.(?:1?\\d{1,2}|2[0-4]\\d|25[0-5])){2}(?:\\.(?:[1-9]\\d?|1\\d\\d|2[0-4]\\d|25[0-4]))|(?:(?:[a-z0-9\\u00a1-\\uffff][a-z0-9\\u00a1-\\uffff_-]{0,62})?[a-z0-9\\u00a1-\\uffff]\\.)+(?:[a-z\\u00a1-\\uffff]{2,}\\.?))(?::\\d{2,5})?(?:[/?#]\\S*)?$";

// The host as the web engine will read it from an address: after the last
// "@" of the authority, which ends at "/", "?", "#" or "\\"; lower case,
// percent escapes and full-width forms undone, without a final dot.
function hostOfAddress(text) {
    var match = /^\s*(?:[a-z][a-z0-9+.-]*:)?\/\/([^\/?#\\]*)/i.exec(String(text));
    if (!match)
        return "";
    var authority = match[1];
    var host = authority.substring(authority.lastIndexOf("@") + 1);
    if (host.charAt(0) !== "[")
        host = host.replace(/:\d*$/, "");
    else
        host = host.substring(0, host.indexOf("]") + 1);
    // The characters that host parsing ignores (soft hyphen, zero-width
    // characters, variation selectors) go first, as they do in the engine.
    host = decodePercent(host).replace(/[\u00ad\u034f\u180b-\u180d\u200b-\u200d\u2060\ufe00-\ufe0f\ufeff]/g, "");
    if (host.normalize)
        host = host.normalize("NFKC");
    host = host.replace(/[\u3002\uff0e\uff61]/g, ".").toLowerCase();
    return host.replace(/\.$/, "");
}

// An IPv4 address as the web engine parses a host: one to four parts, each
// decimal, octal (leading 0) or hexadecimal (0x), the last part filling the
// remaining bytes ("127.1", "0x7f000001", "2130706433"). Null for a name.
function ipv4Bytes(host) {
    var parts = host.split(".");
    if (parts.length > 4)
        return null;
    var numbers = [];
    for (var i = 0; i < parts.length; ++i) {
        var part = parts[i];
        var value;
        if (/^0x[0-9a-f]*$/.test(part))
            value = part.length > 2 ? parseInt(part.substring(2), 16) : 0;
        else if (/^0[0-7]+$/.test(part))
            value = parseInt(part, 8);
        else if (/^(0|[1-9][0-9]*)$/.test(part))
            value = parseInt(part, 10);
        else
            return null;
        numbers.push(value);
    }
    var last = numbers.pop();
    var value32 = last;
    for (var j = 0; j < numbers.length; ++j) {
        if (numbers[j] > 255)
            return null;
        value32 += numbers[j] * Math.pow(256, 3 - j);
    }
    if (last >= Math.pow(256, 4 - numbers.length) || value32 > 0xffffffff)
        return null;
    return [Math.floor(value32 / 16777216) % 256, Math.floor(value32 / 65536) % 256,
            Math.floor(value32 / 256) % 256, value32 % 256];
}

// The same ranges as the player's request check (host/localnetwork.cpp).
function isPrivateIpv4(b) {
    return b[0] === 0 || b[0] === 10 || b[0] === 127 || b[0] >= 224
            || (b[0] === 169 && b[1] === 254) || (b[0] === 172 && b[1] >= 16 && b[1] <= 31)
            || (b[0] === 192 && b[1] === 168) || (b[0] === 100 && b[1] >= 64 && b[1] <= 127)
            || (b[0] === 192 && b[1] === 0 && (b[2] === 0 || b[2] === 2))
            || (b[0] === 198 && (b[1] === 18 || b[1] === 19))
            || (b[0] === 198 && b[1] === 51 && b[2] === 100) || (b[0] === 203 && b[1] === 0 && b[2] === 113);
}

// Whether a host reaches this machine or its local network: loopback,
// private, link-local, unspecified or multicast addresses in any spelling,
// "localhost" and its subdomains. An IPv6 literal passes only in the global
// unicast range, and not as 6to4, which would carry an IPv4 address.
function isLocalHost(host) {
    if (host === "" || host === "localhost" || /\.localhost$/.test(host))
        return true;
    if (host.charAt(0) === "[")
        return !/^\[[23][0-9a-f]{3}:/.test(host) || /^\[(?:2002|2001:0?db8):/.test(host);
    var bytes = ipv4Bytes(host);
    return bytes !== null && isPrivateIpv4(bytes);
}

function isAcceptableInternetAddress(text) {
    return new RegExp(internetAddressPattern).test(text) && !isLocalHost(hostOfAddress(text));
}

// The same expression for the text field's validator, whose engine spells a
// character code \xhhhh instead of \uhhhh.
function validatorExpression() {
    return new RegExp(internetAddressPattern.replace(/\\u([0-9a-fA-F]{4})/g, "\\x$1"));
}
