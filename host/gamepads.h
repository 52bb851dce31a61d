#pragma once

// The gamepads, read by the player itself beside the mapper. Three roads:
// - the shell: Select+Start held briefly asks to quit, held long quits;
// - the dialogs and the drawer: the d-pad and left stick are the arrow keys,
//   A is Return and B is Escape, delivered as a keyboard's keys are, so the
//   pad and the keyboard share one road;
// - the game: the mapping (padmapping.h) turns the pad into keys sent to
//   the game view itself and into the mouse pointer.
// The window says which of the last two is open (shellKeys, gameKeys).

#include "padmapping.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QQmlParserStatus>
#include <QQuickItem>
#include <QSet>
#include <QTimer>

class QQuickWindow;

class Gamepads : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QQuickItem *gameView MEMBER m_gameView)
    Q_PROPERTY(bool gameKeys READ gameKeys WRITE setGameKeys NOTIFY gameKeysChanged)
    Q_PROPERTY(bool shellKeys MEMBER m_shellKeys NOTIFY shellKeysChanged)
    Q_PROPERTY(QString gameFile READ gameFile WRITE setGameFile NOTIFY gameFileChanged)
    Q_PROPERTY(int padCount READ padCount NOTIFY padCountChanged)
    // Off in tests that feed the controls themselves.
    Q_PROPERTY(bool readPads MEMBER m_readPads)
    Q_PROPERTY(int quitAskHoldMs MEMBER m_quitAskHoldMs)
    Q_PROPERTY(int quitNowHoldMs MEMBER m_quitNowHoldMs)

public:
    // The axes, numbered as Qt's gamepad manager numbers them.
    enum Axis { LeftX, LeftY, RightX, RightY };
    Q_ENUM(Axis)

    explicit Gamepads(QObject *parent = nullptr);
    ~Gamepads() override;

    void classBegin() override { }
    void componentComplete() override;

    bool gameKeys() const { return m_gameKeys; }
    void setGameKeys(bool on);
    QString gameFile() const { return m_gameFile; }
    void setGameFile(const QString &path);
    int padCount() const { return m_pads.size(); }

    // Where the pad reader hands over what the pads do; also how tests drive
    // a pad. The control is a padmap::Control.
    Q_INVOKABLE void addPad(int pad, const QString &name);
    Q_INVOKABLE void removePad(int pad);
    Q_INVOKABLE void press(int pad, int control);
    Q_INVOKABLE void release(int pad, int control);
    Q_INVOKABLE void moveAxis(int pad, int axis, double value);

signals:
    void gameKeysChanged();
    void shellKeysChanged();
    void gameFileChanged();
    void padCountChanged();
    void quitAsked();
    void quitNow();
    void padConnected(const QString &name);
    void padDisconnected(const QString &name);
    // Something the owner should know (a pad that cannot be read, a bad
    // mapping file): one line, for standard error and the banner.
    void problem(const QString &text);

private:
    struct Pad
    {
        QString name;
        QSet<int> held; // controls down
        QSet<int> gameHeld; // controls whose game action went down
        std::array<padmap::StickDirection, 4> sticks;
        std::array<double, 4> axes {};
    };

    void startReading();
    void reportUnreadablePads();
    void control(int pad, int control, bool down);
    void watchQuitHold();
    void shellControl(int control, bool down);
    void gameControl(Pad &pad, int control, bool down);
    void stickMoved(int pad, int axis, double value);
    padmap::Motion motionOf(int axis) const;
    void releaseGameControls(Pad &pad);
    void sendGameKey(const padmap::Action &action, bool down);
    void sendShellKey(int qtKey);
    void click(bool down);
    void movePointer();
    bool pointerWanted() const;
    QQuickItem *gameKeyTarget() const;
    QQuickWindow *window() const;

    QPointer<QQuickItem> m_gameView;
    bool m_gameKeys = false;
    bool m_shellKeys = false;
    bool m_readPads = true;
    int m_quitAskHoldMs = 500;
    int m_quitNowHoldMs = 3000;
    QString m_gameFile;
    padmap::Mapping m_mapping = padmap::defaultMapping();
    QHash<int, Pad> m_pads;
    QHash<int, int> m_keyHolds; // Qt key -> controls holding it, all pads
    QTimer m_quitAskTimer;
    QTimer m_quitNowTimer;
    QTimer m_repeatTimer;
    int m_repeatKey = 0;
    QTimer m_pointerTimer;
    QPointF m_pointer {-1, -1};
    int m_clicks = 0;
};
