// The game page in a real web view with real Ruffle and real SWF files:
// the size it reports, what it shows, odd paths, bad files, resizing.
#include "gamepads.h"
#include "gamepageharness.h"

#include <QColor>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using gamepage::GamePageHarness;
using gamepage::GameSize;

namespace {

QString corpusFile(const QString &name)
{
    return QStringLiteral(SWF_CORPUS_DIR) + QLatin1Char('/') + name;
}

bool isNear(const QColor &actual, const QColor &expected, int tolerance = 24)
{
    return qAbs(actual.red() - expected.red()) <= tolerance
        && qAbs(actual.green() - expected.green()) <= tolerance
        && qAbs(actual.blue() - expected.blue()) <= tolerance;
}

QString describe(const QColor &color)
{
    return color.name();
}

struct ExpectedColour
{
    QPoint point;
    QColor colour;
};

// Where a picture differs from the colours expected, as readable text.
QStringList colourMismatches(const QImage &image, const QVector<ExpectedColour> &expectations)
{
    QStringList mismatches;
    for (const ExpectedColour &expected : expectations) {
        const QColor actual = image.pixelColor(expected.point);
        if (!isNear(actual, expected.colour))
            mismatches << QStringLiteral("(%1, %2) is %3, not %4")
                              .arg(expected.point.x())
                              .arg(expected.point.y())
                              .arg(describe(actual), describe(expected.colour));
    }
    return mismatches;
}

// The colour test movie shown in the game rectangle: a #2040C0 stage, a
// #E03020 rectangle over its centre half, black around the game.
QVector<ExpectedColour> colourTestMovieIn(const QRect &game)
{
    const QColor stage(0x20, 0x40, 0xC0);
    const QColor rectangle(0xE0, 0x30, 0x20);
    const auto at = [&game](int tenthsX, int tenthsY) {
        return game.topLeft() + QPoint(game.width() * tenthsX / 10, game.height() * tenthsY / 10);
    };
    return {{game.center(), rectangle},
            {at(3, 3), rectangle},
            {at(7, 7), rectangle},
            {at(1, 1), stage},
            {at(9, 9), stage},
            {at(1, 9), stage},
            {game.topLeft() + QPoint(-3, -3), Qt::black},
            {game.bottomRight() + QPoint(3, 3), Qt::black}};
}

// Waits until one and the same picture shows every colour expected: a frame
// or two may pass while the canvas settles. Gives what still differs.
QStringList waitForColours(GamePageHarness &page, const QVector<ExpectedColour> &expectations)
{
    QElapsedTimer timer;
    timer.start();
    QStringList mismatches = colourMismatches(page.grab(), expectations);
    while (!mismatches.isEmpty() && timer.elapsed() < 30000) {
        QTest::qWait(100);
        mismatches = colourMismatches(page.grab(), expectations);
    }
    return mismatches;
}

} // namespace

class GamePageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportsSizeThatFitsTheView_data();
    void reportsSizeThatFitsTheView();
    void showsTheGameCentred();
    void showsTheGameColours_data();
    void showsTheGameColours();
    void loadsPathsWithOddCharacters_data();
    void loadsPathsWithOddCharacters();
    void showsAnErrorForBadFiles_data();
    void showsAnErrorForBadFiles();
    void followsTheViewSize();
    void loadsOnlyTheGamesOwnFiles_data();
    void loadsOnlyTheGamesOwnFiles();
    void loadsACorpusMovieWithItsSkin();
    void padPlaysTheGame_data();
    void padPlaysTheGame();

private:
    QString copyToGames(const QString &source, const QString &name);
    void playAndWaitForReport(const QString &path, const QString &width, const QString &height);

    QTemporaryDir games;
    std::unique_ptr<GamePageHarness> page;
};

void GamePageTest::initTestCase()
{
    QVERIFY(games.isValid());
    QVERIFY2(QFile::exists(gamepage::buildDir() + QLatin1String("/flash/flash.html")),
             "the game page is not built");
    page = std::make_unique<GamePageHarness>(QSize(800, 600));
}

QString GamePageTest::copyToGames(const QString &source, const QString &name)
{
    const QString target = games.path() + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return QString();
    return target;
}

void GamePageTest::playAndWaitForReport(const QString &path, const QString &width,
                                        const QString &height)
{
    page->play(path, width, height);
    QVERIFY2(page->waitForReports(1),
             qPrintable(QLatin1String("no size report; messages: ")
                        + page->messages().join(QLatin1String(" | "))));
}

void GamePageTest::reportsSizeThatFitsTheView_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QSize>("expected");

    // The view is 800x600; the bezel needs 85x90 of it: 715x510 of room.
    const QString slime = QStringLiteral("shumway.examples.games.slime.swf"); // 640x480
    const QString logo = QStringLiteral("ruffle.android.src.logo-anim.swf"); // 400x200
    const QString tall = QStringLiteral("ruffle.avm1.edittext_tag_indent.swf"); // 50x300
    QTest::newRow("4:3, height limits") << slime << "640"
                                        << "480" << QSize(680, 510);
    QTest::newRow("2:1, width limits") << logo << "400"
                                       << "200" << QSize(715, 357);
    QTest::newRow("1:6, height limits") << tall << "50"
                                        << "300" << QSize(85, 510);
    QTest::newRow("probe wrote NaN") << slime << "NaN"
                                     << "NaN" << QSize(680, 510);
    QTest::newRow("probe wrote nothing") << logo << ""
                                         << "" << QSize(715, 357);
    QTest::newRow("only the width missing") << slime << "NaN"
                                            << "480" << QSize(680, 510);
}

void GamePageTest::reportsSizeThatFitsTheView()
{
    QFETCH(QString, file);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QSize, expected);

    playAndWaitForReport(corpusFile(file), width, height);
    const GameSize reported = page->lastReportedSize();
    QCOMPARE(QSize(reported.width, reported.height), expected);
    const GameSize globals = page->pageGlobals();
    QCOMPARE(QSize(globals.width, globals.height), expected);
    QCOMPARE(page->reportCount(), 1);
}

// The game's own pixels fill the reported size, centred, black around it.
void GamePageTest::showsTheGameCentred()
{
    // Ruffle's 600x400 demo page: the orange logo comes to rest over the
    // middle of a dark blue stage. At 715x476 it lies at (42, 62) in the
    // 800x600 view.
    playAndWaitForReport(
        corpusFile(QStringLiteral("ruffle.web.packages.demo.public.logo-anim.swf")),
        QStringLiteral("600"), QStringLiteral("400"));
    const GameSize size = page->lastReportedSize();
    QCOMPARE(QSize(size.width, size.height), QSize(715, 476));
    const QRect game(QPoint((800 - size.width) / 2, (600 - size.height) / 2),
                     QSize(size.width, size.height));

    const QColor stage(0x31, 0x49, 0x7d);
    const QColor logo(0xff, 0xad, 0x33);
    const QStringList mismatches = waitForColours(*page,
                                                  {{game.center() + QPoint(20, 0), logo},
                                                   {game.topLeft() + QPoint(2, 2), stage},
                                                   {game.topRight() + QPoint(-2, 2), stage},
                                                   {game.bottomLeft() + QPoint(2, -2), stage},
                                                   {game.bottomRight() + QPoint(-2, -2), stage},
                                                   {game.topLeft() + QPoint(-3, 0), Qt::black},
                                                   {game.topLeft() + QPoint(0, -3), Qt::black},
                                                   {game.bottomRight() + QPoint(3, 0), Qt::black},
                                                   {game.bottomRight() + QPoint(0, 3), Qt::black}});
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1String(", "))));
    // The game covers where the loading bar was: only the page can tell
    // that the bar went with the first frame instead of lying underneath.
    const QString barGone = QStringLiteral("document.getElementById('loading') === null");
    QTRY_VERIFY2(page->evaluate(barGone).toBool(), "the loading bar stayed under the game");
    page->grab().save(QDir::temp().filePath(QStringLiteral("gamepage-centred.png")));
}

void GamePageTest::showsTheGameColours_data()
{
    QTest::addColumn<QStringList>("makeswfOptions");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");

    // The probe writes whole pixels; the movie may have fractions.
    QTest::newRow("640x480 plain") << QStringList {"--width", "640", "--height", "480"} << "640"
                                   << "480";
    QTest::newRow("300x600 zlib") << QStringList {"--width", "300", "--height", "600", "--cws"}
                                  << "300"
                                  << "600";
    QTest::newRow("101.3x25.3 LZMA")
        << QStringList {"--width", "101.3", "--height", "25.3", "--zws"} << "101"
        << "25";
    QTest::newRow("probe failed") << QStringList {"--width", "500", "--height", "375"} << "NaN"
                                  << "NaN";
}

// The colour test movie: a #2040C0 stage with a #E03020 rectangle over its
// centre half, seen where the page said the game is.
void GamePageTest::showsTheGameColours()
{
    QFETCH(QStringList, makeswfOptions);
    QFETCH(QString, width);
    QFETCH(QString, height);

    const QString path = games.path() + QLatin1String("/colours ") + QTest::currentDataTag()
        + QLatin1String(".swf");
    QProcess makeswf;
    makeswf.start(QStringLiteral(MAKESWF_PROGRAM),
                  makeswfOptions
                      + QStringList {QStringLiteral("--colors"), QStringLiteral("-o"), path});
    QVERIFY(makeswf.waitForFinished(30000) && makeswf.exitCode() == 0);

    playAndWaitForReport(path, width, height);
    const GameSize size = page->lastReportedSize();
    const QRect game(QPoint((800 - size.width) / 2, (600 - size.height) / 2),
                     QSize(size.width, size.height));
    const QStringList mismatches = waitForColours(*page, colourTestMovieIn(game));
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1String(", "))));
}

void GamePageTest::loadsPathsWithOddCharacters_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("blanks") << QStringLiteral("My Games/slime game.swf");
    QTest::newRow("accents") << QStringLiteral("Jeux vidéo/Éléphant ñ.swf");
    QTest::newRow("quotes") << QStringLiteral("it's \"the\" game.swf");
    QTest::newRow("plus and ampersand") << QStringLiteral("a+b&c=d/x+y&z.swf");
    QTest::newRow("hash") << QStringLiteral("#1 game/play#2.swf");
    QTest::newRow("percent") << QStringLiteral("100%/50%41 off%.swf");
    QTest::newRow("equals") << QStringLiteral("a=b/w=640=480.swf");
    QTest::newRow("question mark") << QStringLiteral("what?/why?.swf");
    QTest::newRow("jeu= in a folder") << QStringLiteral("x&jeu=y/game.swf");
    QTest::newRow("semicolon and brackets") << QStringLiteral("[a];{b}/(c).swf");
}

// The sizes are left out: only the right file gives the right size.
void GamePageTest::loadsPathsWithOddCharacters()
{
    QFETCH(QString, name);
    const QString path
        = copyToGames(corpusFile(QStringLiteral("ruffle.android.src.logo-anim.swf")), name);
    QVERIFY(!path.isEmpty());

    playAndWaitForReport(path, QStringLiteral("NaN"), QStringLiteral("NaN"));
    const GameSize reported = page->lastReportedSize();
    QCOMPARE(QSize(reported.width, reported.height), QSize(715, 357));
    QCOMPARE(page->ruffleState(), QStringLiteral("playing"));
}

void GamePageTest::showsAnErrorForBadFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("width");

    const QString invalid = QStringLiteral(SWF_CORPUS_INVALID_DIR) + QLatin1Char('/');
    QTest::newRow("HTML page") << invalid + "shumway.examples.xiao3.swf"
                               << "640";
    QTest::newRow("empty file") << invalid + "shumway.tests.as3-loader.bug1157243.empty.swf"
                                << "NaN";
    QTest::newRow("short text") << invalid + "shumway.tests.as3-loader.bug1157243.invalid.swf"
                                << "";
    QTest::newRow("missing file") << games.path() + "/no such game.swf"
                                  << "640";
    QTest::newRow("folder") << games.path() << "640";
    QTest::newRow("empty path") << QString() << "640";
}

// Ruffle's error panel shows and the page keeps answering.
void GamePageTest::showsAnErrorForBadFiles()
{
    QFETCH(QString, path);
    QFETCH(QString, width);

    page->play(path, width, QStringLiteral("480"));
    QCOMPARE(page->waitForRuffleState(QStringLiteral("error")), QStringLiteral("error"));
    QCOMPARE(page->evaluate(QStringLiteral("1 + 1")).toInt(), 2);
}

void GamePageTest::followsTheViewSize()
{
    playAndWaitForReport(corpusFile(QStringLiteral("shumway.examples.games.slime.swf")),
                         QStringLiteral("640"), QStringLiteral("480"));
    QCOMPARE(page->reportCount(), 1);

    page->view.resize(1024, 768); // room 939x678: 904x678
    QVERIFY(page->waitForReports(2));
    GameSize reported = page->lastReportedSize();
    QCOMPARE(QSize(reported.width, reported.height), QSize(904, 678));
    GameSize globals = page->pageGlobals();
    QCOMPARE(QSize(globals.width, globals.height), QSize(904, 678));

    page->view.resize(800, 600);
    QVERIFY(page->waitForReports(3));
    reported = page->lastReportedSize();
    QCOMPARE(QSize(reported.width, reported.height), QSize(680, 510));
}

// One file the load-probe movie asks for (makeswf --load-vars / --load-movie).
struct ProbedLoad
{
    QString option; // "--load-vars" or "--load-movie"
    QString flag;
    QString url;
    bool arrives;
};
Q_DECLARE_METATYPE(QVector<ProbedLoad>)

namespace {

bool makeMovie(const QStringList &arguments)
{
    QProcess makeswf;
    makeswf.start(QStringLiteral(MAKESWF_PROGRAM), arguments);
    return makeswf.waitForFinished(30000) && makeswf.exitCode() == 0;
}

bool writeText(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// A game folder with files beside the game and in a sub-folder, and a
// folder beside it that the game must never read: each file sets its own
// flag, so each address form shows apart.
bool layOutGameFolders(const QString &root)
{
    const QString game = root + QLatin1String("/my game");
    const QString secret = root + QLatin1String("/secret");
    const QString makeChild[][2] = {{game + "/child.swf", "childBeside"},
                                    {game + "/levels/child.swf", "childSub"},
                                    {secret + "/child.swf", "leakMovie"}};
    for (const auto &child : makeChild) {
        QDir().mkpath(QFileInfo(child[0]).absolutePath());
        if (!makeMovie({"--set-flag", child[1], "-o", child[0]}))
            return false;
    }
    const QString texts[][2]
        = {{game + "/beside.txt", "beside=yes"},  {game + "/data/sub vars.txt", "sub=yes"},
           {game + "/dotted.txt", "dotted=yes"},  {secret + "/s1.txt", "leakFile=yes"},
           {secret + "/s2.txt", "leakUp=yes"},    {secret + "/s3.txt", "leakEncoded=yes"},
           {secret + "/s4.txt", "leakSlash=yes"}, {secret + "/s5.txt", "leakLink=yes"},
           {secret + "/s6.txt", "leakScheme=yes"}};
    for (const auto &text : texts) {
        if (!writeText(text[0], text[1].toUtf8()))
            return false;
    }
    return QFile::link(secret + "/s5.txt", game + "/link.txt");
}

} // namespace

void GamePageTest::loadsOnlyTheGamesOwnFiles_data()
{
    QTest::addColumn<QVector<ProbedLoad>>("loads");
    const QString vars = QStringLiteral("--load-vars");
    const QString movie = QStringLiteral("--load-movie");
    const QString secret = games.path() + QLatin1String("/loads/secret");

    QTest::newRow("beside and below")
        << QVector<ProbedLoad> {{vars, "beside", "beside.txt", true},
                                {vars, "sub", "data/sub%20vars.txt", true},
                                {vars, "dotted", "data/../dotted.txt", true},
                                {movie, "childBeside", "child.swf", true},
                                {movie, "childSub", "levels/child.swf", true}};
    // The first one shows that the movie does load what it may.
    QTest::newRow("outside") << QVector<ProbedLoad> {
        {vars, "beside", "beside.txt", true},
        {vars, "leakFile", "file://" + secret + "/s1.txt", false},
        {vars, "leakUp", "../secret/s2.txt", false},
        {vars, "leakEncoded", "%2e%2e/secret/s3.txt", false},
        {vars, "leakSlash", "..%2fsecret/s4.txt", false},
        {vars, "leakLink", "link.txt", false},
        {vars, "leakScheme", "vorlumen://player/game" + secret + "/s6.txt", false},
        {movie, "leakMovie", "vorlumen://player/game" + secret + "/child.swf", false}};
}

// A square per file in a row of slots: green when the file came.
void GamePageTest::loadsOnlyTheGamesOwnFiles()
{
    QFETCH(QVector<ProbedLoad>, loads);
    const QString root = games.path() + QLatin1String("/loads");
    if (!QFileInfo::exists(root))
        QVERIFY(layOutGameFolders(root));
    const QString probe
        = root + QLatin1String("/my game/probe ") + QTest::currentDataTag() + QLatin1String(".swf");
    QStringList arguments {"--width", "700", "--height", "100", "-o", probe};
    for (const ProbedLoad &load : loads)
        arguments << load.option << load.flag + QLatin1Char('=') + load.url;
    QVERIFY(makeMovie(arguments));

    playAndWaitForReport(probe, QStringLiteral("700"), QStringLiteral("100"));
    const GameSize size = page->lastReportedSize();
    const QRect game(QPoint((800 - size.width) / 2, (600 - size.height) / 2),
                     QSize(size.width, size.height));
    QVector<ExpectedColour> expected;
    for (int i = 0; i < loads.size(); ++i) {
        const QPoint centre(game.left() + int(game.width() * (i + 0.5) / loads.size()),
                            game.center().y());
        expected.append(
            {centre, loads[i].arrives ? QColor(0x20, 0xC0, 0x40) : QColor(0x30, 0x30, 0x30)});
    }
    QStringList mismatches = waitForColours(*page, expected);
    // A refusal leaves no trace to wait for; the loads went out together
    // and one has arrived, so a leak would show within this time.
    QTest::qWait(1000);
    mismatches += colourMismatches(page->grab(), expected);
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1String(", "))));
    QCOMPARE(page->evaluate(QStringLiteral("1 + 1")).toInt(), 2);
    page->grab().save(QDir::temp().filePath(QLatin1String("gamepage-loads-")
                                            + QTest::currentDataTag() + QLatin1String(".png")));
}

// The melon player loads its skin from beside it; the corpus keeps the skin
// under another name, so the folder is laid out as the movie expects.
void GamePageTest::loadsACorpusMovieWithItsSkin()
{
    const QString skin = QStringLiteral("MinimaFlatCustomColorPlayBackSeekCounterVolMute.swf");
    const QString movie
        = copyToGames(corpusFile(QStringLiteral("shumway.examples.melon.melons.swf")),
                      QStringLiteral("melon/melons.swf"));
    QVERIFY(!movie.isEmpty());
    QVERIFY(!copyToGames(corpusFile(QLatin1String("shumway.examples.melon.") + skin),
                         QLatin1String("melon/") + skin)
                 .isEmpty());

    playAndWaitForReport(movie, QStringLiteral("NaN"), QStringLiteral("NaN"));
    QCOMPARE(page->waitForRuffleState(QStringLiteral("playing")), QStringLiteral("playing"));
    // Ruffle says when a load fails, and a load that works says nothing:
    // the skin's failure would come within this time of the movie playing.
    QTest::qWait(2000);
    const QStringList failedLoads
        = page->messages().filter(QStringLiteral("Error during movie loading"));
    QVERIFY2(failedLoads.isEmpty(), qPrintable(failedLoads.join(QLatin1String(" | "))));
}

GAMEPAGE_TEST_MAIN(GamePageTest)

void GamePageTest::padPlaysTheGame_data()
{
    QTest::addColumn<bool>("playerMapsThePad");
    QTest::addColumn<QString>("mappingFile");
    QTest::addColumn<QVector<bool>>("seen"); // Up, Left, Space, Z, Enter
    QTest::newRow("default mapping") << true << QString() << QVector<bool> {true, true, true, true, false};
    QTest::newRow("a mapper owns the game") << false << QString()
                                            << QVector<bool> {false, false, false, false, false};
    QTest::newRow("the game's own file")
        << true << QStringLiteral("a = enter\n") << QVector<bool> {true, true, false, true, true};
    QTest::newRow("a bad file: the defaults")
        << true << QStringLiteral("a = enter\nb = ???\n")
        << QVector<bool> {true, true, true, true, false};
}

// The key-probe movie shows a square for each key it saw: the d-pad, the
// left stick and the face buttons reach it as keys of the game view.
void GamePageTest::padPlaysTheGame()
{
    QFETCH(bool, playerMapsThePad);
    QFETCH(QString, mappingFile);
    QFETCH(QVector<bool>, seen);
    const QString probe = games.path() + QLatin1String("/pad/") + QTest::currentDataTag()
        + QLatin1String(".swf");
    QVERIFY(QDir().mkpath(QFileInfo(probe).absolutePath()));
    QVERIFY(makeMovie({"--width", "500", "--height", "100", "--keys", "38,37,32,90,13", "-o", probe}));
    if (!mappingFile.isEmpty())
        QVERIFY(writeText(padmap::mappingFileFor(probe), mappingFile.toUtf8()));
    playAndWaitForReport(probe, QStringLiteral("500"), QStringLiteral("100"));
    QCOMPARE(page->waitForRuffleState(QStringLiteral("playing")), QStringLiteral("playing"));

    Gamepads pads;
    pads.setProperty("readPads", false);
    pads.setProperty("gameView", QVariant::fromValue(page->root->property("web").value<QQuickItem *>()));
    QSignalSpy problems(&pads, &Gamepads::problem);
    pads.setGameFile(probe);
    pads.setGameKeys(playerMapsThePad);
    const int a = int(padmap::Control::A);
    const int x = int(padmap::Control::X);
    const int up = int(padmap::Control::Up);
    // Held for a few frames: the movie looks at the keys each frame.
    for (int control : {up, a, x}) {
        pads.press(0, control);
        QTest::qWait(300);
        pads.release(0, control);
    }
    pads.moveAxis(1, Gamepads::LeftX, -0.9);
    QTest::qWait(300);
    pads.moveAxis(1, Gamepads::LeftX, 0.1);

    const GameSize size = page->lastReportedSize();
    const QRect game(QPoint((800 - size.width) / 2, (600 - size.height) / 2),
                     QSize(size.width, size.height));
    QVector<ExpectedColour> expected;
    for (int i = 0; i < seen.size(); ++i) {
        const QPoint centre(game.left() + int(game.width() * (i + 0.5) / seen.size()), game.center().y());
        expected.append({centre, seen[i] ? QColor(0x20, 0xC0, 0x40) : QColor(0x30, 0x30, 0x30)});
    }
    QStringList mismatches = waitForColours(*page, expected);
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1String(", "))));
    QCOMPARE(problems.count(), mappingFile.contains(QLatin1String("???")) ? 1 : 0);
}

#include "tst_gamepage.moc"
