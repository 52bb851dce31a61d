#pragma once

#include "hostsetup.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

// Which way the player draws, and which of Ruffle's renderers a game starts
// on. Where OpenGL is only software (Xvfb, virtual machines, cabinets whose
// graphics the web engine refuses), compositing the window through it costs
// a third to half of a game's frames: the player draws in software, where
// WebGL cannot be had, unless the game needs WebGL. Such a game is
// remembered in a small file of the data folder, which this class reads
// before the web engine starts; the first time, the player starts again
// with WebGL (see restart()).
//
// What the page reports moves a mark: the game needs WebGL (Ruffle said
// so), WebGL failed under it (the mark is forgotten and the game stays on
// canvas), WebGL played it (a failed mark is cleared).
class RendererChoice : public QObject
{
    Q_OBJECT

public:
    enum class Mark { None, WebGL, Failed };

    // marksFile: where the marks are kept; arguments: the command line as
    // typed, the program name excluded.
    RendererChoice(const QString &marksFile, host::Renderer option, const QStringList &arguments,
                   QObject *parent = nullptr);

    host::Drawing drawing() const { return m_drawing; }

    // The game page's settings script for the game now played.
    QByteArray pageSettings() const;
    // renderer: "webgl", "canvas" or empty (the page chooses); hasWebGl:
    // whether this run offers WebGL at all.
    static QByteArray settingsScript(const QByteArray &renderer, bool hasWebGl);

    // The game the window is about to show.
    void setGame(const QString &path);

    // The stored mark of a game (a path or an internet address).
    Mark markOf(const QString &game) const;
    bool setMark(const QString &game, Mark mark);

    // What a restart needs once the application object is gone.
    struct Restart
    {
        QByteArray program; // the launcher, or the player itself
        QByteArray game; // the game's path (or address), as bytes
        QByteArray key; // its mark's key
    };
    bool restartPending() const { return !m_restartGame.isEmpty(); }
    Restart restartRequest() const;
    // Starts the player again, in this process, with WebGL on the game;
    // returns only if that failed. argv: main's, untouched.
    static void startAgain(const Restart &restart, char *argv[]);

    // Names the environment variable by which a restart names its game.
    static const char *restartVariable();

public slots:
    void gameNeedsWebGl();
    void webGlFailed();
    void webGlPlayed();

signals:
    // The window should close (saving its settings) so that the player can
    // start again with WebGL.
    void restartRequested();

private:
    static QByteArray keyOf(const QString &game);
    QMap<QByteArray, Mark> readMarks() const;

    QString m_marksFile;
    QString m_program;
    host::Renderer m_option;
    host::Drawing m_drawing = host::Drawing::Software;
    QString m_game;
    QString m_restartGame;
    bool m_failedThisRun = false;
};
