.pragma library

// Start-up options, in the order each argument is tested. The first option
// text found anywhere in an argument (whatever its case) is the one applied.
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

// Index of `needle` (lower case) in `text`, ignoring the case of `text`.
// Compares character by character so the index is valid in the text as typed.
function indexIgnoringCase(text, needle) {
    var last = text.length - needle.length;
    for (var i = 0; i <= last; ++i) {
        if (text.substr(i, needle.length).toLowerCase() === needle)
            return i;
    }
    return -1;
}

// The option that applies to one argument, with its value cut from the
// argument as typed, or null when the argument holds no option text.
function matchArgument(argument) {
    var text = String(argument);
    for (var i = 0; i < table.length; ++i) {
        var option = table[i];
        var at = indexIgnoringCase(text, option.text);
        if (at < 0)
            continue;
        var value = text.slice(0, at) + text.slice(at + option.text.length);
        if (option.path)
            value = value.replace(/\\/g, "/");
        return { key: option.key, value: option.flag ? true : value };
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

// The gamepad mapper's program and arguments, or null when no profile is asked for.
function mapperCommand(applicationDirPath, profile, controller, windows) {
    if (!profile)
        return null;
    var program = applicationDirPath + "/antimicro/antimicro" + (windows ? ".exe" : "");
    if (controller)
        return { program: program, arguments: ["--hidden", "--profile-controller", controller] };
    return {
        program: program,
        arguments: ["--hidden", "--profile", applicationDirPath + "/antimicro/profiles/" + profile]
    };
}

// Start-up options the host reads itself, before the window exists; the
// help dialog leaves them out, the terminal's help lists them.
var hostOptionsHelp = "> -renderer: - Choose Ruffle's renderer: auto (default, the web engine"
    + " decides), webgl (WebGL even where the engine's GPU block list refuses it; some"
    + " games need it to draw) or canvas (example : -renderer:webgl).";

// The help printed on standard output: the dialog's text, then the host's
// own options.
function terminalHelp(richText) {
    return plainHelp(richText) + "\n" + hostOptionsHelp;
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
