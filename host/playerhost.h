#pragma once

#include "gameschemehandler.h"
#include "maintenance.h"
#include "networkguard.h"
#include "saveroute.h"
#include "savestore.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QQmlContext;
class QQmlEngine;
class RendererChoice;

// The host the window and the game page run in, the same for the player and
// its test runners: the saves and their road, the player's scheme, the
// network guard, the internet pages' Flash script, the maintenance object,
// and the names the window's documents read.
//
// What must happen before it, in this order:
//   1. host::prepareProcess()       before the application object
//   2. the application object, then host::prepareApplication()
//   3. host::prepareDrawing()       before the web engine's first profile or
//                                   window (the player knows its drawing only
//                                   once the application object exists)
//   4. a PlayerHost, then installOnDefaultProfile() and publishTo()
class PlayerHost
{
public:
    // applicationDir: where the game page's files are (flash/);
    // arguments: the command line as typed, the program name excluded;
    // pageSettings: the game page's settings script for the game now played.
    PlayerHost(const QString &applicationDir, const QStringList &arguments,
               std::function<QByteArray()> pageSettings);
    PlayerHost(const PlayerHost &) = delete;
    PlayerHost &operator=(const PlayerHost &) = delete;

    // The scheme, the network guard and the internet pages' Flash script on
    // the default profile. This starts the web engine's profile: callers
    // that may not touch it yet (a test runner) call it later.
    void installOnDefaultProfile();
    // The names the window's documents read (maintenance, saves, startOptions,
    // applicationDirPath, the standard folders); the settings store lives in
    // this engine's storage folder.
    void publishTo(QQmlEngine *engine);
    // The options the next document reads; the site trusted by the network
    // guard stays the first command line's, as in the player.
    void setArguments(const QStringList &arguments);
    // The renderer choice follows the game chosen and what its page reports.
    void follow(RendererChoice *rendererChoice);

    Maintenance &maintenance() { return m_maintenance; }
    SaveStore &saves() { return m_saves; }
    GameSchemeHandler &gameFiles() { return m_gameFiles; }

private:
    const QString m_applicationDir;
    QStringList m_arguments;
    // A front-end's own -source: may name a game server on the cabinet's
    // network; nothing else the engine loads may reach it.
    const QUrl m_trustedSite;
    // In this order: the saves and their road outlive the scheme's handler,
    // which outlives the maintenance object whose signals it follows.
    SaveStore m_saves;
    SaveRoute m_saveRoute;
    GameSchemeHandler m_gameFiles;
    NetworkGuard m_networkGuard;
    Maintenance m_maintenance;
    QQmlContext *m_context = nullptr;
};

namespace host {

// Step 1: the file-name codec, the UI engine's environment, the player's
// scheme and the web engine's shared OpenGL contexts; before the application
// object exists.
void prepareProcess();

// Step 2: the application's name and version and the native types, once the
// application object exists.
void prepareApplication();

} // namespace host
