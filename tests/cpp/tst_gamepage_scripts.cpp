// The game page's pure functions, evaluated alone from the page's own
// script files: reading the address and the size rule.
#include <QFile>
#include <QJSEngine>
#include <QtTest>

#include <cmath>

namespace {

const double notANumber = std::nan("");

bool sameNumber(double actual, double expected)
{
    return (std::isnan(actual) && std::isnan(expected)) || actual == expected;
}

} // namespace

class GamePageScriptsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsTheAddress_data();
    void readsTheAddress();
    void turnsPathsIntoGameUrls_data();
    void turnsPathsIntoGameUrls();
    void sizesTheGame_data();
    void sizesTheGame();
    void picksTheNaturalSize_data();
    void picksTheNaturalSize();
    void fillsTheLoadingBar_data();
    void fillsTheLoadingBar();
    void readsRufflesLog_data();
    void readsRufflesLog();

private:
    QJSValue call(const QString &function, const QJSValueList &arguments);

    QJSEngine engine;
};

void GamePageScriptsTest::initTestCase()
{
    for (const char *name :
         {"gamequery.js", "frame.js", "sizing.js", "progress.js", "renderer.js"}) {
        QFile file(QStringLiteral(GAME_PAGE_SOURCE_DIR "/") + QLatin1String(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        const QJSValue result = engine.evaluate(QString::fromUtf8(file.readAll()), name);
        QVERIFY2(!result.isError(), qPrintable(result.toString()));
    }
}

QJSValue GamePageScriptsTest::call(const QString &function, const QJSValueList &arguments)
{
    return engine.globalObject().property(function).call(arguments);
}

void GamePageScriptsTest::readsTheAddress_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");

    // What the page sees after "vorlumen://player/flash/flash.html".
    QTest::newRow("plain") << "?jeu=/home/me/x.swf=640=480"
                           << "/home/me/x.swf" << 640.0 << 480.0;
    QTest::newRow("Windows path") << "?jeu=c:/games/x.swf=640=480"
                                  << "c:/games/x.swf" << 640.0 << 480.0;
    QTest::newRow("blanks and accents, encoded by the engine")
        << "?jeu=/My%20Games/%C3%A9t%C3%A9.swf=640=480"
        << "/My Games/\u00e9t\u00e9.swf" << 640.0 << 480.0;
    QTest::newRow("quotes, encoded by the engine") << "?jeu=/it's%20%22x%22.swf=1=2"
                                                   << "/it's \"x\".swf" << 1.0 << 2.0;
    QTest::newRow("equals in the path") << "?jeu=/a=b/w=640=480.swf=550=400"
                                        << "/a=b/w=640=480.swf" << 550.0 << 400.0;
    QTest::newRow("plus and ampersand stay") << "?jeu=/a+b&c=d.swf=1=2"
                                             << "/a+b&c=d.swf" << 1.0 << 2.0;
    QTest::newRow("escaped percent and hash") << "?jeu=/100%25/%23x.swf=1=2"
                                              << "/100%/#x.swf" << 1.0 << 2.0;
    QTest::newRow("percent before hex digits") << "?jeu=/a%2541.swf=1=2"
                                               << "/a%41.swf" << 1.0 << 2.0;
    QTest::newRow("question mark in the path") << "?jeu=/why?/x.swf=1=2"
                                               << "/why?/x.swf" << 1.0 << 2.0;
    QTest::newRow("unescaped hash kept") << "?jeu=/a#b.swf=1=2"
                                         << "/a#b.swf" << 1.0 << 2.0;
    QTest::newRow("malformed escape kept") << "?jeu=/a%zz%C3%A9.swf=1=2"
                                           << "/a%zz\u00e9.swf" << 1.0 << 2.0;
    QTest::newRow("probe wrote NaN") << "?jeu=/x.swf=NaN=NaN"
                                     << "/x.swf" << notANumber << notANumber;
    QTest::newRow("probe wrote nothing") << "?jeu=/x.swf=="
                                         << "/x.swf" << notANumber << notANumber;
    QTest::newRow("zero size") << "?jeu=/x.swf=0=0"
                               << "/x.swf" << notANumber << notANumber;
    QTest::newRow("fractional size") << "?jeu=/x.swf=550.5=400"
                                     << "/x.swf" << 550.5 << 400.0;
    QTest::newRow("no sizes at all") << "?jeu=/x.swf"
                                     << "/x.swf" << notANumber << notANumber;
    QTest::newRow("no query") << ""
                              << "" << notANumber << notANumber;
}

void GamePageScriptsTest::readsTheAddress()
{
    QFETCH(QString, query);
    QFETCH(QString, path);
    QFETCH(double, width);
    QFETCH(double, height);

    const QJSValue result = call(QStringLiteral("parseGameQuery"),
                                 {QStringLiteral("vorlumen://player/flash/flash.html") + query});
    QVERIFY2(!result.isError(), qPrintable(result.toString()));
    QCOMPARE(result.property(QStringLiteral("path")).toString(), path);
    QVERIFY2(sameNumber(result.property(QStringLiteral("width")).toNumber(), width),
             qPrintable(result.property(QStringLiteral("width")).toString()));
    QVERIFY2(sameNumber(result.property(QStringLiteral("height")).toNumber(), height),
             qPrintable(result.property(QStringLiteral("height")).toString()));
}

void GamePageScriptsTest::turnsPathsIntoGameUrls_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");

    QTest::newRow("plain") << "/home/me/x.swf"
                           << "vorlumen://player/game/home/me/x.swf";
    QTest::newRow("odd characters") << "/a b/c#d%e?f&g=h+i.swf"
                                    << "vorlumen://player/game/a%20b/c%23d%25e%3Ff%26g%3Dh%2Bi.swf";
    QTest::newRow("accents") << "/\u00e9t\u00e9.swf"
                             << "vorlumen://player/game/%C3%A9t%C3%A9.swf";
    QTest::newRow("Windows drive") << "C:/Games/x y.swf"
                                   << "vorlumen://player/game/C:/Games/x%20y.swf";
    // Internet movies are read through the player, whatever the page's scheme.
    QTest::newRow("internet") << "http://h:8080/a/g.swf"
                              << "vorlumen://player/net/http/h:8080/a/g.swf";
    QTest::newRow("internet, capitals and a query")
        << "HTTPS://H/a%20b/G.SWF?x=1&y=2#top"
        << "vorlumen://player/net/https/H/a%20b/G.SWF?x=1&y=2";
}

void GamePageScriptsTest::turnsPathsIntoGameUrls()
{
    QFETCH(QString, path);
    QFETCH(QString, url);
    QCOMPARE(
        call(QStringLiteral("gameUrlFromPath"), {path, QStringLiteral("vorlumen:")}).toString(),
        url);
    // Opened from its file, the page names the game by its file: URL.
    if (url.contains(QLatin1String("/net/")))
        return;
    QString fileUrl = url;
    fileUrl.replace(QLatin1String("vorlumen://player/game/"), QLatin1String("file:///"));
    QCOMPARE(call(QStringLiteral("gameUrlFromPath"), {path, QStringLiteral("file:")}).toString(),
             fileUrl);
}

void GamePageScriptsTest::sizesTheGame_data()
{
    QTest::addColumn<QSize>("view");
    QTest::addColumn<double>("naturalWidth");
    QTest::addColumn<double>("naturalHeight");
    QTest::addColumn<QSize>("expected");

    // The bezel takes 85x90 of the view.
    QTest::newRow("height limits") << QSize(800, 600) << 640.0 << 480.0 << QSize(680, 510);
    QTest::newRow("width limits") << QSize(800, 600) << 400.0 << 200.0 << QSize(715, 357);
    QTest::newRow("exact fit") << QSize(725, 570) << 640.0 << 480.0 << QSize(640, 480);
    QTest::newRow("small game grows") << QSize(1920, 1080) << 10.0 << 10.0 << QSize(990, 990);
    QTest::newRow("fractional stage") << QSize(800, 600) << 101.3 << 25.3 << QSize(715, 178);
    QTest::newRow("view smaller than the bezel") << QSize(80, 80) << 640.0 << 480.0 << QSize(0, 0);
    QTest::newRow("big game shrinks") << QSize(1024, 768) << 2048.0 << 2048.0 << QSize(678, 678);
}

void GamePageScriptsTest::sizesTheGame()
{
    QFETCH(QSize, view);
    QFETCH(double, naturalWidth);
    QFETCH(double, naturalHeight);
    QFETCH(QSize, expected);

    const QJSValue size = call(QStringLiteral("displayedGameSize"),
                               {view.width(), view.height(), naturalWidth, naturalHeight});
    const QSize actual(size.property(QStringLiteral("width")).toInt(),
                       size.property(QStringLiteral("height")).toInt());
    QCOMPARE(actual, expected);
    // Whatever the view, the game keeps its shape to within a pixel.
    if (actual.width() > 0) {
        QVERIFY(qAbs(actual.height() - actual.width() * naturalHeight / naturalWidth) < 1.0);
        const QJSValue corner
            = call(QStringLiteral("centredPosition"),
                   {view.width(), view.height(), actual.width(), actual.height()});
        QCOMPARE(corner.property(QStringLiteral("left")).toInt(),
                 (view.width() - actual.width()) / 2);
        QCOMPARE(corner.property(QStringLiteral("top")).toInt(),
                 (view.height() - actual.height()) / 2);
    }
}

void GamePageScriptsTest::picksTheNaturalSize_data()
{
    QTest::addColumn<double>("addressWidth");
    QTest::addColumn<double>("addressHeight");
    QTest::addColumn<bool>("movieKnown");
    QTest::addColumn<QSizeF>("expected");

    QTest::newRow("address wins") << 640.0 << 480.0 << true << QSizeF(640, 480);
    QTest::newRow("address alone") << 640.0 << 480.0 << false << QSizeF(640, 480);
    QTest::newRow("probe failed: the movie's")
        << notANumber << notANumber << true << QSizeF(400, 200);
    QTest::newRow("half a size: the movie's") << 640.0 << notANumber << true << QSizeF(400, 200);
    QTest::newRow("nothing known yet") << notANumber << notANumber << false << QSizeF();
}

void GamePageScriptsTest::picksTheNaturalSize()
{
    QFETCH(double, addressWidth);
    QFETCH(double, addressHeight);
    QFETCH(bool, movieKnown);
    QFETCH(QSizeF, expected);

    QJSValue fromAddress = engine.newObject();
    fromAddress.setProperty(QStringLiteral("width"), addressWidth);
    fromAddress.setProperty(QStringLiteral("height"), addressHeight);
    QJSValue fromMovie(QJSValue::NullValue);
    if (movieKnown) {
        fromMovie = engine.newObject();
        fromMovie.setProperty(QStringLiteral("width"), 400);
        fromMovie.setProperty(QStringLiteral("height"), 200);
    }
    const QJSValue size = call(QStringLiteral("naturalSizeOf"), {fromAddress, fromMovie});
    if (!expected.isValid()) {
        QVERIFY(size.isNull());
        return;
    }
    QCOMPARE(QSizeF(size.property(QStringLiteral("width")).toNumber(),
                    size.property(QStringLiteral("height")).toNumber()),
             expected);
}

// The loading bar moves only forward: the module fills its first stretch,
// compilation creeps to the second, the movie's bytes fill the rest; other
// files of the game do not move it.
void GamePageScriptsTest::fillsTheLoadingBar_data()
{
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<QList<double>>("loaded");
    QTest::addColumn<QList<double>>("totals");
    QTest::addColumn<double>("shown");

    const QString module = QStringLiteral("vorlumen://player/flash/ruffle/core.ruffle.abc.wasm");
    const QString game = QStringLiteral("vorlumen://player/game/g/a%20b.swf");
    const QString level = QStringLiteral("vorlumen://player/game/g/level1.swf");
    QTest::newRow("nothing yet") << QStringList() << QList<double>() << QList<double>() << 0.0;
    QTest::newRow("half the module")
        << QStringList {module} << QList<double> {5} << QList<double> {10} << 0.175;
    QTest::newRow("module in: compiling")
        << QStringList {module} << QList<double> {10} << QList<double> {10} << 0.65;
    QTest::newRow("module size unknown")
        << QStringList {module} << QList<double> {10} << QList<double> {0} << 0.175;
    QTest::newRow("movie half in")
        << QStringList {module, game} << QList<double> {10, 50} << QList<double> {10, 100} << 0.825;
    QTest::newRow("never backwards")
        << QStringList {module, game, module} << QList<double> {10, 100, 1}
        << QList<double> {10, 100, 10} << 1.0;
    QTest::newRow("movie download begun, size unknown: creeps on")
        << QStringList {module, game} << QList<double> {10, 0} << QList<double> {10, 0} << 0.95;
    QTest::newRow("module read begun: nothing to say yet")
        << QStringList {module} << QList<double> {0} << QList<double> {0} << 0.0;
    QTest::newRow("the game's own files do not count")
        << QStringList {level} << QList<double> {10} << QList<double> {10} << 0.0;
}

void GamePageScriptsTest::fillsTheLoadingBar()
{
    QFETCH(QStringList, urls);
    QFETCH(QList<double>, loaded);
    QFETCH(QList<double>, totals);
    QFETCH(double, shown);

    QJSValue bar = engine.globalObject()
                       .property(QStringLiteral("LoadingBar"))
                       .callAsConstructor({QJSValue(QJSValue::NullValue)});
    // Without an element the bar only keeps count.
    QJSValue onProgress = bar.property(QStringLiteral("onFetchProgress"));
    const QString game = QStringLiteral("vorlumen://player/game/g/a%20b.swf");
    for (int i = 0; i < urls.size(); ++i)
        onProgress.callWithInstance(bar, {urls[i], game, loaded[i], totals[i]});
    QCOMPARE(bar.property(QStringLiteral("shown")).toNumber(), shown);
}

// Console arguments as Ruffle logs them, with the renderer in use and the
// host's option: what the page reads, whether the game moves to WebGL, and
// the reason given when the line is a panic.
void GamePageScriptsTest::readsRufflesLog_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("movesToWebGl");
    QTest::addColumn<QString>("panicReason");

    const QStringList draw {
        "%cERROR%c core/src/avm2.rs:703%c Error running AVM2 construction for movie clip: "
        "RustError(\"Render backend does not support BitmapData.draw\")",
        "color: red", "color: gray", "color: inherit"};
    const QString drawText = "ERROR Error running AVM2 construction for movie clip: "
                             "RustError(\"Render backend does not support BitmapData.draw\")";
    QTest::newRow("bitmap drawing on canvas") << draw << ""
                                              << "canvas" << drawText << true << "";
    QTest::newRow("forced canvas stays") << draw << "canvas"
                                         << "canvas" << drawText << false << "";
    QTest::newRow("already on WebGL") << draw << ""
                                      << "wgpu-webgl" << drawText << false << "";
    QTest::newRow("Stage3D on canvas")
        << QStringList {"%cERROR%c core/src/avm2.rs:703%c Not yet implemented: createContext3D",
                        "a", "b", "c"}
        << ""
        << "canvas"
        << "ERROR Not yet implemented: createContext3D" << true << "";
    QTest::newRow("a network error is no renderer's")
        << QStringList {"%cERROR%c core/src/loader.rs:853%c Error during movie loading of "
                        "\"http://x/draw.swf\": FetchError(\"Got JS error\")",
                        "a", "b", "c"}
        << ""
        << "canvas"
        << "ERROR Error during movie loading of \"http://x/draw.swf\": FetchError(\"Got JS error\")"
        << false << "";
    QTest::newRow("a movie's own trace")
        << QStringList {"%cINFO%c avm_trace%c Render backend does not support BitmapData.draw", "a",
                        "b", "c"}
        << ""
        << "canvas"
        << "INFO Render backend does not support BitmapData.draw" << false << "";
    // What a movie can make Ruffle print: an error it throws, a text in an
    // error's place, an event name of its own.
    QTest::newRow("an error the movie throws")
        << QStringList {"%cERROR%c core/src/avm2.rs:703%c Error dispatching event \"enterFrame\": "
                        "Error: Render backend does not support BitmapData.draw\n\tat Game/tick()",
                        "a", "b", "c"}
        << ""
        << "canvas"
        << "ERROR Error dispatching event \"enterFrame\": Error: Render backend does not support "
           "BitmapData.draw\n\tat Game/tick()"
        << false << "";
    QTest::newRow("a text thrown in a Rust error's place")
        << QStringList {"%cERROR%c core/src/avm2.rs:703%c Error running AVM2 construction for "
                        "movie "
                        "clip: AvmError(String(\"RustError(\\\"Render backend does not support "
                        "BitmapData.draw\\\")\"))",
                        "a", "b", "c"}
        << ""
        << "canvas"
        << "ERROR Error running AVM2 construction for movie clip: "
           "AvmError(String(\"RustError(\\\"Render "
           "backend does not support BitmapData.draw\\\")\"))"
        << false << "";
    QTest::newRow("an event named by the movie")
        << QStringList {"%cERROR%c core/src/avm2.rs:703%c Error dispatching event \"x: "
                        "RustError(\"Render backend does not support BitmapData.draw\")\": "
                        "RustError(\"Render backend does not support BitmapData.draw\")",
                        "a", "b", "c"}
        << ""
        << "canvas"
        << "ERROR Error dispatching event \"x: RustError(\"Render backend does not support "
           "BitmapData.draw\")\": RustError(\"Render backend does not support BitmapData.draw\")"
        << false << "";
    QTest::newRow("panic")
        << QStringList {"panicked at /r/wgpu_core.rs:1619:18:\nwgpu error: Out of "
                        "Memory\n\n\nStack:\n\nError"}
        << ""
        << "wgpu-webgl"
        << "panicked at /r/wgpu_core.rs:1619:18:\nwgpu error: Out of Memory\n\n\nStack:\n\nError"
        << false << "Ruffle stopped: wgpu error: Out of Memory";
}

void GamePageScriptsTest::readsRufflesLog()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, option);
    QFETCH(QString, renderer);
    QFETCH(QString, text);
    QFETCH(bool, movesToWebGl);
    QFETCH(QString, panicReason);

    QJSValue list = engine.newArray(uint(arguments.size()));
    for (int i = 0; i < arguments.size(); ++i)
        list.setProperty(quint32(i), arguments[i]);
    const QString read = call(QStringLiteral("ruffleLogText"), {list}).toString();
    QCOMPARE(read, text);
    QCOMPARE(call(QStringLiteral("mayMoveToWebGl"), {option, renderer, read}).toBool(),
             movesToWebGl);
    if (!panicReason.isEmpty())
        QCOMPARE(call(QStringLiteral("panicMessage"), {read}).toString(), panicReason);
}

QTEST_GUILESS_MAIN(GamePageScriptsTest)

#include "tst_gamepage_scripts.moc"
