#include "mdi_icons.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

constexpr int mdiViewBox = 24;

// MDI icons are single-path glyphs, which Qt Quick Controls can tint with icon.color.
QString firstPathData(const QByteArray &svg)
{
    static const QRegularExpression pathData(QStringLiteral("<path[^>]*\\sd=\"([^\"]+)\""));
    const QRegularExpressionMatch match = pathData.match(QString::fromUtf8(svg));
    return match.hasMatch() ? match.captured(1) : QString();
}

QString iconSvg(const MdiIcon &icon, const QString &pathData)
{
    QString transform;
    if (icon.viewBox != mdiViewBox)
        transform = QStringLiteral(" transform=\"scale(%1)\"")
                        .arg(double(icon.viewBox) / mdiViewBox, 0, 'g', 8);
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 %1 %1\">"
                          "<!-- Material Design Icons \"%2\", Apache-2.0 -->"
                          "<path%3 d=\"%4\"/></svg>\n")
        .arg(icon.viewBox)
        .arg(QLatin1String(icon.mdiName), transform, pathData);
}

} // namespace

const QList<MdiIcon> &mdiIcons()
{
    static const QList<MdiIcon> table = {
        {"exit-full-screen.svg", "fullscreen-exit", 32},
        {"full-screen.svg", "fullscreen", mdiViewBox},
        {"swf-file.svg", "file-video", mdiViewBox},
        {"internet.svg", "web", mdiViewBox},
        {"about.svg", "information-outline", mdiViewBox},
        {"layers.svg", "layers", mdiViewBox},
        {"screen_mod.svg", "television-classic", mdiViewBox},
        {"date-time.svg", "calendar-clock", mdiViewBox},
        {"camera.svg", "camera", mdiViewBox},
        {"minimize.svg", "window-minimize", mdiViewBox},
        {"close.svg", "close", mdiViewBox},
        {"folder-download.svg", "folder-download", mdiViewBox},
        {"folder-mydocuments.svg", "folder-text", mdiViewBox},
        {"folder-desktop.svg", "monitor", mdiViewBox},
        {"folder-user.svg", "folder-account", mdiViewBox},
    };
    return table;
}

QStringList writeMdiIcons(const QString &mdiSvgDir, const QString &outDir)
{
    QStringList problems;
    for (const MdiIcon &icon : mdiIcons()) {
        QFile source(QDir(mdiSvgDir).filePath(QLatin1String(icon.mdiName) + ".svg"));
        if (!source.open(QIODevice::ReadOnly)) {
            problems << QStringLiteral("cannot read %1").arg(source.fileName());
            continue;
        }
        const QString pathData = firstPathData(source.readAll());
        if (pathData.isEmpty()) {
            problems << QStringLiteral("no path in %1").arg(source.fileName());
            continue;
        }
        QFile target(QDir(outDir).filePath(QLatin1String(icon.resourceName)));
        if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || target.write(iconSvg(icon, pathData).toUtf8()) < 0)
            problems << QStringLiteral("cannot write %1").arg(target.fileName());
    }
    return problems;
}
