// The native objects the UI uses, and the host's start-up helpers.
#include "drivesclass.h"
#include "hostsetup.h"
#include "maintenance.h"
#include "process.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

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
