// The native objects the UI uses, and the host's start-up helpers.
#include "drivesclass.h"
#include "gamefiles.h"
#include "gamepads.h"
#include "hostsetup.h"
#include "internetgame.h"
#include "localnetwork.h"
#include "maintenance.h"
#include "padmapping.h"
#include "process.h"
#include "rawnames.h"
#include "savetree.h"
#include "startoptions.h"
#include "rendererchoice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

#include <dlfcn.h>
#include <fcntl.h>
#include <lzma.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void hostAndWindowReadTheSameSource();
    void chromiumFlagsAppend();
    void browsableVolumes_data();
    void browsableVolumes();
    void drivesListsTheRoot();
    void maintenanceChecks_data();
    void maintenanceChecks();
    void fileInsideFolder_data();
    void fileInsideFolder();
    void gameFileChecks_data();
    void gameFileChecks();
    void absolutePathUsesTheWorkingFolder();
    void screenshotOnAFullDiskLeavesNothing();
    void startPassesArgumentsWhole();
    void executeToFileWritesOutput();
    void executeToFileNeverLeavesStaleText();
    void executeToFileStopsARunawayProgram();
    void gameFilesStayInTheirFolder_data();
    void gameFilesStayInTheirFolder();
    void servedFileNeverFollowsASwappedLink();
    void whoMayRequestWhat_data();
    void whoMayRequestWhat();
    void internetGameStaysOnItsSite_data();
    void internetGameStaysOnItsSite();
    void internetGameChecks();
    void contentTypes();
    void internetGamesPlayInTheirSitesBox();
    void gamePagesReachNoNetwork_data();
    void gamePagesReachNoNetwork();
    void nothingReachesTheLocalNetwork_data();
    void nothingReachesTheLocalNetwork();
    void namesThatAreNotUtf8_data();
    void namesThatAreNotUtf8();
    void rendererOption_data();
    void rendererOption();
    void saveKeysStayInTheGamesPlace_data();
    void saveKeysStayInTheGamesPlace();
    void webGlMarksFollowThePage();
    void padMappingFile_data();
    void padMappingFile();
    void padQuitHold_data();
    void padQuitHold();
    void padsComeAndGo();

private:
    static QString printfProgram() { return QStandardPaths::findExecutable("printf"); }
};

// The network guard's trusted site and the renderer marks follow the game
// the window is given: one reader for both.
void TestHost::hostAndWindowReadTheSameSource()
{
    const QStringList arguments {" --SOURCE:\"C:\\g\\a.swf\"", "-source:/g/b.swf", "-fullscreen"};
    QCOMPARE(host::sourceFromArguments(arguments), QStringLiteral("/g/b.swf"));
    QCOMPARE(host::sourceFromArguments(arguments.mid(0, 1)), QStringLiteral("C:/g/a.swf"));
    QCOMPARE(host::startOptions(arguments.mid(0, 1)).value("source").toString(),
             QStringLiteral("C:/g/a.swf"));
    QCOMPARE(host::sourceFromArguments({"x-source:/g/a.swf"}), QString());
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

// A small compressed movie that inflates to `inflated` bytes of zeros after
// its header, whatever length it declares.
static QByteArray compressedBomb(char kind, quint64 inflated, quint32 declared)
{
    QByteArray movie = QByteArray(1, kind) + "WS\x0a";
    for (int shift = 0; shift < 32; shift += 8)
        movie += char(declared >> shift);
    const QByteArray zeros(1 << 20, '\0');
    QByteArray out(1 << 20, '\0');
    if (kind == 'C') {
        z_stream stream {};
        deflateInit(&stream, 1);
        for (quint64 done = 0; done <= inflated; done += zeros.size()) {
            const bool last = done + zeros.size() > inflated;
            stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
            stream.avail_in = uInt(last ? inflated - done : zeros.size());
            do {
                stream.next_out = reinterpret_cast<Bytef *>(out.data());
                stream.avail_out = uInt(out.size());
                deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
                movie += out.left(out.size() - int(stream.avail_out));
            } while (stream.avail_out == 0);
        }
        deflateEnd(&stream);
        return movie;
    }
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 0);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    uint32_t propertiesSize = 0;
    lzma_properties_size(&propertiesSize, filters);
    QByteArray properties(int(propertiesSize), '\0');
    lzma_properties_encode(filters, reinterpret_cast<uint8_t *>(properties.data()));
    movie += QByteArray(4, '\0') + properties;
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK)
        return QByteArray();
    for (quint64 done = 0; done <= inflated; done += zeros.size()) {
        const bool last = done + zeros.size() > inflated;
        stream.next_in = reinterpret_cast<const uint8_t *>(zeros.constData());
        stream.avail_in = size_t(last ? inflated - done : zeros.size());
        lzma_ret rc;
        do {
            stream.next_out = reinterpret_cast<uint8_t *>(out.data());
            stream.avail_out = size_t(out.size());
            rc = lzma_code(&stream, last ? LZMA_FINISH : LZMA_RUN);
            movie += out.left(out.size() - int(stream.avail_out));
        } while (stream.avail_out == 0 || (last && rc == LZMA_OK));
    }
    lzma_end(&stream);
    return movie;
}

// A mapper profile named relative to antimicro/profiles/ must stay inside it.
void TestHost::fileInsideFolder_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("inside");
    QTest::newRow("file") << "p.amgp" << true;
    QTest::newRow("in a subfolder") << "arcade/s.amgp" << true;
    QTest::newRow("link to a file inside") << "same.amgp" << true;
    QTest::newRow("link to a file outside") << "out.amgp" << false;
    QTest::newRow("through a linked folder outside") << "elsewhere/x.amgp" << false;
    QTest::newRow("climbing out") << "../outside/x.amgp" << false;
    QTest::newRow("missing") << "none.amgp" << false;
    QTest::newRow("a folder") << "arcade" << false;
    QTest::newRow("the folder itself") << "." << false;
}

void TestHost::fileInsideFolder()
{
    QFETCH(QString, file);
    QFETCH(bool, inside);
    QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkpath("profiles/arcade") && root.mkpath("outside"));
    QVERIFY(writeBytes(root.filePath("profiles/p.amgp"), "<gamecontroller/>")
            && writeBytes(root.filePath("profiles/arcade/s.amgp"), "<gamecontroller/>")
            && writeBytes(root.filePath("outside/x.amgp"), "<gamecontroller/>"));
    QVERIFY(QFile::link("p.amgp", root.filePath("profiles/same.amgp")));
    QVERIFY(QFile::link("../outside/x.amgp", root.filePath("profiles/out.amgp")));
    QVERIFY(QFile::link("../outside", root.filePath("profiles/elsewhere")));
    const QString profiles = root.filePath("profiles");
    Maintenance maintenance;
    QCOMPARE(maintenance.isFileInsideFolder(profiles + '/' + file, profiles), inside);
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
    QTest::newRow("lower-case signature") << "fws"
                                          << "not a SWF file";
    QTest::newRow("empty file") << "empty"
                                << "not a SWF file";
    QTest::newRow("HTML named .swf") << "html"
                                     << "not a SWF file";
    QTest::newRow("folder") << "folder"
                            << "not a regular file";
    QTest::newRow("FIFO") << "fifo"
                          << "not a regular file";
    QTest::newRow("device") << "device"
                            << "not a regular file";
    QTest::newRow("missing") << "missing"
                             << "file not found";
    QTest::newRow("empty path") << "nothing"
                                << "file not found";
    // A few hundred kilobytes that would take gigabytes once inflated.
    QTest::newRow("CWS declaring 4 GiB") << "CWS 4G"
                                         << "declares 4095 MiB once inflated, more than 256 MiB";
    QTest::newRow("CWS inflating past its word") << "CWS lie"
                                                 << "inflates to more than 256 MiB";
    QTest::newRow("ZWS inflating past its word") << "ZWS lie"
                                                 << "inflates to more than 256 MiB";
    QTest::newRow("CWS inflating to the limit") << "CWS fits" << QString();
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
    else if (kind.contains(QLatin1Char(' '))) {
        const quint64 limit = gamefiles::kMaxGameFileBytes;
        const quint64 inflated = kind.endsWith(QLatin1String("fits")) ? limit - 8 : limit + 4096;
        const quint32 declared = kind.endsWith(QLatin1String("4G")) ? 0xffffffffu : 1000;
        QVERIFY(writeBytes(path, compressedBomb(kind.at(0).toLatin1(), inflated, declared)));
    } else if (kind != QLatin1String("missing"))
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
    while (filler.write(block) == block.size() && filler.flush()) { }
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
    process.start(
        printfProgram(),
        {QStringLiteral("[%s]"), 1, true, QStringLiteral("a b"), QStringLiteral("$(echo x) & y")});
    QVERIFY(finished.wait(10000));
    QCOMPARE(QString::fromUtf8(process.readAll()), QStringLiteral("[1][true][a b][$(echo x) & y]"));
}

void TestHost::executeToFileWritesOutput()
{
    QTemporaryDir dir;
    const QString output = dir.filePath("not yet/made/swf.txt");
    Process process;
    QCOMPARE(process.executeToFile(printfProgram(), {QStringLiteral("-X %s -Y %s\\n"), 640, 480},
                                   output),
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

Q_DECLARE_METATYPE(gamefiles::Verdict)

// Addresses relative to a temporary tree: games/a/ is the game's folder,
// flash/ the page's; games/other/ and secret/ must stay out of reach.
void TestHost::gameFilesStayInTheirFolder_data()
{
    QTest::addColumn<QString>("address"); // "@" stands for the tree's root
    QTest::addColumn<gamefiles::Verdict>("verdict");
    using V = gamefiles::Verdict;
    const QString game = QStringLiteral("vorlumen://player/game@/games/a/");
    QTest::newRow("the game") << game + "x.swf" << V::Serve;
    QTest::newRow("beside it") << game + "level.txt" << V::Serve;
    QTest::newRow("sub-folder, odd name") << game + "sub/%C3%A9t%C3%A9 %231.xml" << V::Serve;
    QTest::newRow("link inside") << game + "inner-link.txt" << V::Serve;
    QTest::newRow("page file") << QStringLiteral("vorlumen://player/flash/flash.html") << V::Serve;
    // A site's box has the page, never the local game's folder.
    const QString box = QStringLiteral("vorlumen://site-0123456789abcdef0123456789abcdef");
    QTest::newRow("box, page file") << box + "/flash/flash.html" << V::Serve;
    QTest::newRow("box, the local game") << box + "/game@/games/a/x.swf" << V::Refuse;
    QTest::newRow("missing beside") << game + "nothing.txt" << V::Missing;
    QTest::newRow("missing, folder missing too") << game + "no/such/file.txt" << V::Missing;
    QTest::newRow("missing page file")
        << QStringLiteral("vorlumen://player/flash/no.js") << V::Missing;
    QTest::newRow("another game's folder")
        << "vorlumen://player/game@/games/other/x.swf" << V::Refuse;
    QTest::newRow("missing in another folder")
        << "vorlumen://player/game@/secret/none" << V::Refuse;
    QTest::newRow("secret") << "vorlumen://player/game@/secret/key" << V::Refuse;
    QTest::newRow("dot dot") << game + "../../secret/key" << V::Refuse;
    QTest::newRow("encoded dots") << game + "%2e%2e/%2E%2E/secret/key" << V::Refuse;
    QTest::newRow("encoded slash") << game + "..%2f..%2fsecret%2fkey" << V::Refuse;
    QTest::newRow("single dot") << game + "./x.swf" << V::Refuse;
    QTest::newRow("backslash") << game + "..%5c..%5csecret%5ckey" << V::Refuse;
    QTest::newRow("link out") << game + "out-link.txt" << V::Refuse;
    QTest::newRow("folder link out") << game + "out-folder/key" << V::Refuse;
    QTest::newRow("missing behind a folder link out") << game + "out-folder/none" << V::Refuse;
    QTest::newRow("dangling link") << game + "dangling.txt" << V::Refuse;
    QTest::newRow("the folder itself") << game << V::Refuse;
    QTest::newRow("a sub-folder") << game + "sub" << V::Refuse;
    QTest::newRow("system file") << "vorlumen://player/game/etc/passwd" << V::Refuse;
    QTest::newRow("device") << "vorlumen://player/game/dev/null" << V::Refuse;
    QTest::newRow("page folder escape") << "vorlumen://player/flash/%2e%2e/secret/key" << V::Refuse;
    // An absolute path after /flash/ stays below flash/, where it is not.
    QTest::newRow("game files through the page")
        << "vorlumen://player/flash@/games/a/x.swf" << V::Missing;
    QTest::newRow("no prefix") << "vorlumen://player@/games/a/x.swf" << V::Refuse;
    QTest::newRow("other host") << "vorlumen://evil/game@/games/a/x.swf" << V::Refuse;
    QTest::newRow("port") << "vorlumen://player:80/game@/games/a/x.swf" << V::Refuse;
    QTest::newRow("file scheme") << "file://@/games/a/x.swf" << V::Refuse;
    QTest::newRow("internet") << "https://player/game@/games/a/x.swf" << V::Refuse;
}

void TestHost::gameFilesStayInTheirFolder()
{
    QFETCH(QString, address);
    QFETCH(gamefiles::Verdict, verdict);
    QTemporaryDir tree;
    const QString root = tree.path();
    const QString files[] = {"games/a/x.swf",
                             "games/a/level.txt",
                             QString::fromUtf8("games/a/sub/\xc3\xa9t\xc3\xa9 #1.xml"),
                             "games/other/x.swf",
                             "secret/key",
                             "flash/flash.html"};
    for (const QString &name : files) {
        QDir().mkpath(QFileInfo(root + '/' + name).absolutePath());
        QFile file(root + '/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
    }
    QVERIFY(QFile::link(root + "/games/a/level.txt", root + "/games/a/inner-link.txt"));
    QVERIFY(QFile::link(root + "/secret/key", root + "/games/a/out-link.txt"));
    QVERIFY(QFile::link(root + "/secret", root + "/games/a/out-folder"));
    QVERIFY(QFile::link(root + "/secret/none", root + "/games/a/dangling.txt"));

    const QUrl url(QString(address).replace(QLatin1Char('@'), root));
    const gamefiles::Resolution found = gamefiles::resolve(url, root + "/flash", root + "/games/a");
    QCOMPARE(found.verdict, verdict);
    QCOMPARE(found.filePath.isEmpty(), verdict != gamefiles::Verdict::Serve);
    // Without a game, no game file at all.
    if (url.path().startsWith(QLatin1String("/game/")))
        QVERIFY(gamefiles::resolve(url, root + "/flash", QString()).verdict
                == gamefiles::Verdict::Refuse);
}

// Another program swaps the game's data.txt between a file of its own and a
// link out, by rename, as fast as it can, while the file is resolved and
// opened as the scheme handler does: whatever opens must be the inside file.
void TestHost::servedFileNeverFollowsASwappedLink()
{
    QTemporaryDir tree;
    const QByteArray root = QFile::encodeName(tree.path());
    QVERIFY(QDir().mkpath(tree.path() + "/game") && QDir().mkpath(tree.path() + "/secret"));
    const auto write = [](const QByteArray &path, const char *text) {
        QFile file(QFile::decodeName(path));
        return file.open(QIODevice::WriteOnly) && file.write(text) == qint64(qstrlen(text));
    };
    QVERIFY(write(root + "/secret/key", "outside") && write(root + "/game/data.txt", "inside"));
    const QByteArray data = root + "/game/data.txt";
    std::atomic<bool> swapping {true};
    std::thread swapper([&] {
        const QByteArray link = root + "/game/.link", file = root + "/game/.file";
        while (swapping) {
            if (::symlink((root + "/secret/key").constData(), link.constData()) == 0)
                ::rename(link.constData(), data.constData());
            if (write(file, "inside"))
                ::rename(file.constData(), data.constData());
        }
    });
    const QUrl url("vorlumen://player/game" + tree.path() + "/game/data.txt");
    int served = 0;
    QString leak;
    // Bounded by time, not attempts: on a loaded machine the swapper wins
    // most rounds, and the loads served must still be many.
    QElapsedTimer clock;
    clock.start();
    while (served < 3000 && leak.isEmpty() && !clock.hasExpired(20000)) {
        const auto found = gamefiles::resolve(url, tree.path(), tree.path() + "/game");
        QFile file;
        if (found.verdict != gamefiles::Verdict::Serve
            || !gamefiles::openServed(found.filePath, &file))
            continue;
        ++served;
        const QByteArray text = file.readAll();
        if (text != "inside")
            leak = QStringLiteral("load %1 read \"%2\"").arg(served).arg(QString(text));
    }
    swapping = false;
    swapper.join();
    QVERIFY2(leak.isEmpty(), qPrintable(leak));
    QVERIFY2(served > 100, qPrintable(QStringLiteral("only %1 loads served").arg(served)));
}

void TestHost::whoMayRequestWhat_data()
{
    QTest::addColumn<QString>("initiator");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("allowed");
    const QString ruffle = QStringLiteral("vorlumen://player/flash/ruffle/ruffle.js");
    const QString page = QStringLiteral("vorlumen://player/flash/flash.html");
    const QString game = QStringLiteral("vorlumen://player/game/home/a/x.swf");
    QTest::newRow("window, page") << "" << page << true;
    QTest::newRow("our page, game") << "vorlumen://player" << game << true;
    QTest::newRow("internet, Ruffle") << "https://example.com" << ruffle << true;
    QTest::newRow("plain http, Ruffle chunk")
        << "http://127.0.0.1:8080"
        << "vorlumen://player/flash/ruffle/core.ruffle.1.js" << true;
    QTest::newRow("internet, game page") << "https://example.com" << page << false;
    QTest::newRow("internet, settings") << "https://example.com"
                                        << "vorlumen://player/flash/player-settings.js" << false;
    QTest::newRow("internet, game") << "https://example.com" << game << false;
    QTest::newRow("internet, out of Ruffle")
        << "https://example.com"
        << "vorlumen://player/flash/ruffle/../flash.html" << false;
    QTest::newRow("internet, encoded dots")
        << "https://example.com"
        << "vorlumen://player/flash/ruffle/%2e%2e/flash.html" << false;
    QTest::newRow("internet, Ruffle folder name only") << "https://example.com"
                                                       << "vorlumen://player/flash/ruffle" << false;
    QTest::newRow("internet, other host") << "https://example.com"
                                          << "vorlumen://evil/flash/ruffle/ruffle.js" << false;
    QTest::newRow("file page, Ruffle") << "file:///home/a" << ruffle << false;
    QTest::newRow("data page, Ruffle") << "data:text/html,x" << ruffle << false;
    QTest::newRow("other host of ours") << "vorlumen://evil" << game << false;
    // An internet game's page reads its own box alone, never a local game.
    const QString box = QStringLiteral("vorlumen://site-0123456789abcdef0123456789abcdef");
    QTest::newRow("box, its Ruffle") << box << box + "/flash/ruffle/ruffle.js" << true;
    QTest::newRow("box, its route") << box << box + "/net/http/h/x.txt" << true;
    QTest::newRow("box, local game") << box << game << false;
    QTest::newRow("box, another box")
        << box << "vorlumen://site-ffffffffffffffffffffffffffffffff/net/http/h/x" << false;
    QTest::newRow("local page, a box") << "vorlumen://player" << box + "/net/http/h/x" << false;
    QTest::newRow("box-like host") << "vorlumen://site-xyz"
                                   << "vorlumen://site-xyz/flash/flash.html" << false;
    QTest::newRow("our host, a port") << "vorlumen://player:1" << game << false;
}

void TestHost::whoMayRequestWhat()
{
    QFETCH(QString, initiator);
    QFETCH(QString, address);
    QFETCH(bool, allowed);
    QCOMPARE(gamefiles::mayRequest(QUrl(initiator), QUrl(address)), allowed);
}

// The player's /net/ address the page asks for, and whether the player
// fetches it for the game at http://site.example:8080/games/g.swf.
void TestHost::internetGameStaysOnItsSite_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("fetched"); // empty: refused
    const QString net = QStringLiteral("vorlumen://player/net/");
    QTest::newRow("the movie") << net + "http/site.example:8080/games/g.swf"
                               << "http://site.example:8080/games/g.swf";
    QTest::newRow("beside it, a query") << net + "http/site.example:8080/games/v.txt?a=1&b=%202"
                                        << "http://site.example:8080/games/v.txt?a=1&b=%202";
    QTest::newRow("host in capitals") << net + "http/SITE.example:8080/x"
                                      << "http://site.example:8080/x";
    QTest::newRow("another folder of the site") << net + "http/site.example:8080/other/x"
                                                << "http://site.example:8080/other/x";
    QTest::newRow("another port") << net + "http/site.example:8081/x"
                                  << "";
    QTest::newRow("default port") << net + "http/site.example/x"
                                  << "";
    QTest::newRow("https instead") << net + "https/site.example:8080/x"
                                   << "";
    QTest::newRow("another host") << net + "http/evil.example:8080/x"
                                  << "";
    QTest::newRow("user info") << net + "http/u:p@site.example:8080/x"
                               << "";
    QTest::newRow("file scheme") << net + "file/site.example:8080/etc/passwd"
                                 << "";
    QTest::newRow("no host") << net + "http//x"
                             << "";
    QTest::newRow("nothing") << net << "";
    QTest::newRow("not /net/") << "vorlumen://player/game/x"
                               << "";
}

void TestHost::internetGameStaysOnItsSite()
{
    QFETCH(QString, address);
    QFETCH(QString, fetched);
    const QUrl game(QStringLiteral("http://site.example:8080/games/g.swf"));
    const QUrl target = internetgame::internetUrlOf(QUrl(address));
    const bool allowed = internetgame::isOnGameSite(game, target);
    QCOMPARE(allowed ? target.toString(QUrl::FullyEncoded) : QString(), fetched);
}

void TestHost::internetGameChecks()
{
    QVERIFY(internetgame::isInternetAddress("HTTPS://h/play.php?f=1"));
    QVERIFY(!internetgame::isInternetAddress("http:///x"));
    QVERIFY(!internetgame::isInternetAddress("/home/http/x.swf"));
    QVERIFY(internetgame::isOnGameSite(QUrl("https://h/g.swf"), QUrl("https://h:443/x")));
    QVERIFY(!internetgame::isOnGameSite(QUrl(), QUrl("https://h/x")));
    QVERIFY(gamefiles::looksLikeSwf("CWS\x0a"));
    QVERIFY(!gamefiles::looksLikeSwf("<!DOCTYPE html>"));
    QVERIFY(!gamefiles::looksLikeSwf(""));
    QCOMPARE(internetgame::bareContentType("Text/HTML; charset=utf-8"), QByteArray("text/html"));
    // A site's files are data, never a document of the player's origin.
    const QPair<QByteArray, QByteArray> served[]
        = {{"text/html", "application/octet-stream"},
           {"image/svg+xml", "application/octet-stream"},
           {"text/javascript", "application/octet-stream"},
           {"text/xml", "text/plain"},
           {"image/png", "image/png"},
           {"application/x-shockwave-flash", "application/x-shockwave-flash"}};
    for (const auto &row : served)
        QCOMPARE(internetgame::dataContentType(row.first), row.second);
}

// Each site gets a box of its own, the same on every run; the page of an
// internet game names its site, a local game's page none.
void TestHost::internetGamesPlayInTheirSitesBox()
{
    const QString box = internetgame::siteBoxOf(QUrl("http://Games.example:80/a/g.swf"));
    QVERIFY(gamefiles::isSiteBox(box));
    QCOMPARE(internetgame::siteBoxOf(QUrl("http://games.example/other.swf")), box);
    QVERIFY(internetgame::siteBoxOf(QUrl("https://games.example/a/g.swf")) != box);
    QVERIFY(internetgame::siteBoxOf(QUrl("http://games.example:8080/a/g.swf")) != box);
    QVERIFY(internetgame::siteBoxOf(QUrl("http://other.example/a/g.swf")) != box);
    const QUrl page("vorlumen://player/flash/flash.html?jeu=http://games.example/a=b.swf=640=480");
    QCOMPARE(internetgame::internetGameOfPage(page), QUrl("http://games.example/a=b.swf"));
    QVERIFY(!internetgame::internetGameOfPage(
                 QUrl("vorlumen://player/flash/flash.html?jeu=/home/http/a.swf=1=1"))
                 .isValid());
    QVERIFY(
        !internetgame::internetGameOfPage(QUrl("vorlumen://player/flash/flash.html")).isValid());
}

// What a page of the player may send out, besides what the scheme serves.
void TestHost::gamePagesReachNoNetwork_data()
{
    QTest::addColumn<QString>("firstParty");
    QTest::addColumn<QString>("initiator");
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("isFrame");
    QTest::addColumn<bool>("allowed");
    const QString local = QStringLiteral("vorlumen://player/flash/flash.html?jeu=/g/a.swf=1=1");
    const QString box = QStringLiteral("vorlumen://site-0123456789abcdef0123456789abcdef");
    QTest::newRow("local game, its files") << local << "vorlumen://player"
                                           << "vorlumen://player/game/g/v.txt" << false << true;
    QTest::newRow("local game, a server") << local << "vorlumen://player"
                                          << "http://127.0.0.1:8000/?secret" << false << false;
    QTest::newRow("local game, a socket") << local << "vorlumen://player"
                                          << "wss://example.com/" << false << false;
    QTest::newRow("local game, a file") << local << "vorlumen://player"
                                        << "file:///etc/passwd" << false << false;
    QTest::newRow("local game, a blob") << local << "vorlumen://player"
                                        << "blob:vorlumen://player/1" << false << true;
    QTest::newRow("internet game, its site directly")
        << box + "/flash/flash.html" << box << "https://example.com/x" << false << false;
    QTest::newRow("game moves the view") << "https://example.com/?secret"
                                         << "vorlumen://player"
                                         << "https://example.com/?secret" << true << false;
    QTest::newRow("game opens a frame")
        << local << box << box + "/net/http/h/p.html" << true << false;
    QTest::newRow("window opens the game page") << local << "" << local << true << true;
    QTest::newRow("window opens a site") << "https://example.com/"
                                         << ""
                                         << "https://example.com/" << true << true;
    QTest::newRow("internet page, its site") << "https://example.com/"
                                             << "https://example.com"
                                             << "https://cdn.example.com/a.swf" << false << true;
}

void TestHost::gamePagesReachNoNetwork()
{
    QFETCH(QString, firstParty);
    QFETCH(QString, initiator);
    QFETCH(QString, request);
    QFETCH(bool, isFrame);
    QFETCH(bool, allowed);
    QCOMPARE(gamefiles::mayLeavePage(QUrl(firstParty), QUrl(initiator), QUrl(request), isFrame),
             allowed);
}

void TestHost::nothingReachesTheLocalNetwork_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("allowed");
    // Addresses as typed: the engine and QUrl drop what hides the host.
    const QString none;
    const struct
    {
        const char16_t *request;
        bool allowed;
    } rows[] = {
        {u"https://example.com/game.swf", true},
        {u"http://93.184.216.34/", true},
        {u"http://[2a00:1450:4007::1]/", true},
        {u"vorlumen://player/flash/flash.html", true},
        {u"data:text/plain,x", true},
        {u"http://127.0.0.\uff11\u00ad:8000/secret", false},
        {u"http://127.0.0.\uff11\ufe0f/", false},
        {u"http://127.0.0.\uff11\u200b/", false},
        {u"http://a@127.0.0.\uff11\u200d/", false},
        {u"http://\u2460\u2461\u2466.0.0.\u2460\u00ad/", false},
        {u"http://x.localhost\u00ad/", false},
        {u"http://x.localhost\u200b./", false},
        {u"http://LOCALHOST./", false},
        {u"http://0x7f.1/", false},
        {u"http://2130706433/", false},
        {u"ws://10.0.0.1/", false},
        {u"http://100.64.0.1/", false},
        {u"http://169.254.169.254/latest/meta-data", false},
        {u"http://172.31.255.255/", false},
        {u"http://192.0.2.2/", false},
        {u"http://198.51.100.7/", false},
        {u"http://203.0.113.9/", false},
        {u"http://198.18.0.1/", false},
        {u"http://224.0.0.1/", false},
        {u"http://255.255.255.255/", false},
        {u"http://0.0.0.0:8000/", false},
        {u"http://[::1]/", false},
        {u"http://[::ffff:127.0.0.1]/", false},
        {u"http://[fe80::1]/", false},
        {u"http://[fd00::1]/", false},
        {u"http://[2002:7f00:1::]/", false},
        {u"http://[2001:db8::1]/", false},
        {u"ftp://192.168.1.1/", false},
    };
    for (const auto &row : rows) {
        const QString request = QString::fromUtf16(row.request);
        QTest::newRow(qPrintable(request)) << request << none << row.allowed;
    }
    // The front-end's own -source: site, and that site only.
    const QString cabinet = QStringLiteral("http://192.168.1.20:8080/games/a.swf");
    QTest::newRow("the -source: site") << "http://192.168.1.20:8080/games/b.txt" << cabinet << true;
    QTest::newRow("another port") << "http://192.168.1.20:8081/" << cabinet << false;
    QTest::newRow("another scheme") << "https://192.168.1.20:8080/" << cabinet << false;
    QTest::newRow("another host") << "http://192.168.1.21:8080/" << cabinet << false;
    QTest::newRow("a local -source:") << "http://127.0.0.1/"
                                      << "/games/a.swf" << false;
}

void TestHost::nothingReachesTheLocalNetwork()
{
    QFETCH(QString, request);
    QFETCH(QString, source);
    QFETCH(bool, allowed);
    QCOMPARE(localnetwork::mayReach(QUrl(request), localnetwork::trustedSiteOf(source)), allowed);
}

void TestHost::contentTypes()
{
    const QPair<QString, QByteArray> table[] = {{"a.SWF", "application/x-shockwave-flash"},
                                                {"r.wasm", "application/wasm"},
                                                {"p.html", "text/html"},
                                                {"r.js", "text/javascript"},
                                                {"l.xml", "text/xml"},
                                                {"v.txt", "text/plain"},
                                                {"i.png", "image/png"},
                                                {"i.jpeg", "image/jpeg"},
                                                {"s.mp3", "audio/mpeg"},
                                                {"noext", "application/octet-stream"}};
    for (const auto &row : table)
        QCOMPARE(gamefiles::contentTypeFor(row.first), row.second);
}

// Every name makes the round trip through the player's strings, and one
// that is not UTF-8 still names its file.
void TestHost::namesThatAreNotUtf8_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("plain") << QByteArray("game.swf");
    QTest::newRow("UTF-8") << QByteArray("\xc3\xaet\xc3\xa9 \xf0\x9f\x8e\xae.swf");
    QTest::newRow("Latin-1") << QByteArray("g\xff\xfe.swf");
    QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf.swf");
    QTest::newRow("encoded surrogate") << QByteArray("a\xed\xb2\x80.swf");
    QTest::newRow("cut sequence") << QByteArray("a\xe2\x82");
    QTest::newRow("pair ending in an escape's range") << QByteArray("\xf0\x90\x82\x80.swf");
}

void TestHost::namesThatAreNotUtf8()
{
    QFETCH(QByteArray, name);
    const QString text = rawnames::fromBytes(name);
    QCOMPARE(rawnames::toBytes(text), name);
    if (QString::fromUtf8(name).toUtf8() == name)
        QCOMPARE(text, QString::fromUtf8(name));
    rawnames::installAsLocaleCodec();
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path()) + '/' + name;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "FWS\x0a", 4), ssize_t(4));
    ::close(fd);
    Maintenance maintenance;
    QCOMPARE(maintenance.gameFileProblem(dir.path() + '/' + text), QString());
}

void TestHost::rendererOption_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("renderer");
    QTest::addColumn<bool>("warned");
    const int autoR = int(host::Renderer::Auto);
    const int webgl = int(host::Renderer::WebGL);
    const int canvas = int(host::Renderer::Canvas);
    QTest::newRow("none") << QStringList {"-source:/g/x.swf"} << autoR << false;
    QTest::newRow("webgl, any case") << QStringList {"-RENDERER:WebGL"} << webgl << false;
    QTest::newRow("canvas") << QStringList {"-renderer:canvas"} << canvas << false;
    QTest::newRow("later wins") << QStringList {"-renderer:webgl", "-renderer:auto"} << autoR
                                << false;
    QTest::newRow("unknown ignored")
        << QStringList {"-renderer:webgl", "-renderer:vulkan"} << webgl << true;
    QTest::newRow("empty value") << QStringList {"-renderer:"} << autoR << true;
    QTest::newRow("inside a game's path")
        << QStringList {"-source:/g/-renderer:webgl.swf"} << autoR << false;
    QTest::newRow("quoted") << QStringList {"\"-Renderer:canvas\""} << canvas << false;
    QTest::newRow("not at the start") << QStringList {"x-renderer:webgl"} << autoR << false;
    // What front-end templates send, read as the window reads its options.
    QTest::newRow("two dashes, blanks before")
        << QStringList {" --renderer:webgl"} << webgl << false;
    QTest::newRow("value quoted after the colon")
        << QStringList {"-renderer:\"canvas\""} << canvas << false;
    QTest::newRow("blanks, then a quoted argument")
        << QStringList {" '-renderer:canvas'"} << canvas << false;
}

void TestHost::rendererOption()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, renderer);
    QFETCH(bool, warned);
    const int webglRenderer = int(host::Renderer::WebGL);
    QString warning;
    QCOMPARE(int(host::rendererFromArguments(arguments, &warning)), renderer);
    QCOMPARE(!warning.isEmpty(), warned);
    // WebGL, and the block list ignored, only when asked for or needed.
    for (const bool needed : {false, true}) {
        const host::Drawing drawing = host::drawingFor(host::Renderer(renderer), needed);
        const bool ignoresBlocklist
            = host::chromiumFlags("", "/x", drawing).contains("--ignore-gpu-blocklist");
        QCOMPARE(ignoresBlocklist,
                 renderer == webglRenderer || (needed && renderer == int(host::Renderer::Auto)));
    }
}

// The life of a game's mark, as the page's reports move it, each step seen
// by a new run of the player (a new object on the same file).
void TestHost::webGlMarksFollowThePage()
{
    QTemporaryDir dir;
    const QString marks = dir.filePath(QStringLiteral("data/webgl-games"));
    // Any name fits on its line.
    const QString game = dir.filePath(QStringLiteral("Moon 100% \nLander.swf"));
    const QStringList arguments {"-source:" + game};
    const auto run = [&]() {
        return std::make_unique<RendererChoice>(marks, host::Renderer::Auto, arguments);
    };

    auto first = run();
    QSignalSpy restart(first.get(), &RendererChoice::restartRequested);
    QCOMPARE(first->drawing(), host::Drawing::Software);
    QVERIFY(first->pageSettings().contains("playerHasWebGl = false"));
    first->gameNeedsWebGl();
    QCOMPARE(restart.count(), 1);
    QCOMPARE(first->restartRequest().game, QFile::encodeName(game));

    // Started again: WebGL for this game, and no second restart.
    auto second = run();
    QSignalSpy again(second.get(), &RendererChoice::restartRequested);
    QCOMPARE(second->drawing(), host::Drawing::WebGL);
    QVERIFY(second->pageSettings().startsWith("var playerRenderer = \"webgl\""));
    second->gameNeedsWebGl();
    QCOMPARE(again.count(), 0);
    // WebGL fails under it: the mark is forgotten, the game stays on canvas.
    second->webGlFailed();
    second->webGlPlayed(); // the canvas start that follows is no good run
    auto third = run();
    QSignalSpy none(third.get(), &RendererChoice::restartRequested);
    QCOMPARE(third->drawing(), host::Drawing::Software);
    third->gameNeedsWebGl();
    QCOMPARE(none.count(), 0);
    // A later run on WebGL that plays clears it.
    RendererChoice forced(marks, host::Renderer::WebGL, arguments);
    forced.webGlPlayed();
    QCOMPARE(forced.markOf(game), RendererChoice::Mark::None);
    // A restart whose mark could not be kept still gets its WebGL.
    QVERIFY(QFile::remove(marks));
    QVERIFY(QDir().mkpath(marks));
    qputenv(RendererChoice::restartVariable(), first->restartRequest().key);
    QCOMPARE(run()->drawing(), host::Drawing::WebGL);
    QCOMPARE(run()->drawing(), host::Drawing::Software);
}

void TestHost::saveKeysStayInTheGamesPlace_data()
{
    QTest::addColumn<QString>("game");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("anywhereOnSite");
    QTest::addColumn<QString>("file"); // below the tree; empty: refused

    const QString racer = QStringLiteral("/home/me/Games/Racer.swf");
    const QString odd = QStringLiteral("/home/me/Mes jeux #1/a&b=2.swf");
    const QString web = QStringLiteral("https://Example.com:8080/arcade/Game.swf?v=2");
    const QString racerKey = QStringLiteral("player/game/home/me/Games/Racer.swf/");
    QTest::newRow("its own") << racer << racerKey + "scores" << false
                             << "localhost/home/me/Games/Racer.swf/scores.sol";
    QTest::newRow("escaped path") << odd << "player/game/home/me/Mes%20jeux%20%231/a%26b%3D2.swf/x"
                                  << false << "localhost/home/me/Mes jeux #1/a&b=2.swf/x.sol";
    QTest::newRow("local path /") << racer << "player//scores" << false << "localhost/scores.sol";
    QTest::newRow("a prefix") << racer << "player/game/home/me/scores" << false
                              << "localhost/home/me/scores.sol";
    QTest::newRow("name with /") << racer << racerKey + "#a/b" << false
                                 << "localhost/home/me/Games/Racer.swf/#a/b.sol";
    QTest::newRow("another game") << racer << "player/game/home/you/X.swf/s" << false << "";
    QTest::newRow("..") << racer << "player/game/home/../etc/s" << false << "";
    QTest::newRow("%2e%2e") << racer << "player/game/home/%2e%2e/s" << false << "";
    QTest::newRow(".. in the name") << racer << racerKey + "#../../s" << false << "";
    QTest::newRow("hidden name") << racer << racerKey + ".bashrc" << false << "";
    QTest::newRow("too long") << racer << racerKey + QString(300, 'e') << false << "";
    QTest::newRow("another route") << racer << "player/net/https/x/s" << false << "";
    QTest::newRow("upgrade, elsewhere on the site")
        << racer << "player/game/srv/Old.swf/s" << true << "localhost/srv/Old.swf/s.sol";
    QTest::newRow("upgrade, %2E%2E") << racer << "player/game/srv/%2E%2E/s" << true << "";
    QTest::newRow("internet") << web << "site-ab/net/https/Example.com:8080/arcade/Game.swf/hi"
                              << false << "example.com/arcade/Game.swf/hi.sol";
    QTest::newRow("another site") << web << "site-ab/net/https/evil.com/arcade/Game.swf/hi" << false
                                  << "";
}

void TestHost::saveKeysStayInTheGamesPlace()
{
    QFETCH(QString, game);
    QFETCH(QString, key);
    QFETCH(bool, anywhereOnSite);
    QFETCH(QString, file);
    QCOMPARE(savetree::relativeFileOf(savetree::placeOf(game), key, anywhereOnSite), file);
}

void TestHost::padMappingFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("qtKey"); // 0: no key, -1: a click
    QTest::addColumn<int>("rightStick");
    QTest::addColumn<QString>("problem");
    const int pointer = int(padmap::Motion::Pointer);
    const int keys = int(padmap::Motion::Keys);
    QTest::newRow("empty: the defaults") << "" << "a" << int(Qt::Key_Space) << pointer << "";
    QTest::newRow("a key, any case, comments")
        << "# racer\n\n  A = Z \nb=enter\n" << "a" << int(Qt::Key_Z) << pointer << "";
    QTest::newRow("a function key") << "start = f12" << "start" << int(Qt::Key_F12) << pointer
                                    << "";
    QTest::newRow("a digit") << "y=0" << "y" << int(Qt::Key_0) << pointer << "";
    QTest::newRow("a click, the stick as keys")
        << "r1 = click\nrightstick = keys" << "r1" << -1 << keys << "";
    QTest::newRow("nothing") << "x = none" << "x" << 0 << pointer << "";
    // A file with one mistake gives the whole default table back.
    QTest::newRow("unknown key") << "x = z\na = warp" << "x" << int(Qt::Key_Z) << pointer
                                 << "line 2: no key named \"warp\"";
    QTest::newRow("unknown control") << "a = z\nturbo = x" << "a" << int(Qt::Key_Space)
                                     << pointer << "line 2: no control named \"turbo\"";
    QTest::newRow("no equals sign") << "a z" << "a" << int(Qt::Key_Space) << pointer
                                    << "line 1: expected \"name = value\"";
    QTest::newRow("bad stick use") << "rightstick = mouse" << "a" << int(Qt::Key_Space)
                                   << pointer
                                   << "line 1: rightstick takes keys, pointer or none, not \"mouse\"";
    QTest::newRow("F13 is no key") << "a = f13" << "a" << int(Qt::Key_Space) << pointer
                                   << "line 1: no key named \"f13\"";
}

void TestHost::padMappingFile()
{
    QFETCH(QString, text);
    QFETCH(QString, control);
    QFETCH(int, qtKey);
    QFETCH(int, rightStick);
    QFETCH(QString, problem);
    QString found;
    const padmap::Mapping mapping = padmap::parseMapping(text, &found);
    QCOMPARE(found, problem);
    int index = 0;
    while (padmap::controlName(padmap::Control(index)) != control)
        ++index;
    const padmap::Action &action = mapping.action(padmap::Control(index));
    QCOMPARE(action.kind == padmap::Action::Click ? -1 : action.qtKey, qtKey);
    QCOMPARE(int(mapping.rightStick), rightStick);
}

// Select and Start held together: briefly asks to quit, long quits at once;
// let go early, nothing. Either of two pads may do it.
void TestHost::padQuitHold_data()
{
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("quit");
    QTest::newRow("a tap") << 50 << 0 << 0;
    QTest::newRow("held briefly") << 600 << 1 << 0;
    QTest::newRow("held long") << 1600 << 1 << 1;
}

void TestHost::padQuitHold()
{
    QFETCH(int, holdMs);
    QFETCH(int, asked);
    QFETCH(int, quit);
    Gamepads pads;
    pads.setProperty("readPads", false);
    pads.setProperty("quitAskHoldMs", 300);
    pads.setProperty("quitNowHoldMs", 1200);
    QSignalSpy askedSpy(&pads, &Gamepads::quitAsked);
    QSignalSpy quitSpy(&pads, &Gamepads::quitNow);
    const int select = int(padmap::Control::Select);
    const int start = int(padmap::Control::Start);
    pads.addPad(1, QStringLiteral("first"));
    pads.press(7, select); // a pad the reader had not announced yet
    pads.press(1, start);  // on another pad: no combination
    // The time to ask and more: nothing is a signal.
    QTest::qWait(400);
    QCOMPARE(askedSpy.count(), 0);
    pads.press(1, select);
    QElapsedTimer held;
    held.start();
    QTRY_VERIFY_WITH_TIMEOUT(held.elapsed() >= holdMs, holdMs + 1000);
    pads.release(1, start);
    // Nothing to wait for but time: a timer left running would fire by now.
    QTest::qWait(qMax(0, 1200 - holdMs) + 200);
    QCOMPARE(askedSpy.count(), asked);
    QCOMPARE(quitSpy.count(), quit);
    QCOMPARE(pads.padCount(), 2);
}

// A pad read through SDL (its virtual pad: no device needed) is announced
// when it comes, drives the player and is let go when it goes.
void TestHost::padsComeAndGo()
{
    qputenv("QT_GAMEPAD", "sdl2");
    Gamepads pads;
    pads.componentComplete();
    QSignalSpy connected(&pads, &Gamepads::padConnected);
    QSignalSpy disconnected(&pads, &Gamepads::padDisconnected);
    QSignalSpy asked(&pads, &Gamepads::quitAsked);
    void *sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW);
    QVERIFY2(sdl, dlerror());
    auto wasInit = reinterpret_cast<unsigned (*)(unsigned)>(dlsym(sdl, "SDL_WasInit"));
    auto attach = reinterpret_cast<int (*)(int, int, int, int)>(dlsym(sdl, "SDL_JoystickAttachVirtual"));
    auto detach = reinterpret_cast<int (*)(int)>(dlsym(sdl, "SDL_JoystickDetachVirtual"));
    auto open = reinterpret_cast<void *(*)(int)>(dlsym(sdl, "SDL_JoystickOpen"));
    auto setButton = reinterpret_cast<int (*)(void *, int, unsigned char)>(
        dlsym(sdl, "SDL_JoystickSetVirtualButton"));
    QVERIFY(wasInit && attach && detach && open && setButton);
    constexpr unsigned kGameController = 0x2000;
    QTRY_VERIFY_WITH_TIMEOUT(wasInit(kGameController) != 0, 5000);
    // Two standard controllers (SDL numbering: 4 back, 5 guide, 6 start).
    const int first = attach(1, 6, 15, 0);
    const int second = attach(1, 6, 15, 0);
    QVERIFY(first >= 0 && second >= 0);
    QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 2, 5000);
    QCOMPARE(pads.padCount(), 2);
    void *pad = open(second);
    QVERIFY(pad);
    setButton(pad, 5, 1);
    QTRY_COMPARE_WITH_TIMEOUT(asked.count(), 1, 5000);
    setButton(pad, 5, 0);
    QCOMPARE(detach(first), 0);
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 1, 5000);
    QCOMPARE(pads.padCount(), 1);
}

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
