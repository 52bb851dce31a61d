#pragma once

#include <QString>
#include <QStringList>

class QQmlContext;
class QObject;

namespace host {

// The arguments after the program name, as typed (no case change); a list
// holding one empty string when there is none.
QStringList commandLineFrom(const QStringList &applicationArguments);

// The flags the web engine needs, appended to whatever the caller already
// set in QTWEBENGINE_CHROMIUM_FLAGS.
QByteArray chromiumFlags(const QByteArray &existing, const QString &applicationDir);

// The folder of the running executable, known before the application object
// exists (the web engine must be configured before it is created).
QString executableDir(const char *argv0);

// Environment for the UI engine and the web engine; must run before the
// application object is created.
void prepareEnvironment(const QString &applicationDir);

void registerNativeTypes();

// The application's name and version (the build's), as the UI reads them.
void setApplicationInfo();

// Sets the context properties the UI documents read as plain names, in the
// order the documents expect them.
void setContextProperties(QQmlContext *context, QObject *maintenance,
                          const QStringList &commandLine, const QString &applicationDir);

} // namespace host
