#include "rendererchoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

#include <cstdio>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace {

const char restartVariableName[] = "VORLUMEN_WEBGL_GAME";
// A handful of games per cabinet is the rule; the file stays small even
// when a front-end walks through a whole collection.
const int mostMarks = 4096;

// A game without a mark has no line.
QByteArray markName(RendererChoice::Mark mark)
{
    return mark == RendererChoice::Mark::WebGL ? "webgl" : "failed";
}

// As the window tells them apart.
bool isInternetAddress(const QString &game)
{
    return game.contains(QLatin1String("http"));
}

} // namespace

RendererChoice::RendererChoice(const QString &marksFile, host::Renderer option,
                               const QStringList &arguments, QObject *parent)
    : QObject(parent)
    , m_marksFile(marksFile)
    , m_option(option)
{
    // A restart names its game in the environment, so that a store that
    // cannot be written does not send the player round in circles.
    const QByteArray restarted = qgetenv(restartVariableName);
    qunsetenv(restartVariableName);
    m_game = host::sourceFromArguments(arguments);
    const bool needsWebGl = !m_game.isEmpty()
        && (markOf(m_game) == Mark::WebGL || (!restarted.isEmpty() && restarted == keyOf(m_game)));
    m_drawing = host::drawingFor(option, needsWebGl);
    // The launcher beside the player holds the stop signals back while the
    // libraries load; without it, the player itself. Known now: the
    // application object is gone by the time of a restart.
    const QString launcher = QCoreApplication::applicationDirPath() + QLatin1String("/vorlumen");
    m_program = QFileInfo(launcher).isFile() && QFileInfo(launcher).isExecutable()
        ? launcher
        : QCoreApplication::applicationFilePath();
}

const char *RendererChoice::restartVariable()
{
    return restartVariableName;
}

// Local games by the bytes of their absolute path, internet games by their
// address; percent-encoded, so that any name fits on one line.
QByteArray RendererChoice::keyOf(const QString &game)
{
    const QString trimmed = game.trimmed();
    const QByteArray bytes = isInternetAddress(trimmed)
        ? trimmed.toUtf8()
        : QFile::encodeName(QFileInfo(game).absoluteFilePath());
    return bytes.toPercentEncoding();
}

QMap<QByteArray, RendererChoice::Mark> RendererChoice::readMarks() const
{
    QMap<QByteArray, Mark> marks;
    QFile file(m_marksFile);
    if (!file.open(QIODevice::ReadOnly))
        return marks;
    while (!file.atEnd() && marks.size() < mostMarks) {
        const QList<QByteArray> fields = file.readLine(65536).trimmed().split(' ');
        if (fields.size() != 2 || fields[1].isEmpty())
            continue;
        if (fields[0] == markName(Mark::WebGL))
            marks.insert(fields[1], Mark::WebGL);
        else if (fields[0] == markName(Mark::Failed))
            marks.insert(fields[1], Mark::Failed);
    }
    return marks;
}

RendererChoice::Mark RendererChoice::markOf(const QString &game) const
{
    return readMarks().value(keyOf(game), Mark::None);
}

bool RendererChoice::setMark(const QString &game, Mark mark)
{
    QMap<QByteArray, Mark> marks = readMarks();
    const QByteArray key = keyOf(game);
    if (marks.value(key, Mark::None) == mark)
        return true;
    if (mark == Mark::None)
        marks.remove(key);
    else if (marks.size() < mostMarks || marks.contains(key))
        marks.insert(key, mark);
    else
        return false;
    QDir().mkpath(QFileInfo(m_marksFile).absolutePath());
    // Whole or not at all: a crash while writing keeps the earlier marks.
    QSaveFile file(m_marksFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (auto it = marks.cbegin(); it != marks.cend(); ++it)
        file.write(markName(it.value()) + ' ' + it.key() + '\n');
    return file.commit();
}

void RendererChoice::setGame(const QString &path)
{
    m_game = path;
    m_failedThisRun = false;
}

QByteArray RendererChoice::pageSettings() const
{
    QByteArray renderer;
    if (m_option == host::Renderer::WebGL
        || (m_option == host::Renderer::Auto && m_drawing == host::Drawing::WebGL
            && !m_game.isEmpty() && markOf(m_game) == Mark::WebGL))
        renderer = "webgl";
    else if (m_option == host::Renderer::Canvas)
        renderer = "canvas";
    return settingsScript(renderer, m_drawing == host::Drawing::WebGL);
}

QByteArray RendererChoice::settingsScript(const QByteArray &renderer, bool hasWebGl)
{
    return "var playerRenderer = \"" + renderer
        + "\";\nvar playerHasWebGl = " + (hasWebGl ? "true" : "false") + ";\n";
}

void RendererChoice::gameNeedsWebGl()
{
    if (m_option != host::Renderer::Auto || m_game.isEmpty() || restartPending())
        return;
    const Mark mark = markOf(m_game);
    if (mark == Mark::Failed) {
        std::fprintf(stderr, "vorlumen: the game stays on canvas: WebGL failed under it before\n");
        return;
    }
    if (!setMark(m_game, Mark::WebGL))
        std::fprintf(stderr, "vorlumen: cannot remember that the game needs WebGL (%s)\n",
                     qPrintable(m_marksFile));
    // With WebGL at hand the page moved the game itself.
    if (m_drawing == host::Drawing::WebGL)
        return;
    std::fprintf(stderr, "vorlumen: the game needs WebGL; starting the player again with it\n");
    m_restartGame = m_game;
    emit restartRequested();
}

void RendererChoice::webGlFailed()
{
    m_failedThisRun = true;
    if (!m_game.isEmpty() && m_option != host::Renderer::Canvas)
        setMark(m_game, Mark::Failed);
}

void RendererChoice::webGlPlayed()
{
    if (!m_failedThisRun && !m_game.isEmpty() && markOf(m_game) == Mark::Failed)
        setMark(m_game, Mark::None);
}

RendererChoice::Restart RendererChoice::restartRequest() const
{
    const QByteArray game = isInternetAddress(m_restartGame) ? m_restartGame.toUtf8()
                                                             : QFile::encodeName(m_restartGame);
    return {QFile::encodeName(m_program), game, keyOf(m_restartGame)};
}

void RendererChoice::startAgain(const Restart &restart, char *argv[])
{
#ifdef Q_OS_UNIX
    std::vector<QByteArray> kept;
    for (int i = 1; argv[i]; ++i)
        kept.emplace_back(argv[i]);
    // The game last shown, which may be one picked in the drawer; a later
    // option wins over an earlier one.
    kept.push_back("-source:" + restart.game);
    std::vector<char *> arguments {const_cast<char *>(restart.program.constData())};
    for (QByteArray &argument : kept)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    qputenv(restartVariableName, restart.key);
    // A stop in the moment of the change waits for the new player's
    // handlers; the shutdown deadline's thread ends with this image.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGHUP);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    std::fflush(nullptr);
    ::execv(restart.program.constData(), arguments.data());
    sigprocmask(SIG_UNBLOCK, &stops, nullptr);
    std::perror("vorlumen: cannot start again with WebGL");
#else
    Q_UNUSED(restart);
    Q_UNUSED(argv);
#endif
}
