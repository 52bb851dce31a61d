#include "gamepads.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGamepadManager>
#include <QKeyEvent>
#include <QQuickItem>
#include <QQuickWindow>
#include <qpa/qwindowsysteminterface.h>

#include <cmath>

using padmap::Action;
using padmap::Control;
using padmap::Motion;

namespace {

constexpr int kPointerTickMs = 16;
constexpr double kPointerSpeed = 900; // pixels a second, stick pushed fully
constexpr double kPointerDeadZone = 0.15;
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 120;
constexpr qint64 kMaxMappingFile = 64 * 1024;
// Directions that come from a stick are held apart from the d-pad's, so
// letting one go never lets go of the other's key.
constexpr int kFromStick = 100;

int controlNumber(Control control)
{
    return static_cast<int>(control);
}

int controlFor(QGamepadManager::GamepadButton button)
{
    switch (button) {
    case QGamepadManager::ButtonA:
        return controlNumber(Control::A);
    case QGamepadManager::ButtonB:
        return controlNumber(Control::B);
    case QGamepadManager::ButtonX:
        return controlNumber(Control::X);
    case QGamepadManager::ButtonY:
        return controlNumber(Control::Y);
    case QGamepadManager::ButtonL1:
        return controlNumber(Control::L1);
    case QGamepadManager::ButtonR1:
        return controlNumber(Control::R1);
    case QGamepadManager::ButtonL2:
        return controlNumber(Control::L2);
    case QGamepadManager::ButtonR2:
        return controlNumber(Control::R2);
    case QGamepadManager::ButtonSelect:
        return controlNumber(Control::Select);
    case QGamepadManager::ButtonStart:
        return controlNumber(Control::Start);
    case QGamepadManager::ButtonL3:
        return controlNumber(Control::L3);
    case QGamepadManager::ButtonR3:
        return controlNumber(Control::R3);
    case QGamepadManager::ButtonUp:
        return controlNumber(Control::Up);
    case QGamepadManager::ButtonDown:
        return controlNumber(Control::Down);
    case QGamepadManager::ButtonLeft:
        return controlNumber(Control::Left);
    case QGamepadManager::ButtonRight:
        return controlNumber(Control::Right);
    case QGamepadManager::ButtonGuide:
        return controlNumber(Control::Guide);
    default:
        return -1;
    }
}

bool isDirection(int control)
{
    return control >= controlNumber(Control::Up) && control <= controlNumber(Control::Right);
}

// The direction controls of an axis: negative end first.
std::pair<Control, Control> directionsOf(int axis)
{
    const bool vertical = axis == Gamepads::LeftY || axis == Gamepads::RightY;
    return vertical ? std::make_pair(Control::Up, Control::Down)
                    : std::make_pair(Control::Left, Control::Right);
}

int shellKeyFor(int control)
{
    switch (static_cast<Control>(control)) {
    case Control::Up:
        return Qt::Key_Up;
    case Control::Down:
        return Qt::Key_Down;
    case Control::Left:
        return Qt::Key_Left;
    case Control::Right:
        return Qt::Key_Right;
    case Control::A:
        return Qt::Key_Return;
    case Control::B:
        return Qt::Key_Escape;
    default:
        return 0;
    }
}

} // namespace

Gamepads::Gamepads(QObject *parent)
    : QObject(parent)
{
    m_quitAskTimer.setSingleShot(true);
    m_quitNowTimer.setSingleShot(true);
    connect(&m_quitAskTimer, &QTimer::timeout, this, &Gamepads::quitAsked);
    connect(&m_quitNowTimer, &QTimer::timeout, this, &Gamepads::quitNow);
    connect(&m_repeatTimer, &QTimer::timeout, this, [this]() {
        m_repeatTimer.setInterval(kRepeatIntervalMs);
        sendShellKey(m_repeatKey);
    });
    m_pointerTimer.setInterval(kPointerTickMs);
    connect(&m_pointerTimer, &QTimer::timeout, this, &Gamepads::movePointer);
}

Gamepads::~Gamepads()
{
    setGameKeys(false);
}

void Gamepads::componentComplete()
{
    if (m_readPads)
        startReading();
}

void Gamepads::startReading()
{
    // SDL reads the pads, knows their layouts and sees them come and go;
    // its own events reach no window, so it never fights the mapper.
    if (qEnvironmentVariableIsEmpty("QT_GAMEPAD"))
        qputenv("QT_GAMEPAD", "sdl2");
    QGamepadManager *manager = QGamepadManager::instance();
    connect(manager, &QGamepadManager::gamepadConnected, this,
            [this, manager](int pad) { addPad(pad, manager->gamepadName(pad)); });
    connect(manager, &QGamepadManager::gamepadNameChanged, this,
            [this](int pad, const QString &name) {
                if (m_pads.contains(pad))
                    m_pads[pad].name = name;
            });
    connect(manager, &QGamepadManager::gamepadDisconnected, this, &Gamepads::removePad);
    connect(manager, &QGamepadManager::gamepadButtonPressEvent, this,
            [this](int pad, QGamepadManager::GamepadButton button, double) {
                press(pad, controlFor(button));
            });
    connect(manager, &QGamepadManager::gamepadButtonReleaseEvent, this,
            [this](int pad, QGamepadManager::GamepadButton button) {
                release(pad, controlFor(button));
            });
    connect(manager, &QGamepadManager::gamepadAxisEvent, this,
            [this](int pad, QGamepadManager::GamepadAxis axis, double value) {
                moveAxis(pad, axis, value);
            });
    const QList<int> present = manager->connectedGamepads();
    for (int pad : present)
        addPad(pad, manager->gamepadName(pad));
    reportUnreadablePads();
}

void Gamepads::reportUnreadablePads()
{
    const QStringList unreadable = padmap::unreadablePads();
    if (unreadable.isEmpty())
        return;
    const QString text = QStringLiteral("cannot read the gamepad %1: this user needs to be in the "
                                        "\"input\" group (or a desktop session's seat)")
                             .arg(unreadable.join(QLatin1String(", ")));
    // Queued: the window connects to the signal once it is built.
    QMetaObject::invokeMethod(
        this, [this, text]() { emit problem(text); }, Qt::QueuedConnection);
}

void Gamepads::setGameKeys(bool on)
{
    if (m_gameKeys == on)
        return;
    m_gameKeys = on;
    // Whatever a pad holds in the game is let go when the game loses the
    // pad, or the game would see a key held for ever.
    if (!on) {
        for (Pad &pad : m_pads)
            releaseGameControls(pad);
        m_pointerTimer.stop();
    }
    emit gameKeysChanged();
}

void Gamepads::setGameFile(const QString &path)
{
    if (m_gameFile == path)
        return;
    for (Pad &pad : m_pads)
        releaseGameControls(pad);
    m_gameFile = path;
    m_mapping = padmap::defaultMapping();
    emit gameFileChanged();
    const QString file = padmap::mappingFileFor(path);
    const QFileInfo info(file);
    if (file.isEmpty() || !info.exists())
        return;
    QString problemText;
    QFile input(file);
    // Only a plain file: a FIFO or a device in the game's folder would block.
    if (!info.isFile() || info.size() > kMaxMappingFile)
        problemText = QStringLiteral("not a mapping file (a plain text file under 64 KiB)");
    else if (!input.open(QIODevice::ReadOnly))
        problemText = input.errorString();
    else
        m_mapping
            = padmap::parseMapping(QString::fromUtf8(input.read(kMaxMappingFile)), &problemText);
    if (problemText.isEmpty())
        return;
    const QString text = QStringLiteral("%1: %2; the default gamepad mapping is used instead")
                             .arg(file, problemText);
    QMetaObject::invokeMethod(
        this, [this, text]() { emit problem(text); }, Qt::QueuedConnection);
}

void Gamepads::addPad(int pad, const QString &name)
{
    if (m_pads.contains(pad))
        return;
    m_pads[pad].name = name.isEmpty() ? QStringLiteral("Gamepad %1").arg(pad) : name;
    emit padCountChanged();
    emit padConnected(m_pads[pad].name);
}

void Gamepads::removePad(int pad)
{
    auto found = m_pads.find(pad);
    if (found == m_pads.end())
        return;
    releaseGameControls(*found);
    const QString name = found->name;
    m_pads.erase(found);
    watchQuitHold();
    if (m_repeatKey != 0 && m_pads.isEmpty())
        m_repeatTimer.stop();
    emit padCountChanged();
    emit padDisconnected(name);
}

void Gamepads::press(int pad, int control)
{
    this->control(pad, control, true);
}

void Gamepads::release(int pad, int control)
{
    this->control(pad, control, false);
}

void Gamepads::control(int pad, int control, bool down)
{
    // A control of the pad, or one of a stick's directions.
    if (control < 0 || control % kFromStick >= padmap::kControlCount || control >= 2 * kFromStick)
        return;
    if (!m_pads.contains(pad))
        addPad(pad, QString());
    Pad &state = m_pads[pad];
    // Analog triggers report each new value as a press: only edges count.
    if (state.held.contains(control) == down)
        return;
    if (down)
        state.held.insert(control);
    else
        state.held.remove(control);
    watchQuitHold();
    if (down && control == controlNumber(Control::Guide))
        emit quitAsked();
    if (m_shellKeys)
        shellControl(control % kFromStick, down);
    else
        gameControl(state, control, down);
}

void Gamepads::watchQuitHold()
{
    const int select = controlNumber(Control::Select);
    const int start = controlNumber(Control::Start);
    bool holding = false;
    for (const Pad &pad : qAsConst(m_pads))
        holding = holding || (pad.held.contains(select) && pad.held.contains(start));
    if (holding && !m_quitNowTimer.isActive()) {
        m_quitAskTimer.start(m_quitAskHoldMs);
        m_quitNowTimer.start(m_quitNowHoldMs);
    } else if (!holding) {
        m_quitAskTimer.stop();
        m_quitNowTimer.stop();
    }
}

void Gamepads::shellControl(int control, bool down)
{
    const int key = shellKeyFor(control);
    if (key == 0)
        return;
    if (!down) {
        if (key == m_repeatKey) {
            m_repeatTimer.stop();
            m_repeatKey = 0;
        }
        return;
    }
    sendShellKey(key);
    // A held direction goes on moving, as a held arrow key does.
    if (isDirection(control)) {
        m_repeatKey = key;
        m_repeatTimer.start(kRepeatDelayMs);
    }
}

void Gamepads::gameControl(Pad &pad, int control, bool down)
{
    const int base = control % kFromStick;
    const bool fromDpad = control < kFromStick && isDirection(base);
    if (fromDpad && m_mapping.dpad != Motion::Keys) {
        if (m_gameKeys && m_mapping.dpad == Motion::Pointer && !m_pointerTimer.isActive())
            m_pointerTimer.start();
        return;
    }
    const Action &action = m_mapping.action(static_cast<Control>(base));
    if (down && !m_gameKeys)
        return;
    if (!down && !pad.gameHeld.remove(control))
        return;
    if (down)
        pad.gameHeld.insert(control);
    if (action.kind == Action::Click)
        click(down);
    else if (action.kind == Action::Key)
        sendGameKey(action, down);
}

void Gamepads::moveAxis(int pad, int axis, double value)
{
    if (axis < LeftX || axis > RightY)
        return;
    if (!m_pads.contains(pad))
        addPad(pad, QString());
    m_pads[pad].axes[axis] = value;
    const Motion motion = motionOf(axis);
    const bool leftStick = axis == LeftX || axis == LeftY;
    // In a dialog the left stick moves between choices, whatever the game's mapping.
    if (motion == Motion::Keys || (m_shellKeys && leftStick))
        stickMoved(pad, axis, value);
    else if (motion == Motion::Pointer && m_gameKeys && !m_pointerTimer.isActive()
             && std::abs(value) > kPointerDeadZone)
        m_pointerTimer.start();
}

void Gamepads::stickMoved(int pad, int axis, double value)
{
    padmap::StickDirection &stick = m_pads[pad].sticks[axis];
    const int before = stick.current();
    const int after = stick.update(value);
    if (before == after)
        return;
    const auto ends = directionsOf(axis);
    if (before != 0)
        control(pad, kFromStick + controlNumber(before < 0 ? ends.first : ends.second), false);
    if (after != 0)
        control(pad, kFromStick + controlNumber(after < 0 ? ends.first : ends.second), true);
}

Motion Gamepads::motionOf(int axis) const
{
    return axis == LeftX || axis == LeftY ? m_mapping.leftStick : m_mapping.rightStick;
}

void Gamepads::releaseGameControls(Pad &pad)
{
    const QSet<int> held = pad.gameHeld;
    for (int control : held) {
        const Action &action = m_mapping.action(static_cast<Control>(control % kFromStick));
        pad.gameHeld.remove(control);
        if (action.kind == Action::Click)
            click(false);
        else if (action.kind == Action::Key)
            sendGameKey(action, false);
    }
}

void Gamepads::sendGameKey(const Action &action, bool down)
{
    // Two controls on the same key (two pads, the d-pad and a stick) press
    // it once and let it go with the last of them.
    int &holds = m_keyHolds[action.qtKey];
    holds = std::max(0, holds + (down ? 1 : -1));
    if ((down && holds != 1) || (!down && holds != 0))
        return;
    QQuickItem *target = gameKeyTarget();
    if (target == nullptr)
        return;
    QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, action.qtKey, Qt::NoModifier,
                    action.scanCode, action.keySym, 0, action.text);
    QCoreApplication::sendEvent(target, &event);
}

void Gamepads::sendShellKey(int qtKey)
{
    QQuickWindow *target = window();
    if (target == nullptr)
        return;
    // Through the window system's road, as a keyboard's key: shortcuts and
    // the item in focus see it exactly as they see a real key.
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
        target, QEvent::KeyPress, qtKey, Qt::NoModifier);
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
        target, QEvent::KeyRelease, qtKey, Qt::NoModifier);
}

void Gamepads::click(bool down)
{
    m_clicks = std::max(0, m_clicks + (down ? 1 : -1));
    if ((down && m_clicks != 1) || (!down && m_clicks != 0))
        return;
    QQuickWindow *target = window();
    if (target == nullptr)
        return;
    if (m_pointer.x() < 0)
        m_pointer = QPointF(target->width() / 2.0, target->height() / 2.0);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::SynchronousDelivery>(
        target, m_pointer, target->mapToGlobal(m_pointer.toPoint()),
        down ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton,
        down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease);
}

void Gamepads::movePointer()
{
    QQuickWindow *target = window();
    if (target == nullptr || !pointerWanted()) {
        m_pointerTimer.stop();
        return;
    }
    QPointF velocity;
    for (const Pad &pad : qAsConst(m_pads)) {
        if (m_mapping.dpad == Motion::Pointer) {
            auto held
                = [&pad](Control c) { return pad.held.contains(controlNumber(c)) ? 1.0 : 0.0; };
            velocity += QPointF(held(Control::Right) - held(Control::Left),
                                held(Control::Down) - held(Control::Up));
        }
        const int axes[][2] = {{LeftX, LeftY}, {RightX, RightY}};
        for (const auto &stick : axes) {
            if (motionOf(stick[0]) != Motion::Pointer)
                continue;
            auto push = [&pad](int axis) {
                const double v = pad.axes[axis];
                // Slow near the centre for aiming, fast at the rim.
                return std::abs(v) > kPointerDeadZone ? v * std::abs(v) : 0.0;
            };
            velocity += QPointF(push(stick[0]), push(stick[1]));
        }
    }
    if (velocity.isNull())
        return;
    if (m_pointer.x() < 0)
        m_pointer = QPointF(target->width() / 2.0, target->height() / 2.0);
    const double step = kPointerSpeed * kPointerTickMs / 1000.0;
    m_pointer += velocity * step;
    m_pointer.setX(qBound(0.0, m_pointer.x(), target->width() - 1.0));
    m_pointer.setY(qBound(0.0, m_pointer.y(), target->height() - 1.0));
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::SynchronousDelivery>(
        target, m_pointer, target->mapToGlobal(m_pointer.toPoint()),
        m_clicks > 0 ? Qt::LeftButton : Qt::NoButton, Qt::NoButton, QEvent::MouseMove);
}

// The timer runs while a pointer control is pushed; it stops on the first
// tick with none.
bool Gamepads::pointerWanted() const
{
    if (!m_gameKeys)
        return false;
    for (const Pad &pad : qAsConst(m_pads)) {
        for (int control : pad.held) {
            if (control < kFromStick && isDirection(control) && m_mapping.dpad == Motion::Pointer)
                return true;
        }
        for (int axis = LeftX; axis <= RightY; ++axis) {
            if (motionOf(axis) == Motion::Pointer && std::abs(pad.axes[axis]) > kPointerDeadZone)
                return true;
        }
    }
    return false;
}

// The item of the game view that takes keys: the web engine's own, once the
// view has the focus.
QQuickItem *Gamepads::gameKeyTarget() const
{
    if (m_gameView.isNull() || m_gameView->window() == nullptr)
        return nullptr;
    auto inView = [this](QQuickItem *item) {
        return item != nullptr && (item == m_gameView || m_gameView->isAncestorOf(item));
    };
    QQuickItem *focused = m_gameView->window()->activeFocusItem();
    if (!inView(focused)) {
        m_gameView->forceActiveFocus();
        focused = m_gameView->window()->activeFocusItem();
    }
    return inView(focused) ? focused : m_gameView.data();
}

QQuickWindow *Gamepads::window() const
{
    return m_gameView.isNull() ? nullptr : m_gameView->window();
}
