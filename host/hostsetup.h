#pragma once

#include <QString>
#include <QStringList>

namespace host {

// Which of Ruffle's renderers the "-renderer:" option asks for. Auto leaves
// the choice to the web engine (WebGL when its GPU block list allows it).
enum class Renderer { Auto, WebGL, Canvas };

// How the window and the web engine draw. Software: Qt Quick's software
// scene graph and the engine's software compositor, with no WebGL; the
// cheapest where OpenGL is itself software. WebGL: both through OpenGL,
// with WebGL offered whatever the engine's GPU block list says.
enum class Drawing { Software, WebGL };

// The drawing for an option: WebGL when asked for, or with no option for a
// game known to need it.
Drawing drawingFor(Renderer renderer, bool gameNeedsWebGl);

// The renderer asked for by the arguments (read as startoptions.h reads
// them), a later one winning. An unknown value is ignored and described in
// *warning.
Renderer rendererFromArguments(const QStringList &arguments, QString *warning = nullptr);

// The game named by the arguments' last "-source:" (backslashes made "/",
// as the window gets it in startOptions), or an empty text.
QString sourceFromArguments(const QStringList &arguments);

// The flags the web engine needs, appended to whatever the caller already
// set in QTWEBENGINE_CHROMIUM_FLAGS.
QByteArray chromiumFlags(const QByteArray &existing, const QString &applicationDir,
                         Drawing drawing = Drawing::Software);

// The folder of the running executable, known before the application object
// exists (the web engine must be configured before it is created).
QString executableDir(const char *argv0);

// Environment for the UI engine; must run before the application object is
// created.
void prepareEnvironment();

// The web engine's flags and the scene graph for the drawing; must run
// before the web engine and the first window start.
void prepareDrawing(const QString &applicationDir, Drawing drawing);

void registerNativeTypes();

// The application's name and version (the build's), as the UI reads them.
void setApplicationInfo();

} // namespace host
