#include "internetflash.h"

#include <QFile>
#include <QQmlListProperty>
#include <QQuickWebEngineProfile>
#include <QQuickWebEngineScript>

namespace internetflash {

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString userScriptSource(const QString &pageFolder)
{
    const QString fetchRoute = readText(pageFolder + QLatin1String("/filefetch.js"));
    const QString polyfill = readText(pageFolder + QLatin1String("/internetflash.js"));
    if (fetchRoute.isEmpty() || polyfill.isEmpty())
        return QString();
    // One function: none of the helpers becomes a global of the page.
    return QLatin1String("(function () {\n\"use strict\";\n") + fetchRoute + QLatin1String("\n")
        + polyfill + QLatin1String("\nplayPageFlash(window);\n})();\n");
}

bool installOnDefaultProfile(const QString &pageFolder)
{
    const QString source = userScriptSource(pageFolder);
    if (source.isEmpty())
        return false;
    auto *profile = QQuickWebEngineProfile::defaultProfile();
    auto *script = new QQuickWebEngineScript(profile);
    script->setName(QStringLiteral("vorlumen-internet-flash"));
    script->setSourceCode(source);
    // Ruffle's polyfill watches the document for movies added later on.
    script->setInjectionPoint(QQuickWebEngineScript::DocumentReady);
    script->setWorldId(QQuickWebEngineScript::MainWorld);
    script->setRunOnSubframes(true);
    QQmlListProperty<QQuickWebEngineScript> scripts = profile->userScripts();
    scripts.append(&scripts, script);
    return true;
}

} // namespace internetflash
