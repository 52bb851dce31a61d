"""The Debian package made by scripts/package, unpacked into a temporary root
(the installed layout, moved elsewhere), and the front-end recipes of
docs/frontends.md run against it with an awkward game path, each the way its
front-end runs it."""

import gzip
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from player import (BUILD_DIR, SOURCE_DIR, Player, Xvfb, make_swf, new_home, reddish, remove_home, run,  # noqa: E402
                    wait_until)

FRONTENDS_DOC = SOURCE_DIR / "docs" / "frontends.md"
CENTRE = (640, 360)
# The demo's night-blue field, where the player's backdrop shows its logo.
DEMO_FIELD = (16, 21, 34)
# A game path with everything a shell, a splitter or a URL could trip on.
AWKWARD_FOLDER = "Jeux d'été \"Best\" $HOME `id` & more #1 100%"
AWKWARD_FILE = "-Île Ω & $x.swf"
# The characters a shell treats specially, as a shell-running front-end
# escapes them in the path it substitutes.
SHELL_SPECIAL = set(" \t\n\\'\"!$^&*(){}[]?;<>|`#~=")
DEVELOPMENT_TOOLS = {"gcc", "g++", "cmake", "make", "nodejs", "npm", "pkg-config"}

workdir = None
deb = None
root = None
xvfb = Xvfb()


def setUpModule():
    global workdir, deb, root
    workdir = Path(tempfile.mkdtemp(prefix="vorlumen-package-"))
    made = subprocess.run([str(SOURCE_DIR / "scripts" / "package"), "--no-build", str(workdir)],
                          env={**os.environ, "VORLUMEN_BUILD_DIR": str(BUILD_DIR)},
                          capture_output=True, text=True)
    if made.returncode != 0:
        raise RuntimeError("scripts/package failed:\n" + made.stdout + made.stderr)
    deb = Path(made.stdout.strip().splitlines()[-1])
    root = workdir / "root"
    run("dpkg-deb", "-x", deb, root)
    xvfb.start()


def tearDownModule():
    xvfb.stop()
    shutil.rmtree(workdir, ignore_errors=True)


def installed(*parts):
    return root.joinpath("usr", *parts)


def tree_state(folder):
    """Every path below folder with its size and modification time."""
    state = {}
    for path in sorted(folder.rglob("*")):
        info = path.lstat()
        state[str(path)] = (info.st_size, info.st_mtime_ns)
    return state


def player_environment():
    """The unpacked package's vorlumen first on the PATH, as if installed."""
    return {"PATH": str(installed("bin")) + os.pathsep + os.environ["PATH"]}


def window_process(player):
    return int(player.xdotool("getwindowpid", player.window).strip())


def process_ended(pid):
    try:
        return Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()[0] == "Z"
    except OSError:
        return True


class Package(unittest.TestCase):
    def test_depends_names_runtime_packages_only(self):
        depends = re.search(r"^ Depends: (.*)$", run("dpkg-deb", "-I", deb).stdout, re.MULTILINE).group(1)
        names = {re.match(r"\s*([a-z0-9][a-z0-9.+-]*)", alternative).group(1)
                 for clause in depends.split(",") for alternative in clause.split("|")}
        self.assertFalse({n for n in names if n.endswith("-dev")}, depends)
        self.assertFalse(names & DEVELOPMENT_TOOLS, depends)
        # Found by dpkg-shlibdeps from what the player links.
        self.assertIn("libqt5webengine5", names)

    def test_debian_and_desktop_checkers_accept_it(self):
        checks = [
            ("lintian", ["lintian", "--fail-on", "error", str(deb)]),
            ("appstreamcli", ["appstreamcli", "validate", "--no-net",
                              *map(str, installed("share", "metainfo").glob("*.metainfo.xml"))]),
            ("desktop-file-validate", ["desktop-file-validate",
                                       str(installed("share", "applications", "vorlumen.desktop"))]),
        ]
        for tool, command in checks:
            with self.subTest(tool=tool):
                if shutil.which(tool) is None:
                    self.skipTest("%s is not installed" % tool)
                result = subprocess.run(command, capture_output=True, text=True, timeout=300)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_manual_page_lists_what_help_prints(self):
        home = new_home()
        try:
            player = Player(xvfb.display, home, ["-help"], env=player_environment(),
                            command=[installed("bin", "vorlumen"), "-help"]).start()
            player.wait_for_log("> -help", timeout=20)
            printed = player.log_text()
            self.assertEqual(player.terminate(), 0)
        finally:
            remove_home(home)
        help_options = re.findall(r"^> (\S+(?:, \S+)*) - (.*)$", printed, re.MULTILINE)
        page = gzip.decompress(installed("share", "man", "man1", "vorlumen.1.gz").read_bytes()).decode()
        options = page.split(".SH OPTIONS\n", 1)[1].split("\n.SH ", 1)[0]
        unroff = lambda text: text.replace("\\-", "-").replace("\\e", "\\").replace("\\&", "")  # noqa: E731
        page_options = [(unroff(name), unroff(text))
                        for name, text in re.findall(r"^\.TP\n\.B (.*)\n(.*)$", options, re.MULTILINE)]
        self.assertGreater(len(help_options), 10, printed)
        self.assertEqual(page_options, help_options)


# How each front-end of docs/frontends.md turns its line into a process.

def doc_text():
    return FRONTENDS_DOC.read_text(encoding="utf-8")


def doc_line(pattern):
    match = re.search(pattern, doc_text(), re.MULTILINE)
    assert match, "docs/frontends.md has no line matching " + pattern
    return match.group(1).strip()


def split_with_double_quotes(line):
    """Blanks separate arguments, double quotes group and go; no shell."""
    arguments, current, quoted, started = [], "", False, False
    for character in line:
        if character == '"':
            quoted, started = not quoted, True
        elif character.isspace() and not quoted:
            if started:
                arguments.append(current)
            current, started = "", False
        else:
            current, started = current + character, True
    if started:
        arguments.append(current)
    return arguments


def backslashed(path):
    return "".join("\\" + c if c in SHELL_SPECIAL else c for c in path)


def launcher_script(home, game):
    """The launcher script of the doc, saved where the doc says, for one game."""
    text = re.search(r"```sh\n(#!/bin/sh\n.*?)```", doc_text(), re.DOTALL).group(1)
    text, count = re.subn(r"^GAME=.*$", lambda _: "GAME=" + shlex.quote(str(game)), text, flags=re.MULTILINE)
    assert count == 1, "the launcher script names no GAME"
    script = home / ".local" / "bin" / "vorlumen-cabinet"
    script.parent.mkdir(parents=True, exist_ok=True)
    script.write_text(text)
    script.chmod(0o755)
    return script


def emulationstation(home, game):
    command = doc_line(r"<command>(.*)</command>")
    return ["sh", "-c", command.replace("%ROM%", backslashed(str(game)))]


def pegasus(home, game):
    return split_with_double_quotes(doc_line(r"^launch: (.*)$").replace("{file.path}", str(game)))


def attract_mode(home, game):
    executable = doc_line(r"^executable\s+(.*)$")
    args = doc_line(r"^args\s+(.*)$").replace("[romfilename]", str(game))
    return [executable] + split_with_double_quotes(args)


def launcher(home, game):
    return [launcher_script(home, game)]


def systemd_service(home, game):
    launcher_script(home, game)
    line = doc_line(r"^ExecStart=(.*)$")
    # The unit holds no path of its own: %h is the only specifier, and
    # nothing is left for systemd's quoting or variables.
    line = line.replace("%h", str(home))
    assert not set(line) & set("%$\"'\\"), line
    return line.split()


def desktop_entry(home, game):
    return ["gio", "launch", installed("share", "applications", "vorlumen.desktop"), game]


class Recipes(unittest.TestCase):
    def setUp(self):
        self.games = new_home("vorlumen-games-")

    def tearDown(self):
        remove_home(self.games)

    def play(self, home, command, shows):
        """Starts the command, waits for the game, stops the player and
        returns what started it."""
        player = Player(xvfb.display, home, env=player_environment(), command=command)
        try:
            player.start()
            pid = window_process(player)
            self.assertEqual(os.readlink("/proc/%d/exe" % pid), str(installed("lib", "vorlumen", "vorlumen-player")))
            image = player.wait_for_screen("package_" + home.name, lambda im: shows(im), timeout=40)
            self.assertTrue(shows(image), "the game never showed")
            os.kill(pid, signal.SIGTERM)
            wait_until(lambda: process_ended(pid), 20, "the player's stop")
            # What started it ends with the player's own status.
            self.assertEqual(player.wait(20), 0, player.log_text())
        finally:
            player.kill()
            if player.process and not player.log.closed:
                player.log.close()
        return player

    def test_each_frontend_plays_an_awkward_path(self):
        before = tree_state(root)
        demo = BUILD_DIR / "demo" / "demo.swf"
        awkward = make_swf(self.games / AWKWARD_FOLDER / AWKWARD_FILE,
                           "--colors", "--width", "400", "--height", "300")
        # Front-ends that split at double quotes cannot pass one in a name.
        no_double_quote = make_swf(self.games / AWKWARD_FOLDER.replace('"', "") / AWKWARD_FILE,
                                   "--colors", "--width", "400", "--height", "300")
        demo_shows = lambda im: im.close_to(*CENTRE, DEMO_FIELD, 12)  # noqa: E731
        game_shows = lambda im: reddish(im, *CENTRE)  # noqa: E731
        table = [
            ("installed command, the demo", lambda home, game: ["vorlumen", "-source:" + str(game)],
             demo, demo_shows),
            ("EmulationStation-style", emulationstation, awkward, game_shows),
            ("Pegasus-style", pegasus, no_double_quote, game_shows),
            ("Attract-Mode-style", attract_mode, no_double_quote, game_shows),
            ("launcher script", launcher, awkward, game_shows),
            ("systemd user service", systemd_service, awkward, game_shows),
            ("desktop entry, Open with", desktop_entry, awkward, game_shows),
        ]
        for name, expand, game, shows in table:
            with self.subTest(frontend=name):
                if name.startswith("desktop") and shutil.which("gio") is None:
                    self.skipTest("gio is not installed")
                home = new_home()
                try:
                    self.play(home, expand(home, game), shows)
                finally:
                    remove_home(home)
        # Nothing was written below /usr while the player ran.
        self.assertEqual(tree_state(root), before)


if __name__ == "__main__":
    unittest.main(verbosity=2)
