#include "padmapping.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace padmap {

namespace {

const char *const kControlNames[kControlCount]
    = {"a",     "b",     "x",  "y",  "l1", "r1",   "l2",   "r2",   "select",
       "start", "guide", "l3", "r3", "up", "down", "left", "right"};

struct KeyName
{
    const char *name;
    int qtKey;
    quint32 scanCode; // xkb key code: the evdev code plus 8
    quint32 keySym;
    const char *text;
};

// The keys a mapping may name. The key codes are those of every xkb
// keyboard map (X11 and Wayland alike), so the page sees the key's code as
// it would from the keyboard.
const KeyName kKeys[] = {
    {"space", Qt::Key_Space, 65, 0x20, " "},
    {"enter", Qt::Key_Return, 36, 0xff0d, "\r"},
    {"return", Qt::Key_Return, 36, 0xff0d, "\r"},
    {"escape", Qt::Key_Escape, 9, 0xff1b, "\x1b"},
    {"esc", Qt::Key_Escape, 9, 0xff1b, "\x1b"},
    {"tab", Qt::Key_Tab, 23, 0xff09, "\t"},
    {"backspace", Qt::Key_Backspace, 22, 0xff08, "\b"},
    {"shift", Qt::Key_Shift, 50, 0xffe1, ""},
    {"ctrl", Qt::Key_Control, 37, 0xffe3, ""},
    {"control", Qt::Key_Control, 37, 0xffe3, ""},
    {"alt", Qt::Key_Alt, 64, 0xffe9, ""},
    {"up", Qt::Key_Up, 111, 0xff52, ""},
    {"down", Qt::Key_Down, 116, 0xff54, ""},
    {"left", Qt::Key_Left, 113, 0xff51, ""},
    {"right", Qt::Key_Right, 114, 0xff53, ""},
};

// Letters by keyboard row, with the key code of each row's first key.
const struct
{
    const char *letters;
    quint32 firstCode;
} kLetterRows[] = {{"qwertyuiop", 24}, {"asdfghjkl", 38}, {"zxcvbnm", 52}};

Action keyAction(const QString &name, int qtKey, quint32 scanCode, quint32 keySym,
                 const QString &text)
{
    Action action;
    action.kind = Action::Key;
    action.qtKey = qtKey;
    action.scanCode = scanCode;
    action.keySym = keySym;
    action.text = text;
    action.name = name;
    return action;
}

Action letterOrDigit(const QString &name)
{
    const QChar c = name.at(0);
    for (const auto &row : kLetterRows) {
        const int column = QString::fromLatin1(row.letters).indexOf(c);
        if (column >= 0)
            return keyAction(name, Qt::Key_A + (c.unicode() - 'a'), row.firstCode + column,
                             c.unicode(), name);
    }
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        // "1" to "9" then "0" along the top row, from key code 10.
        const int column = c == QLatin1Char('0') ? 9 : c.unicode() - '1';
        return keyAction(name, Qt::Key_0 + (c.unicode() - '0'), 10 + column, c.unicode(), name);
    }
    return {};
}

Action functionKey(const QString &name)
{
    bool ok = false;
    const int number = name.mid(1).toInt(&ok);
    if (!ok || number < 1 || number > 12 || name.mid(1) != QString::number(number))
        return {};
    // F1 to F10 from key code 67, F11 and F12 at 95 and 96.
    const quint32 code = number <= 10 ? 66 + number : 84 + number;
    return keyAction(name, Qt::Key_F1 + number - 1, code, 0xffbe + number - 1, QString());
}

bool motionNamed(const QString &value, Motion *motion)
{
    if (value == QLatin1String("keys"))
        *motion = Motion::Keys;
    else if (value == QLatin1String("pointer"))
        *motion = Motion::Pointer;
    else if (value == QLatin1String("none"))
        *motion = Motion::Off;
    else
        return false;
    return true;
}

Motion *motionSetting(Mapping &mapping, const QString &name)
{
    if (name == QLatin1String("dpad"))
        return &mapping.dpad;
    if (name == QLatin1String("leftstick"))
        return &mapping.leftStick;
    if (name == QLatin1String("rightstick"))
        return &mapping.rightStick;
    return nullptr;
}

int controlIndex(const QString &name)
{
    for (int i = 0; i < kControlCount; ++i) {
        if (name == QLatin1String(kControlNames[i]))
            return i;
    }
    return -1;
}

// One "name = value" line into mapping; an empty result when it was read.
QString applyLine(const QString &line, Mapping &mapping)
{
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return QStringLiteral("expected \"name = value\"");
    const QString name = line.left(equals).trimmed().toLower();
    const QString value = line.mid(equals + 1).trimmed().toLower();
    if (Motion *motion = motionSetting(mapping, name)) {
        if (!motionNamed(value, motion))
            return QStringLiteral("%1 takes keys, pointer or none, not \"%2\"").arg(name, value);
        return QString();
    }
    const int index = controlIndex(name);
    if (index < 0)
        return QStringLiteral("no control named \"%1\"").arg(name);
    const Action action = actionNamed(value);
    if (action.name.isEmpty())
        return QStringLiteral("no key named \"%1\"").arg(value);
    mapping.actions[index] = action;
    return QString();
}

} // namespace

QString controlName(Control control)
{
    const int index = static_cast<int>(control);
    return index >= 0 && index < kControlCount ? QLatin1String(kControlNames[index]) : QString();
}

Action actionNamed(const QString &written)
{
    const QString name = written.trimmed().toLower();
    if (name == QLatin1String("none")) {
        Action none;
        none.name = name;
        return none;
    }
    if (name == QLatin1String("click")) {
        Action click;
        click.kind = Action::Click;
        click.name = name;
        return click;
    }
    for (const KeyName &key : kKeys) {
        if (name == QLatin1String(key.name))
            return keyAction(name, key.qtKey, key.scanCode, key.keySym,
                             QString::fromLatin1(key.text));
    }
    if (name.size() == 1)
        return letterOrDigit(name);
    if (name.startsWith(QLatin1Char('f')))
        return functionKey(name);
    return {};
}

Mapping defaultMapping()
{
    // Arrows and Space, then Z, X and C: what most Flash games ask for.
    const struct
    {
        Control control;
        const char *key;
    } table[] = {
        {Control::A, "space"},     {Control::B, "x"},       {Control::X, "z"},
        {Control::Y, "c"},         {Control::L1, "a"},      {Control::R1, "s"},
        {Control::L2, "d"},        {Control::R2, "f"},      {Control::Select, "p"},
        {Control::Start, "enter"}, {Control::L3, "m"},      {Control::R3, "click"},
        {Control::Up, "up"},       {Control::Down, "down"}, {Control::Left, "left"},
        {Control::Right, "right"},
    };
    Mapping mapping;
    for (const auto &row : table)
        mapping.actions[static_cast<int>(row.control)] = actionNamed(QLatin1String(row.key));
    return mapping;
}

Mapping parseMapping(const QString &text, QString *problem)
{
    Mapping mapping = defaultMapping();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString error = applyLine(line, mapping);
        if (!error.isEmpty()) {
            if (problem)
                *problem = QStringLiteral("line %1: %2").arg(i + 1).arg(error);
            return defaultMapping();
        }
    }
    return mapping;
}

QString mappingFileFor(const QString &gamePath)
{
    const QFileInfo game(gamePath);
    const QString base = game.completeBaseName();
    if (base.isEmpty())
        return QString();
    return game.path() + QLatin1Char('/') + base + QLatin1String(".pad");
}

int StickDirection::update(double value)
{
    // Pressed past 0.5, let go again below 0.35.
    constexpr double kPress = 0.5;
    constexpr double kRelease = 0.35;
    if (m_direction != 0 && value * m_direction < kRelease)
        m_direction = 0;
    if (m_direction == 0 && (value >= kPress || value <= -kPress))
        m_direction = value > 0 ? 1 : -1;
    return m_direction;
}

QStringList unreadablePads(const QString &devDir, const QString &udevDataDir)
{
    QStringList unreadable;
    const QStringList nodes = QDir(devDir).entryList({QStringLiteral("event*")}, QDir::System);
    for (const QString &node : nodes) {
        const QString path = devDir + QLatin1Char('/') + node;
        struct stat info;
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            continue;
        QFile udev(QStringLiteral("%1/c%2:%3")
                       .arg(udevDataDir)
                       .arg(major(info.st_rdev))
                       .arg(minor(info.st_rdev)));
        if (!udev.open(QIODevice::ReadOnly) || !udev.readAll().contains("E:ID_INPUT_JOYSTICK=1"))
            continue;
        if (!QFileInfo(path).isReadable())
            unreadable << path;
    }
    return unreadable;
}

} // namespace padmap
