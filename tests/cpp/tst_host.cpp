// The native objects the UI uses, and the host's start-up helpers.
#include "drivesclass.h"
#include "hostsetup.h"
#include "maintenance.h"
#include "process.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void commandLineKeepsArgumentsAsTyped();
    void chromiumFlagsAppend();
    void browsableVolumes_data();
    void browsableVolumes();
    void drivesListsTheRoot();
    void maintenanceChecks_data();
    void maintenanceChecks();
    void gameFileChecks_data();
    void gameFileChecks();
    void absolutePathUsesTheWorkingFolder();
    void screenshotOnAFullDiskLeavesNothing();
    void startPassesArgumentsWhole();
    void executeToFileWritesOutput();
    void executeToFileNeverLeavesStaleText();
    void executeToFileStopsARunawayProgram();

private:
    static QString printfProgram() { return QStandardPaths::findExecutable("printf"); }
};

void TestHost::commandLineKeepsArgumentsAsTyped()
{
    QCOMPARE(host::commandLineFrom({"vorlumen"}), QStringList{QString()});
    QCOMPARE(host::commandLineFrom({"vorlumen", "-Source:/Jeux/Été.SWF", "-fullscreen"}),
             (QStringList{"-Source:/Jeux/Été.SWF", "-fullscreen"}));
}

void TestHost::chromiumFlagsAppend()
{
    const QByteArray flags = host::chromiumFlags("--ignore-gpu-blocklist", "/opt/vorlumen");
    QVERIFY(flags.startsWith("--ignore-gpu-blocklist "));
    QVERIFY(flags.contains("--enable-pepper-testing"));
    QVERIFY(flags.contains("--ppapi-flash-path=/opt/vorlumen/libpepflashplayer.so"));
    QVERIFY(flags.contains("--autoplay-policy=no-user-gesture-required"));
    QVERIFY(!host::chromiumFlags("", "/x").startsWith(' '));
    // The player's V8 flags, unless the user gives V8 flags of their own.
    QVERIFY(flags.contains("--js-flags=--wasm-lazy-compilation"));
    const QByteArray own = host::chromiumFlags("--js-flags=--no-opt", "/x");
    QCOMPARE(own.count("--js-flags"), 1);
    QVERIFY(own.startsWith("--js-flags=--no-opt "));
}

void TestHost::browsableVolumes_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("browsable");
    QTest::newRow("root") << "/" << QByteArray("ext4") << true;
    QTest::newRow("root in a container") << "/" << QByteArray("overlay") << true;
    QTest::newRow("home") << "/home" << QByteArray("ext4") << true;
    QTest::newRow("usb stick") << "/media/me/USB" << QByteArray("vfat") << true;
    QTest::newRow("removable under run") << "/run/media/me/DISC" << QByteArray("iso9660") << true;
    QTest::newRow("proc") << "/proc" << QByteArray("proc") << false;
    QTest::newRow("tmpfs") << "/dev/shm" << QByteArray("tmpfs") << false;
    QTest::newRow("snap package") << "/snap/core/123" << QByteArray("squashfs") << false;
    QTest::newRow("system state") << "/run/lock" << QByteArray("ext4") << false;
    QTest::newRow("btrfs snapshots") << "/.snapshots/1" << QByteArray("btrfs") << false;
    QTest::newRow("boot") << "/boot/efi" << QByteArray("vfat") << false;
}

void TestHost::browsableVolumes()
{
    QFETCH(QString, root);
    QFETCH(QByteArray, type);
    QFETCH(bool, browsable);
    QCOMPARE(DrivesClass::isBrowsableVolume(root, type), browsable);
}

void TestHost::drivesListsTheRoot()
{
    DrivesClass drives;
    const QStringList list = drives.drives();
    QVERIFY(list.contains("/"));
    // Every read asks again and gives the same answer on a quiet machine.
    QCOMPARE(drives.drives(), list);
}

void TestHost::maintenanceChecks_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isFile");
    QTest::addColumn<bool>("isFolder");
    QTemporaryDir dir;
    QTest::newRow("existing folder") << QDir::tempPath() << true << true;
    QTest::newRow("existing file") << QCoreApplication::applicationFilePath() << true << false;
    QTest::newRow("missing") << "/no/such/place.swf" << false << false;
    QTest::newRow("empty path") << QString() << false << true;
}

void TestHost::maintenanceChecks()
{
    QFETCH(QString, path);
    QFETCH(bool, isFile);
    QFETCH(bool, isFolder);
    Maintenance maintenance;
    QCOMPARE(maintenance.verifyFile(path), isFile);
    QCOMPARE(maintenance.verifyFolder(path), isFolder);
}

static bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Only a readable regular file with a SWF signature is played; nothing here
// may block (a FIFO is never opened).
void TestHost::gameFileChecks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("problem");
    QTest::newRow("plain SWF") << "FWS" << QString();
    QTest::newRow("zlib SWF") << "CWS" << QString();
    QTest::newRow("LZMA SWF") << "ZWS" << QString();
    QTest::newRow("lower-case signature") << "fws" << "not a SWF file";
    QTest::newRow("empty file") << "empty" << "not a SWF file";
    QTest::newRow("HTML named .swf") << "html" << "not a SWF file";
    QTest::newRow("folder") << "folder" << "not a regular file";
    QTest::newRow("FIFO") << "fifo" << "not a regular file";
    QTest::newRow("device") << "device" << "not a regular file";
    QTest::newRow("missing") << "missing" << "file not found";
    QTest::newRow("empty path") << "nothing" << "file not found";
}

void TestHost::gameFileChecks()
{
    QFETCH(QString, kind);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("game #1.swf"));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == QLatin1String("device"))
        path = QStringLiteral("/dev/zero");
    else if (kind == QLatin1String("nothing"))
        path.clear();
    else if (kind == QLatin1String("html"))
        QVERIFY(writeBytes(path, "<html><body>no game</body></html>"));
    else if (kind == QLatin1String("empty"))
        QVERIFY(writeBytes(path, QByteArray()));
    else if (kind != QLatin1String("missing"))
        QVERIFY(writeBytes(path, kind.toLatin1() + QByteArray(20, '\x0a')));
    Maintenance maintenance;
    QCOMPARE(maintenance.gameFileProblem(path), problem);
}

void TestHost::absolutePathUsesTheWorkingFolder()
{
    Maintenance maintenance;
    const QString here = QDir::currentPath();
    QCOMPARE(maintenance.absolutePath(QStringLiteral("games/a b.swf")), here + "/games/a b.swf");
    QCOMPARE(maintenance.absolutePath(QStringLiteral("./x/../y.swf")), here + "/y.swf");
    QCOMPARE(maintenance.absolutePath(QStringLiteral("/srv/g.swf")), QStringLiteral("/srv/g.swf"));
    QCOMPARE(maintenance.absolutePath(QString()), QString());
}

// A picture that cannot be written whole leaves no file at all.
void TestHost::screenshotOnAFullDiskLeavesNothing()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("full"));
    QVERIFY(QDir().mkpath(folder));
    if (::geteuid() != 0
        || ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("cannot mount a small file system here (needs root)");
    QFile filler(folder + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();

    QImage picture(840, 630, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    Maintenance maintenance;
    const bool saved = maintenance.saveImage(picture, folder + QStringLiteral("/game.jpg"));
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    QVERIFY(!saved);
    QCOMPARE(left, QStringList {QStringLiteral("filler")});
    // With room, the same picture is written whole.
    QVERIFY(maintenance.saveImage(picture, dir.filePath(QStringLiteral("game.jpg"))));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("game.jpg"))).size(), QSize(840, 630));
}

void TestHost::startPassesArgumentsWhole()
{
    Process process;
    QSignalSpy finished(&process, SIGNAL(finished(int, QProcess::ExitStatus)));
    process.start(printfProgram(), {QStringLiteral("[%s]"), 1, true, QStringLiteral("a b"),
                                    QStringLiteral("$(echo x) & y")});
    QVERIFY(finished.wait(10000));
    QCOMPARE(QString::fromUtf8(process.readAll()), QStringLiteral("[1][true][a b][$(echo x) & y]"));
}

void TestHost::executeToFileWritesOutput()
{
    QTemporaryDir dir;
    const QString output = dir.filePath("not yet/made/swf.txt");
    Process process;
    QCOMPARE(process.executeToFile(printfProgram(), {QStringLiteral("-X %s -Y %s\\n"), 640, 480}, output),
             0);
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("-X 640 -Y 480\n"));
}

void TestHost::executeToFileNeverLeavesStaleText()
{
    QTemporaryDir dir;
    const QString output = dir.filePath("swf.txt");
    Process process;
    process.executeToFile(printfProgram(), {QStringLiteral("-X 1 -Y 2")}, output);
    // A program that cannot start, and one that prints nothing, both leave an empty file.
    QCOMPARE(process.executeToFile(dir.filePath("missing-program"), {}, output), -1);
    QCOMPARE(QFileInfo(output).size(), 0);
    process.executeToFile(printfProgram(), {QStringLiteral("-X 1 -Y 2")}, output);
    QVERIFY(process.executeToFile(QStandardPaths::findExecutable("false"), {}, output) != 0);
    QCOMPARE(QFileInfo(output).size(), 0);
}

void TestHost::executeToFileStopsARunawayProgram()
{
    QTemporaryDir dir;
    Process process;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(process.executeToFile(QStandardPaths::findExecutable("sleep"), {30},
                                   dir.filePath("swf.txt"), 300),
             -1);
    QVERIFY(timer.elapsed() < 10000);
}

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
