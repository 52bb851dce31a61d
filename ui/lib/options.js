.pragma library

// Start-up options, in the order each argument is tested. An option is
// recognised only at the start of an argument, in any case, so that a path
// holding "-source:" or "-fullscreen" stays a path. Front-end templates add
// what no shell takes away: blanks and an opening quote before the option,
// two dashes instead of one, quotes around the value (see optionText).
var table = [
    { text: "-source:", key: "source", path: true },
    { text: "-swfwidth:", key: "swfwidth" },
    { text: "-swfheight:", key: "swfheight" },
    { text: "-savedataflash:", key: "savedataflash", path: true },
    { text: "-profilantimicro:", key: "profilantimicro" },
    { text: "-controleurantimicro:", key: "controleurantimicro" },
    { text: "-screentype:", key: "screentype" },
    { text: "-fullscreen", key: "fullscreen", flag: true },
    { text: "-nodatetime", key: "nodatetime", flag: true },
    { text: "-help", key: "help", flag: true },
    { text: "-?", key: "help", flag: true },
    { text: "-picturesfolder:", key: "folderPictures", path: true }
];

// The keys of the options that carry a value: each names the window
// property that receives it.
function valueKeys() {
    return table.filter(function (option) { return !option.flag; })
        .map(function (option) { return option.key; });
}

// The argument without the quotes a front-end may have left around it: an
// opening quote, and its closing partner when there is one.
function unquoted(argument) {
    var text = String(argument);
    var quote = text.charAt(0);
    if (quote !== "\"" && quote !== "'")
        return text;
    var end = text.length > 1 && text.charAt(text.length - 1) === quote ? text.length - 1 : text.length;
    return text.substring(1, end);
}

// The argument as the option table reads it: without leading blanks, an
// opening quote (and its partner), and with one dash where two were typed.
function optionText(argument) {
    var text = unquoted(String(argument).replace(/^\s+/, "")).replace(/^\s+/, "");
    return text.substring(0, 2) === "--" ? text.substring(1) : text;
}

// A value quoted after the colon, -source:"/games/My Game.swf", keeps its
// quotes when no shell removes them: one pair of matching quotes goes.
function unquotedValue(value) {
    var quote = value.charAt(0);
    if (value.length >= 2 && (quote === "\"" || quote === "'") && value.charAt(value.length - 1) === quote)
        return value.substring(1, value.length - 1);
    return value;
}

// The option that applies to one argument, with its value (everything after
// the option text, as typed, less one pair of quotes), or null when the
// argument starts with none. A flag must be the whole argument, blanks aside.
function matchArgument(argument) {
    var text = optionText(argument);
    var lower = text.toLowerCase();
    for (var i = 0; i < table.length; ++i) {
        var option = table[i];
        if (lower.indexOf(option.text) !== 0)
            continue;
        if (option.flag) {
            if (text.replace(/\s+$/, "").length !== option.text.length)
                continue;
            return { key: option.key, value: true };
        }
        var value = unquotedValue(text.substring(option.text.length));
        if (option.path)
            value = value.replace(/\\/g, "/");
        return { key: option.key, value: value };
    }
    return null;
}

// Everything the command line asks for; options not given are absent.
// A later argument wins over an earlier one.
function parseCommandLine(commandLine) {
    var options = {};
    var list = commandLine || [];
    for (var i = 0; i < list.length; ++i) {
        var match = matchArgument(list[i]);
        if (match)
            options[match.key] = match.value;
    }
    return options;
}

// The screen mode a "-screentype:" value asks for, or -1 when it names none.
function screenTypeMode(screentype) {
    var type = String(screentype).toLowerCase();
    if (type === "crt")
        return 1;
    if (type === "scanlines")
        return 2;
    return -1;
}

// The overlay picture of a screen mode; empty for none and unknown modes.
function overlaySource(mode) {
    if (mode === 1)
        return "qrc:/img/crt.png";
    if (mode === 2)
        return "qrc:/img/scanlines.png";
    return "";
}

// A mapper profile is a file in the profiles folder or one of its
// subfolders, named relative to it: not absolute, no "..", no backslash
// (a path from another system). Links out are the host's to refuse.
function isProfilePath(profile) {
    var name = String(profile);
    if (name === "" || name.charAt(0) === "/" || name.indexOf("\\") >= 0)
        return false;
    var parts = name.split("/");
    if (parts.indexOf("..") >= 0)
        return false;
    var last = parts[parts.length - 1];
    return last !== "" && last !== ".";
}

// Where mapper profiles are looked for, in order: the cabinet owner's own
// folder in the player's data folder (writable, kept across upgrades), then
// the profiles that come with the player.
function profileFolders(applicationDirPath, dataFolder) {
    var folders = [];
    if (dataFolder)
        folders.push(dataFolder + "/antimicro/profiles");
    folders.push(applicationDirPath + "/antimicro/profiles");
    return folders;
}

// The gamepad mapper's program and arguments, or null when no usable
// profile is asked for. A named controller gets the profile too: the mapper
// applies "--profile" to the controller given with "--profile-controller".
function mapperCommand(applicationDirPath, profile, controller, windows, profilesFolder) {
    if (!isProfilePath(profile))
        return null;
    var program = applicationDirPath + "/antimicro/antimicro" + (windows ? ".exe" : "");
    var folder = profilesFolder || applicationDirPath + "/antimicro/profiles";
    var args = ["--hidden", "--profile", folder + "/" + profile];
    if (controller)
        args.push("--profile-controller", controller);
    return { program: program, arguments: args };
}

// Start-up options the host reads itself, before the window exists; the
// help dialog leaves them out, the terminal's help lists them.
var hostOptionsHelp = "> -renderer: - Choose Ruffle's renderer: auto (default: canvas, and WebGL"
    + " for the games that need it, remembered per game), webgl (always WebGL) or canvas"
    + " (always canvas; the way out if a graphics driver misbehaves) (example : -renderer:canvas).";

// The help option itself, which the dialog it opens leaves out.
var helpOptionHelp = "> -help, -? - Show these options in a dialog and print them on standard"
    + " output; the game, if any, starts behind the dialog.";

// The help printed on standard output: the dialog's text, then the options
// the dialog leaves out. The manual page is made from this text too
// (tools/manpage).
function terminalHelp(richText) {
    return plainHelp(richText) + "\n" + helpOptionHelp + "\n" + hostOptionsHelp;
}

// The help text as plain text, for a terminal: white space runs count as
// one blank, as in rich text; every <br> ends a line.
function plainHelp(richText) {
    return String(richText)
        .replace(/\s+/g, " ")
        .replace(/<br>/g, "\n")
        .replace(/<[^>]*>/g, "")
        .replace(/ *\n */g, "\n")
        .trim();
}
