// The swfdump executable as the player runs it: output format, exit codes,
// bad input and paths that a shell would mangle.

#include "swfgen.h"
#include "tst_swfheader_corpus.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

struct ProbeRun
{
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ProbeRun runProbe(const QStringList &arguments, const QString &workingDir = QString())
{
    QProcess process;
    process.setProgram(QStringLiteral(SWFDUMP_PATH));
    process.setArguments(arguments);
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start();
    ProbeRun run;
    run.finished = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit;
    if (!run.finished)
        process.kill();
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray toByteArray(const swfgen::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// 659.75 x 591 px, 12.5 fps, 7 frames.
QByteArray sampleMovie(swfgen::Compression compression = swfgen::Compression::Zlib)
{
    swfgen::Movie movie(659.75, 591, 12.5);
    for (int i = 0; i < 7; ++i)
        movie.showFrame();
    return toByteArray(movie.build(compression));
}

} // namespace

class TestSwfdumpCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void output_data();
    void output();
    void usageError_data();
    void usageError();
    void help();
    void badFile_data();
    void badFile();
    void fifoIsRejectedWithoutBlocking();
    void oddPathCharacters_data();
    void oddPathCharacters();
    void corpusSize_data();
    void corpusSize();
    void corpusInvalid_data();
    void corpusInvalid();

private:
    QTemporaryDir m_folder;
    QString m_sample;
};

void TestSwfdumpCli::initTestCase()
{
    QVERIFY(QFileInfo(QStringLiteral(SWFDUMP_PATH)).isExecutable());
    QVERIFY(m_folder.isValid());
    m_sample = m_folder.filePath(QStringLiteral("sample.swf"));
    QVERIFY(writeFile(m_sample, sampleMovie()));
}

void TestSwfdumpCli::output_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("fileFirst");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("width and height")
        << QStringList {"-X", "-Y"} << false << QByteArray("-X 659 -Y 591\n");
    QTest::newRow("order as given")
        << QStringList {"-Y", "-X"} << false << QByteArray("-Y 591 -X 659\n");
    QTest::newRow("width alone") << QStringList {"-X"} << false << QByteArray("-X 659\n");
    QTest::newRow("height alone") << QStringList {"-Y"} << false << QByteArray("-Y 591\n");
    QTest::newRow("rate and frames")
        << QStringList {"-r", "-f"} << false << QByteArray("-r 12.50 -f 7\n");
    QTest::newRow("everything by default")
        << QStringList {} << false << QByteArray("-X 659 -Y 591 -r 12.50 -f 7\n");
    QTest::newRow("file before options")
        << QStringList {"-X", "-Y"} << true << QByteArray("-X 659 -Y 591\n");
    QTest::newRow("end of options") << QStringList {"-X", "--"} << false << QByteArray("-X 659\n");
}

void TestSwfdumpCli::output()
{
    QFETCH(QStringList, options);
    QFETCH(bool, fileFirst);
    QFETCH(QByteArray, expected);
    const QStringList arguments
        = fileFirst ? QStringList {m_sample} + options : options + QStringList {m_sample};
    const ProbeRun run = runProbe(arguments);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, expected);
    QCOMPARE(run.err, QByteArray());
}

void TestSwfdumpCli::usageError_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList {};
    QTest::newRow("options without a file") << QStringList {"-X", "-Y"};
    QTest::newRow("unknown option") << QStringList {"-Z", "SAMPLE"};
    QTest::newRow("two files") << QStringList {"-X", "SAMPLE", "SAMPLE"};
}

void TestSwfdumpCli::usageError()
{
    QFETCH(QStringList, arguments);
    arguments.replaceInStrings(QStringLiteral("SAMPLE"), m_sample);
    const ProbeRun run = runProbe(arguments);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(run.err.startsWith("swfdump: "));
}

void TestSwfdumpCli::help()
{
    const ProbeRun run = runProbe({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("Usage: swfdump"));
}

void TestSwfdumpCli::badFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: do not create the file
    const QByteArray movie = sampleMovie(swfgen::Compression::None);
    QByteArray corruptZlib = sampleMovie(swfgen::Compression::Zlib);
    corruptZlib[8] = 0x00;
    QByteArray corruptLzma = sampleMovie(swfgen::Compression::Lzma);
    corruptLzma[12] = char(0xE1);
    QTest::newRow("missing file") << "missing.swf" << QByteArray();
    QTest::newRow("empty file") << "empty.swf" << QByteArray("");
    QTest::newRow("two bytes") << "short.swf" << QByteArray("FW");
    QTest::newRow("signature only") << "signature.swf" << QByteArray("CWS\x0a", 4);
    QTest::newRow("text file") << "text.swf" << QByteArray("This is not a movie.\n");
    QTest::newRow("HTML page") << "page.swf"
                               << QByteArray("<!DOCTYPE html><html><body>640 480</body></html>");
    QTest::newRow("cut inside the rectangle") << "cut.swf" << movie.left(10);
    QTest::newRow("corrupt zlib data") << "zlib.swf" << corruptZlib;
    QTest::newRow("corrupt LZMA properties") << "lzma.swf" << corruptLzma;
    QTest::newRow("a folder") << "folder.swf" << QByteArray("<folder>");
}

void TestSwfdumpCli::badFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = m_folder.filePath(name);
    if (content == "<folder>")
        QVERIFY(QDir().mkpath(path));
    else if (!content.isNull())
        QVERIFY(writeFile(path, content));
    const ProbeRun run = runProbe({QStringLiteral("-X"), QStringLiteral("-Y"), path});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("swfdump: " + QFile::encodeName(path) + ": "), run.err);
}

void TestSwfdumpCli::fifoIsRejectedWithoutBlocking()
{
#ifdef Q_OS_UNIX
    const QString path = m_folder.filePath(QStringLiteral("pipe.swf"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const ProbeRun run = runProbe({QStringLiteral("-X"), QStringLiteral("-Y"), path});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
#else
    QSKIP("named pipes are a Unix matter");
#endif
}

void TestSwfdumpCli::oddPathCharacters_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << "my game  (final).swf";
    QTest::newRow("accents") << QString::fromUtf8("jeu élève ñ 日本.swf");
    QTest::newRow("quotes") << "it's \"quoted\".swf";
    QTest::newRow("ampersand") << "a&b && c.swf";
    QTest::newRow("command substitution") << "$(touch pwned) `touch pwned2`.swf";
    QTest::newRow("hash percent equals") << "#1 100% x=640=480.swf";
    QTest::newRow("redirection and pipe") << "a > b | c ; d.swf";
    QTest::newRow("leading dash") << "-X.swf";
    QTest::newRow("backslash and star") << "a\\b*?.swf";
}

void TestSwfdumpCli::oddPathCharacters()
{
    QFETCH(QString, name);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(name);
    QVERIFY(writeFile(path, sampleMovie()));
    const QString argument = name.startsWith(QLatin1Char('-')) ? QStringLiteral("--") : QString();
    QStringList arguments {QStringLiteral("-X"), QStringLiteral("-Y")};
    if (!argument.isEmpty())
        arguments << argument << name; // relative, in the working folder
    else
        arguments << path;
    const ProbeRun run = runProbe(arguments, folder.path());
    QVERIFY(run.finished);
    QCOMPARE(run.out, QByteArray("-X 659 -Y 591\n"));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1); // nothing was run
}

void TestSwfdumpCli::corpusSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("expected");
    const QVector<swfcorpus::Entry> entries = swfcorpus::manifest();
    QVERIFY(!entries.isEmpty());
    for (const swfcorpus::Entry &entry : entries) {
        QTest::newRow(qPrintable(QFileInfo(entry.path).fileName()))
            << entry.path
            << QByteArray("-X " + QByteArray::number(entry.widthPixels) + " -Y "
                          + QByteArray::number(entry.heightPixels) + "\n");
    }
}

void TestSwfdumpCli::corpusSize()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, expected);
    const ProbeRun run = runProbe({QStringLiteral("-X"), QStringLiteral("-Y"), path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, expected);
}

void TestSwfdumpCli::corpusInvalid_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &path : swfcorpus::invalidFiles())
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

void TestSwfdumpCli::corpusInvalid()
{
    QFETCH(QString, path);
    const ProbeRun run = runProbe({QStringLiteral("-X"), QStringLiteral("-Y"), path});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(!run.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestSwfdumpCli)
#include "tst_swfheader_cli.moc"
