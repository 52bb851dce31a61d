// Writes Vorlumen's artwork: the screen-emulation masks, the bezel, the
// backdrop, the logo, the application icon and the button icons; with an
// icons folder, also the application icon at the desktop's usual sizes.
//   make-assets <ui folder> <@mdi/svg svg folder> [<icons folder>]
#include "backdrop.h"
#include "bezel.h"
#include "ico_writer.h"
#include "logo.h"
#include "mdi_icons.h"
#include "pageframe.h"
#include "screen_masks.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

namespace {

const int appIconSides[] = {16, 32, 48, 256};
// The sizes desktops look for in the hicolor icon theme.
const int desktopIconSides[] = {16, 24, 32, 48, 64, 128, 256};

bool saveImage(const QImage &image, const QString &path, int quality = -1)
{
    QImageWriter writer(path);
    writer.setQuality(quality);
    if (writer.write(image))
        return true;
    QTextStream(stderr) << "make-assets: cannot write " << path << ": " << writer.errorString()
                        << '\n';
    return false;
}

bool saveBytes(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size())
        return true;
    QTextStream(stderr) << "make-assets: cannot write " << path << '\n';
    return false;
}

QByteArray appIcon()
{
    QVector<QImage> sizes;
    for (int side : appIconSides)
        sizes.append(appIconImage(side));
    return icoWithPngEntries(sizes);
}

bool writeAll(const QDir &ui, const QString &mdiSvgDir)
{
    // The same borders the page leaves room for and the window draws with.
    QString frameProblem;
    const QMargins borders
        = readBezelBorders(ui.filePath(QStringLiteral("../page/frame.js")), &frameProblem);
    if (!frameProblem.isEmpty()) {
        QTextStream(stderr) << "make-assets: " << frameProblem << '\n';
        return false;
    }
    const QDir img(ui.filePath(QStringLiteral("img")));
    bool ok = saveImage(crtMask(), img.filePath(QStringLiteral("crt.png")));
    ok &= saveImage(scanlinesMask(), img.filePath(QStringLiteral("scanlines.png")));
    ok &= saveImage(bezelImage(borders), img.filePath(QStringLiteral("bezel.png")));
    ok &= saveImage(backdropImage(), img.filePath(QStringLiteral("background.jpg")), 92);
    ok &= saveImage(logoImage(), img.filePath(QStringLiteral("icon.png")));
    ok &= saveBytes(appIcon(), ui.filePath(QStringLiteral("icon_Vorlumen.ico")));
    const QStringList problems = writeMdiIcons(mdiSvgDir, img.path());
    for (const QString &problem : problems)
        QTextStream(stderr) << "make-assets: " << problem << '\n';
    return ok && problems.isEmpty();
}

// <icons>/<N>x<N>/vorlumen.png, laid out as in the hicolor theme.
bool writeDesktopIcons(const QDir &icons)
{
    bool ok = true;
    for (int side : desktopIconSides) {
        const QString folder = QStringLiteral("%1x%1").arg(side);
        ok &= icons.mkpath(folder)
            && saveImage(appIconImage(side),
                         icons.filePath(folder + QStringLiteral("/vorlumen.png")));
    }
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv); // fonts need a GUI application
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4) {
        QTextStream(stderr)
            << "usage: make-assets <ui folder> <@mdi/svg svg folder> [<icons folder>]\n";
        return 2;
    }
    if (!loadLogoFont()) {
        QTextStream(stderr) << "make-assets: DejaVu Sans Bold is missing (fonts-dejavu-core)\n";
        return 1;
    }
    const QDir ui(args.at(1));
    if (!ui.exists(QStringLiteral("img"))) {
        QTextStream(stderr) << "make-assets: no img folder in " << ui.path() << '\n';
        return 1;
    }
    bool ok = writeAll(ui, args.at(2));
    if (args.size() == 4)
        ok &= writeDesktopIcons(QDir(args.at(3)));
    return ok ? 0 : 1;
}
