#pragma once

#include <QString>
#include <QStringList>

class QQmlContext;
class QObject;

namespace host {

// Which of Ruffle's renderers the "-renderer:" option asks for. Auto leaves
// the choice to the web engine (WebGL when its GPU block list allows it).
enum class Renderer { Auto, WebGL, Canvas };

// The values of one option in the arguments (as typed; the program name
// excluded), in the order given. Matched like the window's options: at the
// start of an argument (after blanks, an opening quote or a second dash), in
// any case; one pair of quotes around a value goes.
QStringList optionValues(const QStringList &arguments, const QString &option);

// The renderer asked for by the arguments, a later one winning. An unknown
// value is ignored and described in *warning.
Renderer rendererFromArguments(const QStringList &arguments, QString *warning = nullptr);

// The arguments after the program name, as typed (no case change); a list
// holding one empty string when there is none.
QStringList commandLineFrom(const QStringList &applicationArguments);

// The flags the web engine needs, appended to whatever the caller already
// set in QTWEBENGINE_CHROMIUM_FLAGS.
QByteArray chromiumFlags(const QByteArray &existing, const QString &applicationDir,
                         Renderer renderer = Renderer::Auto);

// The folder of the running executable, known before the application object
// exists (the web engine must be configured before it is created).
QString executableDir(const char *argv0);

// Environment for the UI engine and the web engine; must run before the
// application object is created.
void prepareEnvironment(const QString &applicationDir, Renderer renderer = Renderer::Auto);

void registerNativeTypes();

// The application's name and version (the build's), as the UI reads them.
void setApplicationInfo();

// Sets the context properties the UI documents read as plain names, in the
// order the documents expect them.
void setContextProperties(QQmlContext *context, QObject *maintenance,
                          const QStringList &commandLine, const QString &applicationDir);

} // namespace host
