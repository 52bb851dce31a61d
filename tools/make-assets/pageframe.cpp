#include "pageframe.h"

#include <QFile>
#include <QJSEngine>

QMargins readBezelBorders(const QString &frameScriptPath, QString *error)
{
    QFile file(frameScriptPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = frameScriptPath + QStringLiteral(": ") + file.errorString();
        return {};
    }
    // Evaluated as the page and the window do, so the numbers are the ones
    // they see, whatever the file's layout.
    QJSEngine engine;
    const QJSValue result = engine.evaluate(QString::fromUtf8(file.readAll()), frameScriptPath);
    if (result.isError()) {
        *error = frameScriptPath + QStringLiteral(": ") + result.toString();
        return {};
    }
    int sides[4] = {};
    const char *names[4]
        = {"BEZEL_BORDER_LEFT", "BEZEL_BORDER_TOP", "BEZEL_BORDER_RIGHT", "BEZEL_BORDER_BOTTOM"};
    for (int i = 0; i < 4; ++i) {
        const QJSValue side = engine.globalObject().property(QLatin1String(names[i]));
        if (!side.isNumber() || side.toInt() < 0 || side.toNumber() != side.toInt()) {
            *error
                = frameScriptPath + QStringLiteral(": no whole number ") + QLatin1String(names[i]);
            return {};
        }
        sides[i] = side.toInt();
    }
    return QMargins(sides[0], sides[1], sides[2], sides[3]);
}
