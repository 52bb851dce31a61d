#pragma once

// What a gamepad does in a game: the default table of keys, the per-game
// mapping file that changes it, and the keys themselves as a keyboard would
// send them. Pure rules, shared by the pad reader and its tests.

#include <QString>
#include <QStringList>

#include <array>

namespace padmap {

// The controls of a standard pad, named as in the mapping file. The face
// buttons go by position: A south, B east, X west, Y north.
enum class Control {
    A,
    B,
    X,
    Y,
    L1,
    R1,
    L2,
    R2,
    Select,
    Start,
    Guide,
    L3,
    R3,
    Up,
    Down,
    Left,
    Right,
    Count
};
constexpr int kControlCount = static_cast<int>(Control::Count);

QString controlName(Control control);

// A key as the keyboard sends it: Qt's key, the X11/xkb key code (what the
// web engine turns into the key's code for the page), the key symbol and
// the text it types. A mouse click or nothing are actions too.
struct Action
{
    enum Kind { None, Key, Click };
    Kind kind = None;
    int qtKey = 0;
    quint32 scanCode = 0;
    quint32 keySym = 0;
    QString text;
    QString name; // as written in the mapping file

    bool operator==(const Action &other) const
    {
        return kind == other.kind && qtKey == other.qtKey;
    }
};

// The action a name of the mapping file stands for ("space", "z", "enter",
// "click", "none"...); kind None with an empty name when unknown.
Action actionNamed(const QString &name);

// What a stick or the d-pad drives: the four direction keys, the mouse
// pointer, or nothing.
enum class Motion { Keys, Pointer, Off };

struct Mapping
{
    std::array<Action, kControlCount> actions;
    Motion dpad = Motion::Keys;
    Motion leftStick = Motion::Keys;
    Motion rightStick = Motion::Pointer;

    const Action &action(Control control) const { return actions[static_cast<int>(control)]; }
};

// The built-in table (README "Gamepads").
Mapping defaultMapping();

// Reads a per-game mapping file's text. Each line is "name = value" (blank
// lines and lines starting with "#" aside), names and values in any case.
// Any error leaves the default mapping whole and is described in *problem:
// a half-read file would give a pad that does something unexpected.
Mapping parseMapping(const QString &text, QString *problem);

// The mapping file of a local game: beside it, with ".pad" in place of its
// extension ("Racer.swf" -> "Racer.pad").
QString mappingFileFor(const QString &gamePath);

// A stick's direction with some hysteresis, so that a stick resting near the
// threshold does not make a key chatter.
class StickDirection
{
public:
    // Returns -1, 0 or 1 for the new value of the axis.
    int update(double value);
    int current() const { return m_direction; }

private:
    int m_direction = 0;
};

// The joystick device nodes under devDir that udev marks as joysticks in
// udevDataDir and that this user cannot read.
QStringList unreadablePads(const QString &devDir = QStringLiteral("/dev/input"),
                           const QString &udevDataDir = QStringLiteral("/run/udev/data"));

} // namespace padmap
