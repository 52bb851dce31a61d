// Writes the manual page vorlumen.1. Its options are the text the player
// prints for -help, computed by the same script functions the window calls
// (ui/lib/options.js on ui/lib/texts.js), so the two never disagree.
//   manpage <options.js> <texts.js> <version> <output>
#include <QCoreApplication>
#include <QFile>
#include <QJSEngine>
#include <QRegularExpression>
#include <QTextStream>

namespace {

// The player's -help text, exactly as main.qml prints it.
const char printedHelpExpression[] = "terminalHelp(HELP_ENGLISH)";

QString readScript(const QString &path, QString *problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *problem = path + QStringLiteral(": ") + file.errorString();
        return QString();
    }
    // ".pragma library" only means something to the QML engine.
    QString source = QString::fromUtf8(file.readAll());
    source.replace(QRegularExpression(QStringLiteral("^\\.pragma[^\\n]*"),
                                      QRegularExpression::MultilineOption),
                   QString());
    return source;
}

QString printedHelp(const QStringList &scripts, QString *problem)
{
    QJSEngine engine;
    for (const QString &path : scripts) {
        const QString source = readScript(path, problem);
        if (!problem->isEmpty())
            return QString();
        const QJSValue result = engine.evaluate(source, path);
        if (result.isError()) {
            *problem = path + QStringLiteral(": ") + result.toString();
            return QString();
        }
    }
    const QJSValue help = engine.evaluate(QLatin1String(printedHelpExpression));
    if (help.isError() || !help.isString()) {
        *problem = QStringLiteral("the help text: ") + help.toString();
        return QString();
    }
    return help.toString();
}

// Text as roff reads it: backslashes and dashes spelled out, no line taken
// for a request.
QString roffText(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    text.replace(QLatin1Char('-'), QLatin1String("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QLatin1String("\\&"));
    return text;
}

// "> -source: - Specify the path..." becomes a tagged paragraph; the help's
// heading and blank lines have no place in the section.
QString optionsSection(const QString &help, int *count)
{
    static const QRegularExpression optionLine(QStringLiteral("^> (\\S+(?:, \\S+)*) - (.*)$"));
    QString roff;
    for (const QString &line : help.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = optionLine.match(line);
        if (!match.hasMatch())
            continue;
        roff += QStringLiteral(".TP\n.B %1\n%2\n")
                    .arg(roffText(match.captured(1)), roffText(match.captured(2)));
        ++*count;
    }
    return roff;
}

QString manualPage(const QString &version, const QString &options)
{
    const QString page = QStringLiteral(R"(.TH VORLUMEN 1 "" "Vorlumen %1" "Games"
.\" Long option names read better whole than hyphenated.
.nh
.ad l
.SH NAME
vorlumen \- full\-screen player for Flash games (SWF files)
.SH SYNOPSIS
.B vorlumen
.RB [ \-source:\fIGAME.swf\fP ]
.RI [ OPTION ...]
.SH DESCRIPTION
.B vorlumen
plays one Flash game (a SWF file, or an internet address) full screen, for
arcade cabinets and game front\-ends. It frames the game with an arcade
bezel, can lay a CRT or scanline pattern over it, shows a faint clock, takes
JPEG screenshots, starts a gamepad\-to\-keyboard mapper beside the game and
remembers its settings between runs. Games play in an embedded web engine
through Ruffle, the Flash emulator in WebAssembly.
.PP
One option per argument. An option is recognised at the start of an
argument, whatever its case, also with two dashes
.RB ( \-\-help )
and after blanks or an opening quote that a front\-end left in place. A
value is everything after the colon, less one pair of matching quotes
around it. A later argument wins over an earlier one.
.SH OPTIONS
%2.SH KEYS
.TP
.B Esc
asks to quit.
.TP
.B Ctrl+S
takes a screenshot.
.PP
In a dialog and in the game drawer the arrow keys move between the
choices, Return, Enter and Space press the one in focus, Esc closes. The
quit dialog opens with Yes in focus. In the drawer, Left goes up one
folder and Right opens one.
.SH GAMEPADS
The player reads the pads itself, beside the mapper. Any pad, any time:
.TP
.B Select+Start
held half a second opens the quit dialog; held three seconds, the player
quits at once (settings kept, status 0).
.TP
.B Guide
opens the quit dialog.
.PP
In a dialog or the drawer the d\-pad and left stick are the arrow keys,
.B A
presses and
.B B
closes. Without
.BR \-profilantimicro: ,
or when the mapper ends, the pad plays the game through this table:
d\-pad and left stick: arrow keys;
.BR A :
Space;
.BR B :
X;
.BR X :
Z;
.BR Y :
C;
.BR L1 ,
.BR R1 ,
.BR L2 ,
.BR R2 :
A, S, D, F;
.BR Start :
Enter;
.BR Select :
P;
.BR L3 :
M;
right stick: the mouse pointer;
.BR R3 :
a click. While the mapper runs, it owns the game's and the dialogs' keys.
.PP
A game's own table is the text file beside it with the extension
.I .pad
.RI ( Racer.pad
for
.IR Racer.swf ),
one
.I name = value
a line,
.B #
for comments. Names: a, b, x, y, l1, r1, l2, r2, select, start, guide,
l3, r3, up, down, left, right (a key, click or none), and dpad,
leftstick, rightstick (keys, pointer or none). Keys: a to z, 0 to 9,
f1 to f12, space, enter, escape, tab, backspace, shift, ctrl, alt, up,
down, left, right. A file with a mistake is reported on standard error
and the default table is used. Reading pads needs read access to
.IR /dev/input/event* :
the user's desktop session gives it, or the
.B input
group.
.SH EXIT STATUS
.TP
.B 0
The user quit, or the player was stopped with SIGTERM, SIGINT or SIGHUP.
.TP
.B 1
Closing hung and the player ended itself 15 seconds after the stop.
.TP
.B 2
The game given with
.B \-source:
cannot be played: it does not exist, or it is no readable SWF file. The
reason is written on standard error.
.SH FILES
.TP
.I /usr/lib/vorlumen/
The player's own folder: the game page and Ruffle
.RI ( flash/ ),
the size probe and the mapper
.RI ( antimicro/ ).
.TP
.I ~/.local/share/vorlumen/antimicro/profiles/
The cabinet owner's own mapper profiles. A profile that
.B \-profilantimicro:
names, by a path relative to the folder, is looked for here first.
.TP
.I /usr/lib/vorlumen/antimicro/profiles/
The profiles that come with the player, looked for next. In either folder,
a name with
.BR .. ,
an absolute path or a link that leads out of the folder is refused.
.TP
.I ~/.local/share/vorlumen/
The settings, the size probe's answer and, without
.BR \-savedataflash: ,
the games' saves: one
.I .sol
file for each shared object in
.IR SharedObjects/ ,
laid out by site
.RI ( localhost
for a local game), the game's path and the object's name.
.TP
.I ~/Pictures/
Screenshots, without
.BR \-picturesfolder: .
.SH EXAMPLES
.TP
.B vorlumen \-source:"/home/me/Games/My Game.swf" \-fullscreen
Plays a game without the header bar, from a shell.
.PP
The lines for front\-ends are in
.IR /usr/share/doc/vorlumen/frontends.md .
.SH SEE ALSO
.BR antimicrox (1)
)");
    return page.arg(roffText(version), options);
}

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = text.toUtf8();
    return file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    QTextStream err(stderr);
    if (args.size() != 5) {
        err << "usage: manpage <options.js> <texts.js> <version> <output>\n";
        return 2;
    }
    QString problem;
    const QString help = printedHelp({args.at(1), args.at(2)}, &problem);
    if (!problem.isEmpty()) {
        err << "manpage: " << problem << '\n';
        return 1;
    }
    int count = 0;
    const QString options = optionsSection(help, &count);
    if (count == 0) {
        err << "manpage: no option found in the help text\n";
        return 1;
    }
    if (!writeFile(args.at(4), manualPage(args.at(3), options))) {
        err << "manpage: cannot write " << args.at(4) << '\n';
        return 1;
    }
    return 0;
}
