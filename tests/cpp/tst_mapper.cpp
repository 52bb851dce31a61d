// The gamepad mapper launcher (antimicro/antimicro) and the default profile,
// run for real: the launcher binary, a recording stand-in for the mapper,
// and the installed antimicrox on the test's X server.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QString launcherPath = QStringLiteral(MAPPER_LAUNCHER);
const QString helperPath = QStringLiteral(MAPPER_HELPER);
const QString padShimPath = QStringLiteral(MAPPER_VPAD);
const QString profilePath = QStringLiteral(MAPPER_PROFILE);
constexpr int startTimeoutMs = 15000;

QString installedMapper()
{
    return QStandardPaths::findExecutable(QStringLiteral("antimicrox"));
}

// Waits for a process that is not our child to end, woken by the kernel
// (a pidfd becomes readable when its process exits) rather than by polling.
bool waitForProcessEnd(pid_t pid, int timeoutMs)
{
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0)
        return errno == ESRCH;
    pollfd watch {pidfd, POLLIN, 0};
    int ready = poll(&watch, 1, timeoutMs);
    close(pidfd);
    return ready > 0;
}

struct Record
{
    qint64 pid = 0;
    QStringList arguments;
};

Record readRecord(const QString &path)
{
    QFile file(path);
    Record record;
    if (!file.open(QIODevice::ReadOnly))
        return record;
    record.pid = file.readLine().trimmed().toLongLong();
    const QByteArray rest = file.readAll();
    QList<QByteArray> parts = rest.split('\0');
    parts.removeLast(); // after the last terminator
    for (const QByteArray &part : parts)
        record.arguments.append(QString::fromUtf8(part));
    return record;
}

// Records the keys that reach it; the mapper types into the focused window.
class KeyWindow : public QWindow
{
public:
    QList<int> pressed;
    QList<int> released;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!event->isAutoRepeat())
            pressed.append(event->key());
    }
    void keyReleaseEvent(QKeyEvent *event) override
    {
        if (!event->isAutoRepeat())
            released.append(event->key());
    }
};

} // namespace

class TestMapper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void passesArgumentsUnchanged_data();
    void passesArgumentsUnchanged();
    void reportsMissingMapper_data();
    void reportsMissingMapper();
    void mapperEndsWithPlayer_data();
    void mapperEndsWithPlayer();
    void defaultProfileTypesKeys_data();
    void defaultProfileTypesKeys();
    void defaultProfileKeepsStderrClean();
    void namedControllerGetsTheProfile();

private:
    QProcessEnvironment baseEnvironment(const QString &tmpDir) const;
    QString freshFolder(const QString &name) const;
    bool startRealMapper(const QStringList &extraArguments = {});
    void stopRealMapper();
    bool showKeyWindow();
    bool sendPadCommand(const QByteArray &command);
    bool waitForPadReady();

    QTemporaryDir m_sandbox;
    QProcess m_realMapper;
    QString m_padFifo;
    int m_padWriter = -1;
    KeyWindow m_window;
};

void TestMapper::initTestCase()
{
    QVERIFY(m_sandbox.isValid());
    QVERIFY2(QFileInfo(launcherPath).isExecutable(), qPrintable(launcherPath));
    QVERIFY2(QFileInfo::exists(profilePath), qPrintable(profilePath));
}

void TestMapper::cleanupTestCase()
{
    stopRealMapper();
}

void TestMapper::stopRealMapper()
{
    if (m_padWriter >= 0)
        close(m_padWriter);
    m_padWriter = -1;
    if (m_realMapper.state() != QProcess::NotRunning) {
        m_realMapper.terminate();
        if (!m_realMapper.waitForFinished(5000))
            m_realMapper.kill();
        m_realMapper.waitForFinished(2000);
    }
}

QString TestMapper::freshFolder(const QString &name) const
{
    const QString path = m_sandbox.filePath(name);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

// A mapper's own world: private home, settings, runtime folder and TMPDIR.
// antimicrox keeps its one-instance socket in TMPDIR, so each test that runs
// it needs its own, or a second instance would hand over to the first and
// quit at once.
QProcessEnvironment TestMapper::baseEnvironment(const QString &tmpDir) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString home = m_sandbox.filePath(QStringLiteral("home"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), tmpDir);
    environment.insert(QStringLiteral("TMPDIR"), tmpDir);
    environment.remove(QStringLiteral("VORLUMEN_ANTIMICROX"));
    return environment;
}

void TestMapper::passesArgumentsUnchanged_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("foundOnPath");
    QTest::addColumn<QString>("mapperFolder");

    const QString profiles = QStringLiteral("/opt/vorlumen/antimicro/profiles/");
    QTest::newRow("profile") << QStringList {"--hidden", "--profile",
                                             profiles + "vorlumen.gamecontroller.amgp"}
                             << false << "plain";
    QTest::newRow("controller") << QStringList {"--hidden", "--profile-controller",
                                                "03000000de280000ff11000001000000"}
                                << false << "plain";
    QTest::newRow("odd characters")
        << QStringList {"--hidden",
                        "--profile",
                        profiles + "it's \"my\" $(reboot); `id` & *.amgp | <x> \\ %s",
                        "line\nbreak",
                        "",
                        "  padded  ",
                        "-",
                        "été 日本"}
        << false << "plain";
    QTest::newRow("no arguments") << QStringList {} << false << "plain";
    QTest::newRow("found on PATH")
        << QStringList {"--hidden", "--profile", profiles + "a.amgp"} << true << "path";
    QTest::newRow("mapper under an odd folder")
        << QStringList {"--hidden"} << false << "it's a $(folder); `x` & y";
}

void TestMapper::passesArgumentsUnchanged()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, foundOnPath);
    QFETCH(QString, mapperFolder);

    // The stand-in mapper is the helper under the name antimicrox, which
    // makes it record its arguments.
    const QString folder = freshFolder(QStringLiteral("mapper/") + mapperFolder);
    const QString mapper = folder + QStringLiteral("/antimicrox");
    const QString record = freshFolder(QStringLiteral("record")) + QStringLiteral("/argv");
    QVERIFY(QFile::link(helperPath, mapper));

    QProcessEnvironment environment = baseEnvironment(freshFolder(QStringLiteral("tmp")));
    environment.insert(QStringLiteral("VORLUMEN_TEST_RECORD"), record);
    if (foundOnPath)
        environment.insert(QStringLiteral("PATH"), folder + QStringLiteral(":/usr/bin:/bin"));
    else
        environment.insert(QStringLiteral("VORLUMEN_ANTIMICROX"), mapper);

    QProcess launcher;
    launcher.setProcessEnvironment(environment);
    launcher.start(launcherPath, arguments);
    QVERIFY(launcher.waitForStarted());
    const qint64 launcherPid = launcher.processId();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record) || launcher.state() == QProcess::NotRunning,
                             startTimeoutMs);
    const Record seen = readRecord(record);
    const QByteArray errors = launcher.readAllStandardError();
    launcher.kill();
    launcher.waitForFinished();

    QVERIFY2(seen.pid != 0, errors.constData());
    QCOMPARE(seen.arguments, arguments);
    // The mapper replaced the launcher: the player's handle on its child is a
    // handle on the mapper itself.
    QCOMPARE(seen.pid, launcherPid);
}

void TestMapper::reportsMissingMapper_data()
{
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("mapperInWorkingFolder");

    const QString empty = freshFolder(QStringLiteral("empty-bin"));
    const QString plainFile = m_sandbox.filePath(QStringLiteral("not-a-program"));
    QFile file(plainFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho should not run\n");
    file.close();

    QTest::newRow("not on PATH") << "" << empty << 127 << "antimicrox" << false;
    // An empty PATH entry would mean the current folder; a mapper is never
    // taken from wherever the player was started.
    QTest::newRow("only in the working folder")
        << "" << QString(":" + empty + ":") << 127 << "antimicrox" << true;
    QTest::newRow("override names a missing file")
        << m_sandbox.filePath(QStringLiteral("nowhere/antimicrox")) << empty << 127
        << "nowhere/antimicrox" << false;
    QTest::newRow("override names a file that cannot run")
        << plainFile << empty << 126 << "not-a-program" << false;
}

void TestMapper::reportsMissingMapper()
{
    QFETCH(QString, override);
    QFETCH(QString, path);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(bool, mapperInWorkingFolder);

    const QString workingFolder = freshFolder(QStringLiteral("working"));
    if (mapperInWorkingFolder)
        QVERIFY(QFile::link(helperPath, workingFolder + QStringLiteral("/antimicrox")));
    QProcessEnvironment environment = baseEnvironment(freshFolder(QStringLiteral("tmp")));
    environment.insert(QStringLiteral("PATH"), path);
    environment.insert(QStringLiteral("VORLUMEN_TEST_RECORD"), workingFolder + "/argv");
    if (!override.isEmpty())
        environment.insert(QStringLiteral("VORLUMEN_ANTIMICROX"), override);

    QProcess launcher;
    launcher.setProcessEnvironment(environment);
    launcher.setWorkingDirectory(workingFolder);
    launcher.start(launcherPath, {QStringLiteral("--hidden")});
    QVERIFY(launcher.waitForFinished(startTimeoutMs));
    const QString errors = QString::fromUtf8(launcher.readAllStandardError());
    const QByteArray output = launcher.readAllStandardOutput();

    QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
    QCOMPARE(launcher.exitCode(), exitCode);
    QVERIFY2(errors.contains(message), qPrintable(errors));
    QVERIFY2(output.isEmpty(), output.constData()); // nothing was run
    QVERIFY(!QFile::exists(workingFolder + "/argv"));
}

void TestMapper::mapperEndsWithPlayer_data()
{
    QTest::addColumn<bool>("realMapper");
    QTest::addColumn<bool>("mapperSettled");
    QTest::newRow("stand-in mapper") << false << true;
    // antimicrox loses a SIGTERM that arrives while it starts up.
    QTest::newRow("antimicrox, just started") << true << false;
    QTest::newRow("antimicrox, listening") << true << true;
}

// The player is killed outright (no chance to stop its child): the mapper
// must still end, as the kernel tells it its parent is gone.
void TestMapper::mapperEndsWithPlayer()
{
    QFETCH(bool, realMapper);
    QFETCH(bool, mapperSettled);
    const QString tmpDir = freshFolder(QStringLiteral("tmp-orphan"));
    const QString record = tmpDir + QStringLiteral("/argv");
    QString mapper = installedMapper();
    if (!realMapper) {
        mapper = tmpDir + QStringLiteral("/antimicrox");
        QVERIFY(QFile::link(helperPath, mapper));
    }
    if (mapper.isEmpty())
        QSKIP("antimicrox is not installed");
    QProcessEnvironment environment = baseEnvironment(tmpDir);
    environment.insert(QStringLiteral("VORLUMEN_ANTIMICROX"), mapper);
    environment.insert(QStringLiteral("VORLUMEN_TEST_RECORD"), record);

    const QStringList arguments {QStringLiteral("parent"), launcherPath, QStringLiteral("--hidden"),
                                 QStringLiteral("--profile"), profilePath};
    QProcess player;
    player.setProcessEnvironment(environment);
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(helperPath, arguments);
    QVERIFY(player.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(player.canReadLine(), startTimeoutMs);
    const pid_t mapperPid = static_cast<pid_t>(player.readLine().trimmed().toLong());
    QVERIFY(mapperPid > 0);

    // Wait until the mapper really runs (not merely the launcher), so the
    // signal reaches the program a cabinet would be left with.
    if (realMapper) {
        const QString exe = QStringLiteral("/proc/%1/exe").arg(mapperPid);
        const QString listener = tmpDir + QStringLiteral("/antimicroxSignalListener");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::symLinkTarget(exe) == QFileInfo(mapper).canonicalFilePath()
                                     && (!mapperSettled || QFileInfo::exists(listener)),
                                 startTimeoutMs);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), startTimeoutMs);
        QCOMPARE(readRecord(record).pid, static_cast<qint64>(mapperPid));
    }

    QCOMPARE(::kill(static_cast<pid_t>(player.processId()), SIGKILL), 0);
    QVERIFY(player.waitForFinished());
    const bool ended = waitForProcessEnd(mapperPid, 10000);
    if (!ended)
        ::kill(mapperPid, SIGKILL);
    QVERIFY2(ended, "the mapper outlived the player");
}

// The window the mapper's keys go to, shown and active.
bool TestMapper::showKeyWindow()
{
    if (m_window.isVisible())
        return true;
    m_window.resize(320, 240);
    m_window.show();
    m_window.requestActivate();
    return QTest::qWaitForWindowActive(&m_window);
}

bool TestMapper::startRealMapper(const QStringList &extraArguments)
{
    if (m_realMapper.state() == QProcess::Running)
        return true;
    const QString tmpDir = freshFolder(QStringLiteral("tmp-profile"));
    m_padFifo = tmpDir + QStringLiteral("/pad");
    if (mkfifo(QFile::encodeName(m_padFifo).constData(), 0600) != 0)
        return false;

    QProcessEnvironment environment = baseEnvironment(tmpDir);
    environment.insert(QStringLiteral("LD_PRELOAD"), padShimPath);
    environment.insert(QStringLiteral("VORLUMEN_TEST_PAD_FIFO"), m_padFifo);
    m_realMapper.setProcessEnvironment(environment);
    m_realMapper.start(
        launcherPath,
        QStringList {QStringLiteral("--hidden"), QStringLiteral("--profile"), profilePath}
            + extraArguments);
    return m_realMapper.waitForStarted();
}

bool TestMapper::sendPadCommand(const QByteArray &command)
{
    const QByteArray line = command + '\n';
    return m_padWriter >= 0 && write(m_padWriter, line.constData(), line.size()) == line.size();
}

// The mapper takes a moment to start and take up the profile: hold A until
// its key arrives. (The pad reports states, not events: a press released
// before the mapper looked would go unseen.)
bool TestMapper::waitForPadReady()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < startTimeoutMs && m_realMapper.state() == QProcess::Running) {
        if (m_padWriter < 0)
            m_padWriter = open(QFile::encodeName(m_padFifo).constData(), O_WRONLY | O_NONBLOCK);
        if (m_padWriter >= 0 && sendPadCommand("button 0 1")
            && QTest::qWaitFor([this] { return m_window.pressed.contains(Qt::Key_Space); }, 200)) {
            return sendPadCommand("button 0 0")
                && QTest::qWaitFor([this] { return m_window.released.contains(Qt::Key_Space); },
                                   5000);
        }
        QTest::qWait(50);
    }
    return false;
}

void TestMapper::defaultProfileTypesKeys_data()
{
    QTest::addColumn<QByteArray>("press");
    QTest::addColumn<QByteArray>("release");
    QTest::addColumn<int>("key");

    // SDL's standard controller numbering: buttons 0 A, 1 B, 2 X, 3 Y,
    // 4 Back, 6 Start, 11-14 d-pad up, down, left, right; axes 0/1 left stick.
    QTest::newRow("A") << QByteArray("button 0 1") << QByteArray("button 0 0")
                       << int(Qt::Key_Space);
    QTest::newRow("B") << QByteArray("button 1 1") << QByteArray("button 1 0") << int(Qt::Key_Z);
    QTest::newRow("X") << QByteArray("button 2 1") << QByteArray("button 2 0") << int(Qt::Key_X);
    QTest::newRow("Y") << QByteArray("button 3 1") << QByteArray("button 3 0") << int(Qt::Key_C);
    QTest::newRow("Back") << QByteArray("button 4 1") << QByteArray("button 4 0")
                          << int(Qt::Key_Escape);
    QTest::newRow("Start") << QByteArray("button 6 1") << QByteArray("button 6 0")
                           << int(Qt::Key_Return);
    QTest::newRow("d-pad up") << QByteArray("button 11 1") << QByteArray("button 11 0")
                              << int(Qt::Key_Up);
    QTest::newRow("d-pad down") << QByteArray("button 12 1") << QByteArray("button 12 0")
                                << int(Qt::Key_Down);
    QTest::newRow("d-pad left") << QByteArray("button 13 1") << QByteArray("button 13 0")
                                << int(Qt::Key_Left);
    QTest::newRow("d-pad right") << QByteArray("button 14 1") << QByteArray("button 14 0")
                                 << int(Qt::Key_Right);
    QTest::newRow("stick left") << QByteArray("axis 0 -32768") << QByteArray("axis 0 0")
                                << int(Qt::Key_Left);
    QTest::newRow("stick right") << QByteArray("axis 0 32767") << QByteArray("axis 0 0")
                                 << int(Qt::Key_Right);
    QTest::newRow("stick up") << QByteArray("axis 1 -32768") << QByteArray("axis 1 0")
                              << int(Qt::Key_Up);
    QTest::newRow("stick down") << QByteArray("axis 1 32767") << QByteArray("axis 1 0")
                                << int(Qt::Key_Down);
}

// The default profile, loaded by the installed antimicrox through the
// launcher, turns each control into its key on the X server.
void TestMapper::defaultProfileTypesKeys()
{
    QFETCH(QByteArray, press);
    QFETCH(QByteArray, release);
    QFETCH(int, key);
    if (installedMapper().isEmpty())
        QSKIP("antimicrox is not installed");

    QVERIFY(showKeyWindow());
    if (m_realMapper.state() != QProcess::Running) {
        QVERIFY(startRealMapper());
        QVERIFY2(waitForPadReady(), m_realMapper.readAllStandardError().constData());
    }

    m_window.pressed.clear();
    m_window.released.clear();
    QVERIFY(sendPadCommand(press));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window.pressed.isEmpty(), 5000);
    QVERIFY(sendPadCommand(release));
    QTRY_VERIFY_WITH_TIMEOUT(m_window.released.contains(key), 5000);
    QCOMPARE(m_window.pressed, QList<int> {key});
}

// The mapper said nothing on standard error while taking up the profile.
void TestMapper::defaultProfileKeepsStderrClean()
{
    if (m_realMapper.state() != QProcess::Running)
        QSKIP("the mapper did not run");
    const QByteArray errors = m_realMapper.readAllStandardError();
    qInfo("antimicrox printed on standard error: \"%s\"", errors.constData());
    qInfo("antimicrox printed on standard output: \"%s\"",
          m_realMapper.readAllStandardOutput().constData());
    QVERIFY2(errors.isEmpty(), errors.constData());
}

// With a controller named, the player passes the profile with it, and the
// mapper applies that profile to that controller: its keys arrive. (Given
// without "--profile", the controller would get no profile at all.)
void TestMapper::namedControllerGetsTheProfile()
{
    if (installedMapper().isEmpty())
        QSKIP("antimicrox is not installed");
    QVERIFY(showKeyWindow());
    stopRealMapper();
    // The only controller is the first; a front-end may name it by its GUID,
    // its name or this index.
    QVERIFY(startRealMapper({QStringLiteral("--profile-controller"), QStringLiteral("1")}));
    QVERIFY2(waitForPadReady(), m_realMapper.readAllStandardError().constData());
    stopRealMapper();
}

int main(int argc, char **argv)
{
    // Nothing here may touch the real home folder, the test process included.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    QDir().mkpath(home.filePath(QStringLiteral("runtime")));
    QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.filePath(QStringLiteral("runtime"))));

    QGuiApplication app(argc, argv);
    TestMapper test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mapper.moc"
