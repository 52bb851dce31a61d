import QtQuick 2.15
import QtTest 1.15
import "qrc:/lib/options.js" as Options
import "qrc:/lib/addresses.js" as Addresses
import "qrc:/lib/screenshot.js" as Screenshot

// The pure rules behind start-up, addresses and screenshot names.
TestCase {
    name: "Options"

    function test_commandLine_data() {
        return [
            { tag: "no arguments", args: [""], expected: {} },
            { tag: "source keeps case", args: ["-source:/Games/My Game.SWF"],
              expected: { source: "/Games/My Game.SWF" } },
            { tag: "option text in any case", args: ["-Source:/a.swf", "-SCREENTYPE:CRT"],
              expected: { source: "/a.swf", screentype: "CRT" } },
            { tag: "backslashes in source", args: ["-source:C:\\Games\\Foo.swf"],
              expected: { source: "C:/Games/Foo.swf" } },
            { tag: "backslashes in both folders", args: ["-savedataflash:D:\\Saves", "-picturesfolder:E:\\Pics"],
              expected: { savedataflash: "D:/Saves", folderPictures: "E:/Pics" } },
            { tag: "no backslash change for other options", args: ["-profilantimicro:a\\b"],
              expected: { profilantimicro: "a\\b" } },
            { tag: "sizes", args: ["-swfwidth:900", "-swfheight:600"],
              expected: { swfwidth: "900", swfheight: "600" } },
            { tag: "option text inside a value stays in the value",
              args: ["-picturesfolder:/srv/shots-source:1"], expected: { folderPictures: "/srv/shots-source:1" } },
            { tag: "flag inside a folder name", args: ["-source:/games/Racer-fullscreen/r.swf"],
              expected: { source: "/games/Racer-fullscreen/r.swf" } },
            { tag: "option in the middle of an argument is none", args: ["x-nodatetime", "pre-source:/x.swf"],
              expected: {} },
            { tag: "a flag is the whole argument", args: ["-fullscreenx"], expected: {} },
            { tag: "opening quote", args: ["\"-source:/a b.swf\"", "'-nodatetime'"],
              expected: { source: "/a b.swf", nodatetime: true } },
            { tag: "value keeps everything after the colon", args: ["-source:/g/a:b.swf"],
              expected: { source: "/g/a:b.swf" } },
            { tag: "source tested first", args: ["-source:c:/games/-nodatetime.swf"],
              expected: { source: "c:/games/-nodatetime.swf" } },
            { tag: "later argument wins", args: ["-screentype:crt", "-screentype:scanlines"],
              expected: { screentype: "scanlines" } },
            { tag: "help and question mark", args: ["-?"], expected: { help: true } },
            { tag: "help", args: ["-HELP"], expected: { help: true } },
            { tag: "fullscreen", args: ["-fullscreen"], expected: { fullscreen: true } },
            { tag: "mapper", args: ["-profilantimicro:p.amgp", "-controleurantimicro:03000000"],
              expected: { profilantimicro: "p.amgp", controleurantimicro: "03000000" } },
            { tag: "the host's own option stays with the host", args: ["-renderer:webgl"], expected: {} },
            { tag: "unknown argument ignored", args: ["--verbose", "game.swf"], expected: {} },
            { tag: "accents and capitals", args: ["-source:/Jeux/Éléphant Rouge.swf"],
              expected: { source: "/Jeux/Éléphant Rouge.swf" } },
            { tag: "a case change that alters length inside the value",
              args: ["-source:/İ/x.swf"], expected: { source: "/İ/x.swf" } },
            // What front-end templates send when no shell takes quotes away.
            { tag: "two dashes", args: ["--source:/a.swf", "--fullscreen", "--NoDateTime", "--help"],
              expected: { source: "/a.swf", fullscreen: true, nodatetime: true, help: true } },
            { tag: "blanks around a flag", args: [" -fullscreen ", "\t-nodatetime\n", "\" -help \""],
              expected: { fullscreen: true, nodatetime: true, help: true } },
            { tag: "blanks before a value option, a value's own blanks kept",
              args: ["  -source:/g/a.swf ", " -screentype: crt"],
              expected: { source: "/g/a.swf ", screentype: " crt" } },
            { tag: "value quoted after the colon",
              args: ["-source:\"/games/My Game.swf\"", "-picturesfolder:'C:\\Shots'"],
              expected: { source: "/games/My Game.swf", folderPictures: "C:/Shots" } },
            { tag: "one pair of quotes only, and only a matching pair",
              args: ["-source:\"\"/a.swf\"\"", "-savedataflash:\"/s'", "-profilantimicro:'p.amgp"],
              expected: { source: "\"/a.swf\"", savedataflash: "\"/s'", profilantimicro: "'p.amgp" } },
            { tag: "quotes around the argument and the value",
              args: ["\"-source:'/a b.swf'\""], expected: { source: "/a b.swf" } },
            { tag: "an empty quoted value", args: ["-source:\"\""], expected: { source: "" } },
            { tag: "three dashes are no option", args: ["---fullscreen"], expected: {} },
            { tag: "profile in a subfolder", args: ["-profilantimicro:arcade/shooter.amgp"],
              expected: { profilantimicro: "arcade/shooter.amgp" } }
        ]
    }

    // The host's reader, as the window gets its options.
    function test_commandLine(data) {
        compare(sortedEntries(testHost.parseCommandLine(data.args)), sortedEntries(data.expected))
    }

    // An object's keys and values as text, whatever order the keys came in.
    function sortedEntries(object) {
        return JSON.stringify(Object.keys(object).sort().map(function (key) {
            return [key, object[key]]
        }))
    }

    function test_screenType_data() {
        return [
            { tag: "crt", value: "crt", mode: 1 },
            { tag: "CRT", value: "CRT", mode: 1 },
            { tag: "scanlines", value: "ScanLines", mode: 2 },
            { tag: "other", value: "lcd", mode: -1 },
            { tag: "empty", value: "", mode: -1 }
        ]
    }

    function test_screenType(data) {
        compare(Options.screenTypeMode(data.value), data.mode)
    }

    function test_overlaySource() {
        compare(Options.overlaySource(0), "")
        compare(Options.overlaySource(1), "qrc:/img/crt.png")
        compare(Options.overlaySource(2), "qrc:/img/scanlines.png")
        compare(Options.overlaySource(5), "")
        compare(Options.overlaySource(-1), "")
    }

    function test_mapperCommand() {
        compare(Options.mapperCommand("/opt/v", "", "guid", false), null)
        compare(JSON.stringify(Options.mapperCommand("/opt/v", "p.amgp", "", false)),
                JSON.stringify({ program: "/opt/v/antimicro/antimicro",
                                 arguments: ["--hidden", "--profile", "/opt/v/antimicro/profiles/p.amgp"] }))
        // A named controller gets the profile too.
        compare(JSON.stringify(Options.mapperCommand("C:/V", "p.amgp", "0300", true)),
                JSON.stringify({ program: "C:/V/antimicro/antimicro.exe",
                                 arguments: ["--hidden", "--profile", "C:/V/antimicro/profiles/p.amgp",
                                             "--profile-controller", "0300"] }))
    }

    // A profile is named relative to the profiles folder and stays inside it
    // (links out are the host's check).
    function test_profilePath_data() {
        return [
            { tag: "file name", profile: "p.amgp", ok: true },
            { tag: "subfolder", profile: "arcade/shooter.amgp", ok: true },
            { tag: "dot folder", profile: "./arcade/s.amgp", ok: true },
            { tag: "dots inside a name", profile: "a..b/..p.amgp", ok: true },
            { tag: "climbing out", profile: "../../../../etc/passwd", ok: false },
            { tag: "climbing out through a subfolder", profile: "arcade/../../x.amgp", ok: false },
            { tag: "absolute", profile: "/etc/passwd", ok: false },
            { tag: "backslash", profile: "a\\b", ok: false },
            { tag: "parent", profile: "..", ok: false },
            { tag: "the folder itself", profile: ".", ok: false },
            { tag: "a folder", profile: "arcade/", ok: false },
            { tag: "empty", profile: "", ok: false }
        ]
    }

    function test_profilePath(data) {
        compare(Options.isProfilePath(data.profile), data.ok)
        var command = Options.mapperCommand("/opt/v", data.profile, "", false)
        compare(command !== null, data.ok)
        if (data.ok)
            compare(command.arguments[2], "/opt/v/antimicro/profiles/" + data.profile)
    }

    function test_plainHelp() {
        var rich = "<u>Options</u> :<br><br>\n                        > <b>-a</b> - one.<br>\n                        > <b>-b</b> - « <i>two</i> ».\n                    <br>"
        compare(Options.plainHelp(rich), "Options :\n\n> -a - one.\n> -b - « two ».")
    }

    function test_terminalHelp() {
        var lines = Options.terminalHelp("Options :<br>> <b>-a</b> - one.<br>").split("\n")
        compare(lines[0], "Options :")
        compare(lines[1], "> -a - one.")
        verify(/^> -help, -\? - /.test(lines[2]), lines[2])
        verify(/^> -renderer: - .*auto.*webgl.*canvas/.test(lines[3]), lines[3])
        compare(lines.length, 4)
    }

    function test_folderAddress_data() {
        return [
            { tag: "unix", path: "/home/x", address: "file:///home/x" },
            { tag: "root", path: "/", address: "file:///" },
            { tag: "windows drive", path: "C:/Games", address: "file:///C:/Games" },
            { tag: "blanks and accents", path: "/home/x/Mes Jeux/été", address: "file:///home/x/Mes Jeux/été" },
            { tag: "hash and percent", path: "/g/a#b/100%", address: "file:///g/a%23b/100%25" },
            { tag: "question mark", path: "/g/why?", address: "file:///g/why%3F" }
        ]
    }

    function test_folderAddress(data) {
        compare(Addresses.localFolderAddress(data.path), data.address)
        compare(Addresses.pathFromLocalAddress(data.address), data.path)
    }

    function test_pathFromQtUrlText() {
        // What a folder model gives back as text.
        compare(Addresses.pathFromLocalAddress("file:///home/x/My%20Games"), "/home/x/My Games")
        compare(Addresses.pathFromLocalAddress("file:///D:/"), "D:/")
        compare(Addresses.pathFromLocalAddress("file:///bad%E0%A4%A"), "/bad%E0%A4%A")
    }

    function test_gamePageAddress() {
        compare(Addresses.gamePageAddress("/g/x.swf", "640", "480"),
                "vorlumen://player/flash/flash.html?jeu=/g/x.swf=640=480")
        compare(Addresses.gamePageAddress("c:/games/x.swf", "640", "480"),
                "vorlumen://player/flash/flash.html?jeu=c:/games/x.swf=640=480")
        compare(Addresses.gamePageAddress("/g/a=b #1 100%.swf", "NaN", "NaN"),
                "vorlumen://player/flash/flash.html?jeu=/g/a=b %231 100%25.swf=NaN=NaN")
        compare(Addresses.gamePageAddress("/g/x.swf", "", ""),
                "vorlumen://player/flash/flash.html?jeu=/g/x.swf==")
    }

    function test_addressChange_data() {
        return [
            { tag: "nothing shown yet", url: "", origine: true, isSWF: false, expectedBezel: true },
            { tag: "internet", url: "https://example.com/game", origine: true, isSWF: false, expectedBezel: false },
            { tag: "page from a file", url: "file:///home/http-games/flash.html?jeu=/http/a.swf=1=1", origine: true, isSWF: false, expectedBezel: false },
            { tag: "ftp", url: "ftp://files.example.org/flash.html", origine: true, isSWF: false, expectedBezel: false },
            { tag: "no scheme", url: "//example.com/", origine: true, isSWF: false, expectedBezel: false },
            { tag: "internet game in its site's box", url: "vorlumen://site-0a1b/flash/flash.html?jeu=http://h/a.swf=1=1", origine: true, isSWF: true, expectedBezel: true },
            { tag: "another page of the player", url: "vorlumen://player/game/home/a.html", origine: true, isSWF: false, expectedBezel: false },
            { tag: "internet in capitals", url: "HTTPS://EXAMPLE.COM/", origine: true, isSWF: false, expectedBezel: false },
            { tag: "bezel not wanted", url: "vorlumen://player/flash/flash.html", origine: false, isSWF: true, expectedBezel: false },
            { tag: "game page", url: "vorlumen://player/flash/flash.html?jeu=/a.swf=1=1", origine: true, isSWF: true, expectedBezel: true },
            { tag: "game page, http in the game's path", url: "vorlumen://player/flash/flash.html?jeu=/home/httpgames/a.swf=1=1", origine: true, isSWF: true, expectedBezel: true },
            { tag: "http page posing as the game page", url: "https://x/vorlumen://player/flash/flash.html?jeu=/a.swf", origine: true, isSWF: false, expectedBezel: false }
        ]
    }

    function test_addressChange(data) {
        compare(Addresses.isGamePageAddress(data.url), data.isSWF)
        compare(Addresses.bezelShownFor(data.url, data.origine), data.expectedBezel)
    }

    function test_internetAddress_data() {
        return [
            { tag: "http", text: "http://example.com/g.swf", internet: true, follow: true, swf: true },
            { tag: "capitals", text: "HTTP://EXAMPLE.COM/G.SWF", internet: true, follow: true, swf: true },
            { tag: "https", text: "https://example.com/", internet: true, follow: true, swf: false },
            { tag: "SWF with a query", text: "https://h:8080/a/g.SwF?level=2", internet: true, follow: true, swf: true },
            { tag: "SWF only in the query", text: "https://h/play.php?file=g.swf", internet: true, follow: true, swf: false },
            { tag: "SWF only in the fragment", text: "https://h/page#g.swf", internet: true, follow: true, swf: false },
            { tag: "SWF as a host name", text: "http://g.swf", internet: true, follow: true, swf: false },
            { tag: "local folder named http", text: "/srv/http-games/g.swf", internet: false, follow: false },
            { tag: "file address holding http", text: "file:///srv/http://x", internet: false, follow: false },
            { tag: "javascript", text: "javascript:alert('http://x')", internet: false, follow: false },
            { tag: "data", text: "data:text/html,http://x", internet: false, follow: false },
            { tag: "blob", text: "blob:http://example.com/1", internet: false, follow: false },
            { tag: "ftp", text: "ftp://example.com/", internet: false, follow: false },
            { tag: "empty", text: "", internet: false, follow: false }
        ]
    }

    function test_internetAddress(data) {
        compare(Addresses.isInternetAddress(data.text), data.internet)
        compare(Addresses.isFollowableAddress(data.text), data.follow)
        compare(Addresses.isInternetSwfAddress(data.text), data.swf === true)
    }

    function test_probeOutput_data() {
        return [
            { tag: "normal", text: "-X 640 -Y 480\n", width: "640", height: "480" },
            { tag: "no line feed", text: "-X 640 -Y 480", width: "640", height: "480" },
            { tag: "two spaces", text: "-X  640 -Y 480\n", width: "NaN", height: "NaN" },
            { tag: "fraction", text: "-X 550.7 -Y 400.2\n", width: "550", height: "400" },
            { tag: "empty", text: "", width: "NaN", height: "NaN" },
            { tag: "width only", text: "-X 640\n", width: "640", height: "NaN" },
            { tag: "error text", text: "swfdump: not a SWF file\n", width: "NaN", height: "NaN" },
            { tag: "negative", text: "-X -2 -Y -2\n", width: "-2", height: "-2" }
        ]
    }

    function test_probeOutput(data) {
        var probe = Addresses.parseProbeOutput(data.text)
        compare(probe.width, data.width)
        compare(probe.height, data.height)
    }

    function test_driveIndex_data() {
        return [
            { tag: "longest prefix", drives: ["/", "/home", "/media/usb"], folder: "file:///home/me/games", ignoreCase: false, index: 1 },
            { tag: "root only", drives: ["/", "/media/usb"], folder: "file:///srv/games", ignoreCase: false, index: 0 },
            { tag: "not a prefix by name", drives: ["/", "/media/usb"], folder: "file:///media/usb2/x", ignoreCase: false, index: 0 },
            { tag: "mount itself", drives: ["/", "/media/usb"], folder: "file:///media/usb", ignoreCase: false, index: 1 },
            { tag: "windows letter", drives: ["C:/", "D:/"], folder: "file:///d:/Jeux", ignoreCase: true, index: 1 },
            { tag: "regex characters in the folder", drives: ["/", "/mnt/(x"], folder: "file:///mnt/(x/[y", ignoreCase: false, index: 1 },
            { tag: "no drives", drives: [], folder: "file:///x", ignoreCase: false, index: 0 },
            { tag: "short address", drives: ["C:/", "D:/"], folder: "file:///", ignoreCase: true, index: 0 }
        ]
    }

    function test_driveIndex(data) {
        compare(Addresses.driveIndexForFolder(data.drives, data.folder, data.ignoreCase), data.index)
    }

    function test_screenshotName_data() {
        return [
            { tag: "slashes", source: "d:/games/demo.swf", name: "demo.jpg" },
            { tag: "backslashes", source: "c:\\games\\demo.swf", name: "demo.jpg" },
            { tag: "extension in any case, name as written", source: "/g/Foo.SWF", name: "Foo.jpg" },
            { tag: "last extension only", source: "/g/demo.swf.swf", name: "demo.swf.jpg" },
            { tag: "no separator", source: "demo.swf", name: "demo.jpg" },
            { tag: "swf in the middle stays", source: "/g/my.swf.game", name: "my.swf.game.jpg" },
            { tag: "internet address", source: "http://h:8/g/My%20Game.SWF?v=2#x", name: "My Game.jpg" },
            { tag: "internet, a slash in the query", source: "https://h/g.swf?from=/x/y", name: "g.jpg" },
            { tag: "local name with a question mark", source: "/g/why?.swf", name: "why?.jpg" }
        ]
    }

    function test_screenshotName(data) {
        compare(Screenshot.screenshotFileName(data.source), data.name)
    }

    function test_screenshotFolder() {
        compare(Screenshot.screenshotPath("", "/home/me/Pictures", "/g/a.swf"), "/home/me/Pictures/a.jpg")
        compare(Screenshot.screenshotPath("/shots", "/home/me/Pictures", "/g/a.swf"), "/shots/a.jpg")
    }
}
