// A game's saved data outlives the player: the same game, started again in a
// fresh process with the same storage folder, finds what it saved.
//
// Each run is this program started again with --play-once, so that the web
// engine really shuts down and starts again between runs.
#include "gamepageharness.h"

#include <QColor>
#include <QDirIterator>
#include <QProcess>
#include <QtTest>

#include <cstdio>

using gamepage::GamePageHarness;

namespace {

const char playOnceOption[] = "--play-once";

// The run-counting test movie shows its count as the colour of the centre.
struct RunColour
{
    const char *name;
    QColor colour;
};
const RunColour runColours[] = {{"first", QColor(0x20, 0xC0, 0x40)},
                                {"second", QColor(0xE0, 0xC0, 0x20)},
                                {"later", QColor(0xE0, 0x30, 0x20)}};

QString runShownBy(const QColor &colour)
{
    for (const RunColour &run : runColours) {
        if (qAbs(colour.red() - run.colour.red()) <= 24
            && qAbs(colour.green() - run.colour.green()) <= 24
            && qAbs(colour.blue() - run.colour.blue()) <= 24)
            return QString::fromLatin1(run.name);
    }
    return QString();
}

bool makeSaverMovie(const QString &path)
{
    QProcess makeswf;
    makeswf.start(QStringLiteral(MAKESWF_PROGRAM),
                  {QStringLiteral("--saver"), QStringLiteral("--width"), QStringLiteral("320"),
                   QStringLiteral("--height"), QStringLiteral("240"), QStringLiteral("-o"), path});
    return makeswf.waitForFinished(30000) && makeswf.exitCode() == 0 && QFile::exists(path);
}

bool hasSaveFile(const QString &saveFolder)
{
    QDirIterator files(SaveStore::treeBelow(saveFolder), {QStringLiteral("*.sol")}, QDir::Files,
                       QDirIterator::Subdirectories);
    return files.hasNext();
}

// The child's side: play the game once, wait until it has shown which run
// this is and its save is written, print the run and leave.
int playOnce(const QString &saveFolder, const QString &game)
{
    GamePageHarness page(QSize(640, 480));
    page.play(game, QStringLiteral("320"), QStringLiteral("240"), saveFolder);
    if (!page.waitForReports(1)) {
        std::fprintf(stderr, "no size report\n");
        return 1;
    }
    QString run;
    QElapsedTimer timer;
    timer.start();
    while (run.isEmpty() && timer.elapsed() < 30000) {
        QTest::qWait(100);
        run = runShownBy(page.grab().pixelColor(320, 240));
    }
    // The page hands its save to the host at flush(), before it shows the
    // count: it is on disk once the host's writes are.
    while (!(page.host.saves().waitForWrites(100) && hasSaveFile(saveFolder))
           && timer.elapsed() < 30000)
        QTest::qWait(100);
    std::printf("run=%s\n", qPrintable(run.isEmpty() ? QStringLiteral("none") : run));
    return 0;
}

} // namespace

class GamePageSavesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void savedDataSurvivesRestart();

private:
    QString playInFreshProcess(const QString &saveFolder, const QString &gameFile);

    QTemporaryDir folder;
    QString game;
    QString sameNameElsewhere;
};

void GamePageSavesTest::initTestCase()
{
    QVERIFY(folder.isValid());
    game = folder.path() + QLatin1String("/Mes jeux #1/sauve & compte=2.swf");
    QDir().mkpath(QFileInfo(game).absolutePath());
    QVERIFY(makeSaverMovie(game));
    sameNameElsewhere = folder.path() + QLatin1String("/Autres jeux/sauve & compte=2.swf");
    QDir().mkpath(QFileInfo(sameNameElsewhere).absolutePath());
    QVERIFY(makeSaverMovie(sameNameElsewhere));
}

QString GamePageSavesTest::playInFreshProcess(const QString &saveFolder, const QString &gameFile)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(playOnceOption), saveFolder, gameFile});
    if (!child.waitForFinished(90000) || child.exitCode() != 0)
        return QStringLiteral("failed");
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    const int at = output.indexOf(QLatin1String("run="));
    return at < 0 ? QStringLiteral("silent") : output.mid(at + 4).trimmed();
}

void GamePageSavesTest::savedDataSurvivesRestart()
{
    const QString saves = folder.path() + QLatin1String("/saves d'arcade");
    const QString otherSaves = folder.path() + QLatin1String("/other saves");

    QCOMPARE(playInFreshProcess(saves, game), QStringLiteral("first"));
    QVERIFY(QFileInfo(saves + QLatin1String("/QtWebEngine")).isDir());
    QCOMPARE(playInFreshProcess(saves, game), QStringLiteral("second"));
    // A game of the same name in another folder has saves of its own.
    QCOMPARE(playInFreshProcess(saves, sameNameElsewhere), QStringLiteral("first"));
    QCOMPARE(playInFreshProcess(saves, game), QStringLiteral("later"));
    // Another storage folder knows nothing of those runs.
    QCOMPARE(playInFreshProcess(otherSaves, game), QStringLiteral("first"));
}

int main(int argc, char *argv[])
{
    gamepage::TestProcess process(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], playOnceOption) == 0)
        return playOnce(QFile::decodeName(argv[2]), QFile::decodeName(argv[3]));
    GamePageSavesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gamepage_saves.moc"
