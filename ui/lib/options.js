.pragma library

// The start-up options themselves are read by the host
// (host/startoptions.cpp), which gives the window `startOptions`.

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
var hostOptionsHelp = "> -renderer: - Choose Ruffle's renderer: auto (default: canvas, drawn in"
    + " software, and WebGL for the games that need it: the player starts again with it the first"
    + " time and remembers it per game), webgl (always WebGL) or canvas (always canvas; the way"
    + " out if a graphics driver misbehaves) (example : -renderer:canvas).";

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
