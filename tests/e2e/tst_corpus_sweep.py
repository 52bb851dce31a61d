"""Plays every watchable movie of the SWF corpus (the files whose `content`
is `example`: games, demos, animations) in the real player, one after the
other under one private X server, each with its own home folder.

Every movie must leave the player running and stopping cleanly on SIGTERM.
It must also draw something within DRAW_SECONDS of Ruffle starting to load
it, unless docs/compatibility.md lists it as content the engine cannot play
yet; those only have to fail gracefully. A screenshot of each movie is kept
under <build>/e2e-shots/corpus/.

Environment: VORLUMEN_BUILD_DIR, VORLUMEN_CORPUS_DIR; VORLUMEN_SWEEP_ONLY=a,b
plays only the files whose name contains one of the words;
VORLUMEN_SWEEP_ARGS="-renderer:webgl" adds player options (the screenshots
then go to corpus-renderer-webgl/)."""

import csv
import os
import re
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from player import (CORPUS_DIR, frame_value, SHOTS_DIR, SIZE_REPORT_PREFIX, SOURCE_DIR, Player, Xvfb, grab_screen,  # noqa: E402
                    new_home, remove_home, save_png, wait_until)

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 720
COMPATIBILITY_DOC = SOURCE_DIR / "docs" / "compatibility.md"
EXTRA_ARGS = os.environ.get("VORLUMEN_SWEEP_ARGS", "").split()
CORPUS_SHOTS = SHOTS_DIR / "-".join(["corpus"] + [re.sub(r"[^a-z0-9]+", "-", a.lower()).strip("-")
                                                  for a in EXTRA_ARGS])
# Ruffle starts inside the page; on a loaded 2-core machine that alone can
# take many seconds, which bench/startup measures. Drawing is timed from the
# moment Ruffle starts loading the movie.
ENGINE_START_SECONDS = 60
DRAW_SECONDS = 10
# Long enough for a movie to run its first frames and scripts after drawing.
MIN_PLAY_SECONDS = 2
# A movie that drew nothing is still watched this long from the start, for a
# crash that follows a failure; one that drew has shown it plays.
MIN_ALIVE_SECONDS = 5
STOP_SECONDS = 10
# The page logs to the console, and with these flags so does the web engine
# (to the player's stderr, which the Player class keeps in player.log). Some
# movies call home or stream from the internet: a proxy on a closed loopback
# port keeps every such request on this machine.
ENGINE_FLAGS = "--enable-logging=stderr --v=0 --proxy-server=127.0.0.1:9"

CONSOLE_LINE = re.compile(r'^\[[^\]]*:CONSOLE\(\d+\)\] "(.*?)", source: [^\n]*$', re.DOTALL | re.MULTILINE)
SIZE_REPORT = re.compile(re.escape(SIZE_REPORT_PREFIX) + r"(\d+)x(\d+)")
# Ruffle styles its log lines for a browser console: "%cLEVEL%c where%c text css".
RUFFLE_STYLED = re.compile(r"^%c(\w+)%c (\S+)%c (.*?)(?:\s+color: [^%]*)?$", re.DOTALL)
RUFFLE_LOADING = "Loading SWF file"
# Ruffle errors that are no failure of the movie: a fall back from WebGL to
# canvas on a machine without a GPU, the canvas instance's last tick when a
# movie moves to WebGL, and a movie calling home (statistics), which the
# proxy below refuses.
NOT_A_FAILURE = re.compile(r"Error creating (wgpu webgl|WebGL) renderer"
                           r"|Unable to borrow Ruffle instance"
                           r"|Error during movie loading of \"https?://")
# With no option, a movie that needs WebGL starts again on it; what Ruffle
# said before belongs to the canvas start.
WEBGL_RESTART = "Vorlumen: the game needs WebGL"
GAME_FAILURE_PREFIX = frame_value("GAME_FAILURE_PREFIX")
GAME_STOPPED_PREFIX = frame_value("GAME_STOPPED_PREFIX")
FAILURE_MARKERS = ("panicked at", GAME_FAILURE_PREFIX, GAME_STOPPED_PREFIX, "Ruffle is missing")


def example_movies_all():
    with open(CORPUS_DIR / "MANIFEST.tsv", newline="", encoding="utf-8") as manifest:
        rows = list(csv.DictReader(manifest, delimiter="\t", quoting=csv.QUOTE_NONE))
    return [CORPUS_DIR / row["file"] for row in rows if row["content"] == "example"]


def example_movies():
    only = [word for word in os.environ.get("VORLUMEN_SWEEP_ONLY", "").split(",") if word]
    return [m for m in example_movies_all() if not only or any(word in m.name for word in only)]


def listed_as_unplayable():
    """File names in the table under the "Cannot play yet" heading."""
    names = set()
    inside = False
    for line in COMPATIBILITY_DOC.read_text(encoding="utf-8").splitlines():
        if line.startswith("#"):
            inside = line.lstrip("#").strip().lower().startswith("cannot play yet")
        elif inside:
            match = re.match(r"\|\s*`([^`]+\.swf)`\s*\|", line)
            if match:
                names.add(match.group(1))
    return names


def console_messages(log_text):
    """The page's console messages in order, Ruffle's styling taken off."""
    messages = []
    for raw in CONSOLE_LINE.findall(log_text):
        styled = RUFFLE_STYLED.match(raw)
        messages.append("%s %s: %s" % styled.group(1, 2, 3) if styled else raw)
    return messages


def since_webgl_restart(messages):
    restarts = [i for i, m in enumerate(messages) if WEBGL_RESTART in m]
    return messages[restarts[-1] + 1:] if restarts else messages


def ruffle_failures(messages):
    return [m for m in since_webgl_restart(messages)
            if any(marker in m for marker in FAILURE_MARKERS)
            or (m.startswith("ERROR ") and not NOT_A_FAILURE.search(m))]


# An uncaught error of the movie's own script, in an event handler or a
# frame script ("Error #1009" and the like): Flash went on after one, so does
# Ruffle. Some movies race their own set-up on their first frames (a 3D view
# asked for and not there yet); such a movie fails only if it never draws.
MOVIE_SCRIPT_ERROR = re.compile(r'^ERROR \S+ Error (?:dispatching event "\w+"|running AVM2 frame script): '
                                r'\w*Error: Error #\d+')


def ends_the_movie(messages):
    return any(marker in m for m in ruffle_failures(messages) for marker in FAILURE_MARKERS)


def game_rectangle(messages):
    """The last reported game size, centred in the full-screen view."""
    for message in reversed(messages):
        match = SIZE_REPORT.search(message)
        if match:
            width, height = int(match.group(1)), int(match.group(2))
            return ((SCREEN_WIDTH - width) // 2, (SCREEN_HEIGHT - height) // 2, width, height)
    return None


def drawn_points(image, reference, rectangle, step=6, tolerance=40):
    """Sample points of the game area that are neither the page's black nor
    the player's backdrop. The loading ring in the middle is left out."""
    left, top, width, height = rectangle
    centre_x, centre_y = left + width // 2, top + height // 2
    inset = 4
    differing = total = 0
    for y in range(top + inset, top + height - inset, step):
        for x in range(left + inset, left + width - inset, step):
            if abs(x - centre_x) < 28 and abs(y - centre_y) < 28:
                continue
            total += 1
            colour = image.pixel(x, y)
            if max(colour) <= tolerance:
                continue
            if all(abs(a - b) <= tolerance for a, b in zip(colour, reference.pixel(x, y))):
                continue
            differing += 1
    return differing, total


def has_drawn(image, reference, rectangle):
    differing, total = drawn_points(image, reference, rectangle)
    return total > 0 and differing >= max(6, total // 500)


class Run:
    """What one movie did: its console, whether it drew, and how it ended."""

    def __init__(self):
        self.messages = []
        self.drawn_after = None
        self.loading_after = None
        self.crashed_with = None
        self.exit_code = None
        self.stopped = False
        self.log_tail = ""


class CorpusSweep(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.xvfb = Xvfb().start()
        cls.unplayable = listed_as_unplayable()
        cls.reference = cls.backdrop_reference()

    @classmethod
    def tearDownClass(cls):
        cls.xvfb.stop()

    @classmethod
    def backdrop_reference(cls):
        """The player without a game: its backdrop is not a game's drawing."""
        home = new_home("vorlumen-sweep-")
        player = Player(cls.xvfb.display, home, ["-nodatetime"])
        try:
            player.start()
            ppm = home / "reference.ppm"
            # Taken once the backdrop is whole: drawn (more than a blank
            # window's few colours) and the same on two screenshots in a row.
            shots = [grab_screen(cls.xvfb.display, ppm)]

            def settled():
                shots.append(grab_screen(cls.xvfb.display, ppm))
                return shots[-1].distinct_colours() > 20 and shots[-1].pixels == shots[-2].pixels
            wait_until(settled, 30, "the player's backdrop, drawn and still")
            image = shots[-1]
            save_png(ppm, CORPUS_SHOTS / "no-game.png")
            player.terminate()
            return image
        finally:
            player.kill()
            remove_home(home)

    def test_every_example_movie_plays_or_fails_gracefully(self):
        movies = example_movies()
        self.assertTrue(movies, "no example movie in the corpus manifest")
        unknown = self.unplayable - {movie.name for movie in example_movies_all()}
        self.assertFalse(unknown, "docs/compatibility.md lists files that are no example movie of the corpus")
        for movie in movies:
            with self.subTest(movie=movie.name):
                run = self.play(movie)
                print("\n" + self.describe(movie, run), file=sys.stderr, flush=True)
                self.check(movie, run)

    def play(self, movie):
        home = new_home("vorlumen-sweep-")
        player = Player(self.xvfb.display, home, ["-source:" + str(movie), "-nodatetime"] + EXTRA_ARGS,
                        env={"QTWEBENGINE_CHROMIUM_FLAGS": ENGINE_FLAGS})
        run = Run()
        try:
            player.start()
            started = time.monotonic()
            ppm = home / "shot.ppm"
            self.watch(player, run, started, ppm)
            if player.running():
                grab_screen(player.display, ppm)
            if ppm.exists():
                save_png(ppm, CORPUS_SHOTS / (movie.stem + ".png"))
            if player.running():
                try:
                    run.exit_code = player.terminate(timeout=STOP_SECONDS)
                    run.stopped = True
                except subprocess.TimeoutExpired:
                    run.stopped = False
            else:
                run.crashed_with = player.process.returncode
            run.messages = console_messages(self.read_log(home))
            run.log_tail = self.read_log(home)[-2000:]
            return run
        finally:
            player.kill()
            remove_home(home)

    def watch(self, player, run, started, ppm):
        """Screenshots until the movie draws and has played a little, Ruffle
        gives up, or time runs out; notes a crash on the way."""
        deadline = started + ENGINE_START_SECONDS
        failed = False
        restarted = False
        while time.monotonic() < deadline:
            if not player.running():
                return
            elapsed = time.monotonic() - started
            messages = console_messages(self.read_log(player.home))
            # The player starts again for WebGL: its engine, then Ruffle,
            # are timed afresh, as at the first start.
            if not restarted and any(WEBGL_RESTART in m for m in messages):
                restarted, failed, run.drawn_after, run.loading_after = True, False, None, None
                deadline = time.monotonic() + ENGINE_START_SECONDS
            # Ruffle or the page gave up: a little longer, for a crash that
            # follows. An error of the movie's own scripts ends nothing (Flash
            # went on, so does Ruffle; a movie that needs WebGL may throw some
            # before its first frame ends and the move to WebGL comes): the
            # movie is judged by whether it draws.
            if not failed and ends_the_movie(messages):
                failed = True
                if run.drawn_after is None:
                    deadline = min(deadline, time.monotonic() + MIN_PLAY_SECONDS)
            if run.loading_after is None and any(RUFFLE_LOADING in m for m in since_webgl_restart(messages)):
                run.loading_after = elapsed
                deadline = min(deadline, time.monotonic() + DRAW_SECONDS)
            # Nothing to see before Ruffle loads the movie: screenshots then
            # would only slow its start.
            rectangle = game_rectangle(messages)
            if run.loading_after is not None and run.drawn_after is None and rectangle:
                if has_drawn(grab_screen(player.display, ppm), self.reference, rectangle):
                    run.drawn_after = elapsed
                    deadline = time.monotonic() + MIN_PLAY_SECONDS
            time.sleep(0.2)
        # Alive for a few seconds whatever happened.
        while run.drawn_after is None and time.monotonic() < started + MIN_ALIVE_SECONDS and player.running():
            time.sleep(0.2)

    @staticmethod
    def read_log(home):
        try:
            return (home / "player.log").read_text(errors="replace")
        except OSError:
            return ""

    def describe(self, movie, run):
        failures = ruffle_failures(run.messages)
        state = "drew after %.1f s" % run.drawn_after if run.drawn_after is not None else "drew nothing"
        loading = "%.1f s" % run.loading_after if run.loading_after is not None else "never"
        ending = ("crashed (%s)" % run.crashed_with if run.crashed_with is not None
                  else "exit %s" % run.exit_code if run.stopped else "did not stop")
        used = [m.split("Used renderer: ", 1)[1].split(")")[0] for m in run.messages if "Used renderer: " in m]
        line = "%-70s Ruffle loading at %-6s %-20s %-12s %s" % (movie.name, loading, state,
                                                               used[-1] if used else "?", ending)
        if failures:
            line += "\n    Ruffle: " + failures[0].splitlines()[0][:300]
        return line

    def check(self, movie, run):
        log = "\n--- player log (end) ---\n" + run.log_tail
        self.assertIsNone(run.crashed_with, "the player died while playing %s%s" % (movie.name, log))
        self.assertTrue(run.stopped, "the player did not stop on SIGTERM with %s%s" % (movie.name, log))
        # A movie Ruffle cannot start is a bad source: status 2, as for a bad file.
        refused = any(m.startswith(GAME_FAILURE_PREFIX) for m in run.messages)
        self.assertEqual(run.exit_code, 2 if refused else 0, "the player stopped badly after %s%s" % (movie.name, log))
        failures = ruffle_failures(run.messages)
        if run.drawn_after is not None:
            failures = [m for m in failures if not MOVIE_SCRIPT_ERROR.match(m)]
        if movie.name in self.unplayable:
            if not failures and run.drawn_after is not None:
                print("note: %s now plays; docs/compatibility.md can drop it" % movie.name, file=sys.stderr)
            return
        self.assertFalse(failures, "Ruffle failed on %s; list it in docs/compatibility.md if it cannot play yet:\n%s"
                         % (movie.name, "\n".join(failures)))
        self.assertIsNotNone(run.loading_after, "Ruffle never started loading %s%s" % (movie.name, log))
        self.assertIsNotNone(run.drawn_after, "%s drew nothing within %d s%s" % (movie.name, DRAW_SECONDS, log))


if __name__ == "__main__":
    unittest.main(verbosity=2)
