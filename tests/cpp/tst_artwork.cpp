// The committed artwork under ui/: the screen-emulation masks pixel for
// pixel, the bezel's opaque frame and clear opening, the backdrop, the logo,
// the multi-size application icon and the tintable button icons.
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include "pageframe.h"

namespace {

QString uiPath(const QString &relative)
{
    return QDir(QStringLiteral(VORLUMEN_SOURCE_DIR "/ui")).filePath(relative);
}

QImage readImage(const QString &relative, const QByteArray &expectedFormat)
{
    QImageReader reader(uiPath(relative));
    reader.setAutoTransform(false);
    const QByteArray format = reader.format(); // the content's own format, not the name's
    if (format != expectedFormat) {
        qWarning("%s: read as '%s'", qPrintable(relative), format.constData());
        return QImage();
    }
    const QImage image = reader.read();
    if (image.isNull())
        qWarning("%s: %s", qPrintable(relative), qPrintable(reader.errorString()));
    return image;
}

QString describe(QRgb pixel)
{
    return QStringLiteral("#%1 alpha %2")
        .arg(pixel & 0xffffff, 6, 16, QLatin1Char('0'))
        .arg(qAlpha(pixel));
}

int luma(QRgb pixel)
{
    return qGray(pixel);
}

const QRgb opaqueBlack = qRgba(0, 0, 0, 255);
const QRgb clear = qRgba(0, 0, 0, 0);

QRgb rgba(QRgb colour, int alpha)
{
    return qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha);
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void everyImageResourceExists_data();
    void everyImageResourceExists();
    void crtRows_data();
    void crtRows();
    void scanlineRows_data();
    void scanlineRows();
    void bezelRegions_data();
    void bezelRegions();
    void bezelIsBlackPlastic();
    void backdropIsDarkWithLogoInCentre();
    void logoHasTransparentMargins();
    void applicationIconHoldsEverySize();
    void buttonIcons_data();
    void buttonIcons();
};

// The resource list names every picture the documents use; each must be a
// real, readable image, not a leftover placeholder.
void TestArtwork::everyImageResourceExists_data()
{
    QTest::addColumn<QString>("file");
    QFile qrc(uiPath(QStringLiteral("ui.qrc")));
    QVERIFY(qrc.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(qrc.readAll());
    static const QRegularExpression entry(
        QStringLiteral(">((img/[^<]+)|(icon_[^<]+\\.ico))</file>"));
    auto matches = entry.globalMatch(text);
    int count = 0;
    while (matches.hasNext()) {
        const QString file = matches.next().captured(1);
        QTest::newRow(qPrintable(file)) << file;
        ++count;
    }
    QCOMPARE(count, 21);
}

void TestArtwork::everyImageResourceExists()
{
    QFETCH(QString, file);
    QImageReader reader(uiPath(file));
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QVERIFY(image.width() >= 8 && image.height() >= 8);
}

void TestArtwork::crtRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QRgb>("expected");
    for (int row = 0; row < 8; ++row)
        QTest::addRow("row %d", row) << row << (row % 2 == 0 ? opaqueBlack : clear);
}

void TestArtwork::crtRows()
{
    QFETCH(int, row);
    QFETCH(QRgb, expected);
    const QImage crt = readImage(QStringLiteral("img/crt.png"), "png");
    QCOMPARE(crt.size(), QSize(9, 8));
    QVERIFY(crt.hasAlphaChannel());
    for (int x = 0; x < crt.width(); ++x) {
        const QRgb pixel = crt.pixel(x, row);
        // A fully transparent pixel has no colour worth comparing.
        const QRgb seen = qAlpha(pixel) == 0 ? clear : pixel;
        QVERIFY2(seen == expected,
                 qPrintable(QStringLiteral("x %1: %2").arg(x).arg(describe(pixel))));
    }
}

// One row per image row: the three cells of the phosphor tile that the row
// repeats across. The middle of the tile's last row alternates between two
// values from one repetition to the next down the image.
void TestArtwork::scanlineRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QRgb>("first");
    QTest::addColumn<QRgb>("second");
    QTest::addColumn<QRgb>("third");
    for (int repeat = 0; repeat < 6; ++repeat) {
        const int y = repeat * 3;
        const bool oddRepeat = repeat % 2 == 1;
        QTest::addRow("row %d", y)
            << y << rgba(0xf31d00, 0x2c) << rgba(0x00ffce, 0x15) << rgba(0x1200a4, 0x1c);
        QTest::addRow("row %d", y + 1)
            << y + 1 << rgba(0x7e0f00, 0x55) << rgba(0x005044, 0x40) << rgba(0x070067, 0x45);
        QTest::addRow("row %d", y + 2)
            << y + 2 << rgba(0x0c0200, 0x80)
            << (oddRepeat ? rgba(0x000606, 0x89) : rgba(0x000907, 0x8b)) << rgba(0x02000d, 0x8d);
    }
}

void TestArtwork::scanlineRows()
{
    QFETCH(int, row);
    QFETCH(QRgb, first);
    QFETCH(QRgb, second);
    QFETCH(QRgb, third);
    const QImage scanlines = readImage(QStringLiteral("img/scanlines.png"), "png");
    QCOMPARE(scanlines.size(), QSize(18, 18));
    const QRgb cells[] = {first, second, third};
    for (int x = 0; x < scanlines.width(); ++x) {
        const QRgb pixel = scanlines.pixel(x, row);
        QVERIFY2(pixel == cells[x % 3],
                 qPrintable(QStringLiteral("x %1: %2, expected %3")
                                .arg(x)
                                .arg(describe(pixel), describe(cells[x % 3]))));
    }
}

// The frame is opaque all round, with exactly the borders the window draws
// it with (page/frame.js); the square opening lets the game through
// untouched, corners included.
void TestArtwork::bezelRegions_data()
{
    const int width = 1403, height = 1080;
    QString problem;
    const QMargins borders
        = readBezelBorders(QStringLiteral(VORLUMEN_SOURCE_DIR "/page/frame.js"), &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const int left = borders.left(), top = borders.top(), right = borders.right(),
              bottom = borders.bottom();
    QTest::addColumn<QRect>("region");
    QTest::addColumn<bool>("opaque");
    QTest::newRow("left border") << QRect(0, 0, left, height) << true;
    QTest::newRow("right border") << QRect(width - right, 0, right, height) << true;
    QTest::newRow("top border") << QRect(0, 0, width, top) << true;
    QTest::newRow("bottom border") << QRect(0, height - bottom, width, bottom) << true;
    const QRect opening(left, top, width - left - right, height - top - bottom);
    QTest::newRow("opening") << opening << false;
}

void TestArtwork::bezelRegions()
{
    QFETCH(QRect, region);
    QFETCH(bool, opaque);
    const QImage bezel = readImage(QStringLiteral("img/bezel.png"), "png");
    QCOMPARE(bezel.size(), QSize(1403, 1080));
    QVERIFY(bezel.hasAlphaChannel());
    const int wanted = opaque ? 255 : 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            if (qAlpha(bezel.pixel(x, y)) != wanted)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 has alpha %3")
                                     .arg(x)
                                     .arg(y)
                                     .arg(qAlpha(bezel.pixel(x, y)))));
        }
    }
}

void TestArtwork::bezelIsBlackPlastic()
{
    const QImage bezel = readImage(QStringLiteral("img/bezel.png"), "png");
    QVERIFY(!bezel.isNull());
    // The frame is black plastic, not a bright or coloured border.
    QVERIFY(luma(bezel.pixel(20, 540)) < 64);
    QVERIFY(luma(bezel.pixel(700, 1060)) < 64);
}

void TestArtwork::backdropIsDarkWithLogoInCentre()
{
    const QImage backdrop = readImage(QStringLiteral("img/background.jpg"), "jpeg");
    QCOMPARE(backdrop.size(), QSize(1920, 1080));
    qint64 total = 0;
    int brightestEdge = 0;
    int brightestCentre = 0;
    const QRect centre(660, 340, 600, 400);
    for (int y = 0; y < backdrop.height(); y += 2) {
        for (int x = 0; x < backdrop.width(); x += 2) {
            const int level = luma(backdrop.pixel(x, y));
            total += level;
            if (centre.contains(x, y))
                brightestCentre = qMax(brightestCentre, level);
            else if (x < 300 || x >= 1620 || y < 150 || y >= 930)
                brightestEdge = qMax(brightestEdge, level);
        }
    }
    const double mean = double(total) / (backdrop.width() / 2 * backdrop.height() / 2);
    QVERIFY2(mean < 40, qPrintable(QString::number(mean)));
    QVERIFY2(brightestEdge < 60, qPrintable(QString::number(brightestEdge)));
    QVERIFY2(brightestCentre > 180, qPrintable(QString::number(brightestCentre)));
}

void TestArtwork::logoHasTransparentMargins()
{
    const QImage logo = readImage(QStringLiteral("img/icon.png"), "png");
    QCOMPARE(logo.size(), QSize(256, 106));
    QVERIFY(logo.hasAlphaChannel());
    for (const QPoint &corner : {QPoint(0, 0), QPoint(255, 0), QPoint(0, 105), QPoint(255, 105)})
        QCOMPARE(qAlpha(logo.pixel(corner)), 0);
    int opaque = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            opaque += qAlpha(logo.pixel(x, y)) == 255;
    QVERIFY2(opaque > logo.width() * logo.height() / 5, qPrintable(QString::number(opaque)));
}

void TestArtwork::applicationIconHoldsEverySize()
{
    const QString path = uiPath(QStringLiteral("icon_Vorlumen.ico"));
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("ico"));
    QCOMPARE(reader.imageCount(), 4);
    QSet<int> sides;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        QVERIFY(image.hasAlphaChannel());
        QVERIFY(qAlpha(image.pixel(image.width() / 2, image.height() / 2)) == 255);
        sides.insert(image.width());
    }
    QCOMPARE(sides, QSet<int>({16, 32, 48, 256}));

    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    const QList<QSize> available = icon.availableSizes();
    for (int side : {16, 32, 48, 256})
        QVERIFY2(available.contains(QSize(side, side)), qPrintable(QString::number(side)));
}

// Qt Quick Controls tint an icon with icon.color, which needs one plain path
// with no colour of its own.
void TestArtwork::buttonIcons_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("viewBox");
    for (const char *name : {"swf-file", "close", "about", "folder-download", "folder-mydocuments",
                             "screen_mod", "folder-desktop", "internet", "camera", "layers",
                             "folder-user", "date-time", "full-screen", "minimize"})
        QTest::newRow(name) << QStringLiteral("img/%1.svg").arg(QLatin1String(name)) << 24;
    QTest::newRow("exit-full-screen") << QStringLiteral("img/exit-full-screen.svg") << 32;
}

void TestArtwork::buttonIcons()
{
    QFETCH(QString, file);
    QFETCH(int, viewBox);
    QFile svg(uiPath(file));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(svg.readAll());
    QCOMPARE(text.count(QStringLiteral("<path")), 1);
    QVERIFY(!text.contains(QStringLiteral("fill=")) && !text.contains(QStringLiteral("stroke"))
            && !text.contains(QStringLiteral("style=")));
    QVERIFY(text.contains(QStringLiteral("viewBox=\"0 0 %1 %1\"").arg(viewBox)));

    QImageReader reader(uiPath(file));
    QCOMPARE(reader.format(), QByteArray("svg"));
    QCOMPARE(reader.size(), QSize(viewBox, viewBox));
    reader.setScaledSize(QSize(48, 48));
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += qAlpha(image.pixel(x, y)) > 128;
    QVERIFY2(inked > 48 && inked < 48 * 48 * 3 / 4, qPrintable(QString::number(inked)));
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
