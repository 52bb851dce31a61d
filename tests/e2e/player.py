"""Drives the real player under Xvfb the way a person or a front-end does:
key presses and clicks through the X server, screenshots of the screen, the
files it writes and its exit status. Standard library only.

Tests wait for what they mean, never for a fixed time: wait_until (any
condition), Player.wait_for_screen (a screenshot) and Player.wait_for_log (a
line on the player's stdout or stderr) fail with what never came. A fixed
sleep is left only where the claim is that nothing happens, or where the
time itself is the case (a stop sent N ms after the start), and says so."""

import json
import os
import re
import shutil
import signal
import sqlite3
import subprocess
import tempfile
import time
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parents[2]
BUILD_DIR = Path(os.environ.get("VORLUMEN_BUILD_DIR", SOURCE_DIR / "build")).resolve()
CORPUS_DIR = Path(os.environ.get("VORLUMEN_CORPUS_DIR", SOURCE_DIR.parent / "shared" / "swf-corpus"))
SHOTS_DIR = BUILD_DIR / "e2e-shots"
SCREEN = (1280, 720)
PLAYER = BUILD_DIR / "vorlumen"
MAKESWF = BUILD_DIR / "tools" / "makeswf"


def frame_value(name):
    """A value that page/frame.js declares for the page and the window."""
    text = (SOURCE_DIR / "page" / "frame.js").read_text()
    return json.loads(re.search(r"^var %s = (.*);$" % name, text, re.M).group(1))


# The game page's size report (page/gamepage.js; ui/lib/layout.js reads it).
SIZE_REPORT_PREFIX = frame_value("SIZE_REPORT_PREFIX")


def run(*args, check=True, **kwargs):
    return subprocess.run([str(a) for a in args], check=check, capture_output=True, text=True, **kwargs)


def wait_until(condition, timeout, what, poll=0.2):
    """Polls condition() until it gives a true value, and returns that value.
    A wait that runs out fails the test, naming what never came."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("%s: not within %g s" % (what, timeout))
        time.sleep(poll)


def make_swf(path, *options):
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    run(MAKESWF, *options, "-o", path)
    return path


class Xvfb:
    """A private X server. A suite shares one through its module:
        xvfb = Xvfb()
        setUpModule, tearDownModule = xvfb.start, xvfb.stop
    """

    def __init__(self, screen=SCREEN):
        self.display = None
        self.process = None
        self.screen = screen

    def start(self):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % self.screen, "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        self.display = ":" + number
        return self

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait(10)


class Player:
    """One run of the player with its own home folder (settings, saves, pictures).
    A command, when given, is what starts it instead (a shell, a script)."""

    def __init__(self, display, home, args=(), env=None, cwd=None, command=None):
        self.display = display
        self.home = Path(home)
        self.args = [str(a) for a in args]
        self.command = [str(a) for a in command] if command else [str(PLAYER)] + self.args
        self.extra_env = env or {}
        self.cwd = cwd
        self.process = None
        self.window = None

    def environment(self):
        env = dict(os.environ)
        env.update({
            "DISPLAY": self.display,
            "HOME": str(self.home),
            "XDG_DATA_HOME": str(self.home / ".local/share"),
            "XDG_CONFIG_HOME": str(self.home / ".config"),
            "XDG_CACHE_HOME": str(self.home / ".cache"),
            "XDG_RUNTIME_DIR": str(self.home / "runtime"),
            "TMPDIR": str(self.home / "tmp"),
            "QT_LOGGING_TO_CONSOLE": "1",
        })
        if os.getuid() == 0:
            env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        env.update(self.extra_env)
        return env

    def launch(self):
        """Starts the process only, without waiting for its window."""
        for sub in ("runtime", "tmp"):
            (self.home / sub).mkdir(parents=True, exist_ok=True)
        os.chmod(self.home / "runtime", 0o700)
        self.log = open(self.home / "player.log", "a")
        self.process = subprocess.Popen(self.command, env=self.environment(),
                                        stdout=self.log, stderr=subprocess.STDOUT, cwd=self.cwd)
        return self

    def start(self):
        self.launch()
        self.window = self.find_window()
        self.xdotool("windowfocus", "--sync", self.window, check=False)
        return self

    def find_window(self, attempts=3):
        # xdotool's search fails with BadWindow when a window it walks past
        # (Qt's short-lived helper windows) goes away meanwhile: ask again.
        for attempt in range(attempts):
            try:
                return self.xdotool("search", "--sync", "--onlyvisible", "--name", r"Vorlumen \(Tamsrel\)",
                                    timeout=30).split()[0]
            except RuntimeError as error:
                if "BadWindow" not in str(error) or attempt == attempts - 1:
                    raise
        return None

    def xdotool(self, *args, timeout=20, check=True):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env={**os.environ, "DISPLAY": self.display},
                                capture_output=True, text=True, timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError("xdotool %s: %s" % (args, result.stderr))
        return result.stdout

    def key(self, *keys):
        self.xdotool("windowfocus", "--sync", self.window, check=False)
        self.xdotool("key", "--clearmodifiers", *keys)

    def click(self, x, y):
        # Move in two steps: a pointer already resting there sends no motion.
        self.xdotool("mousemove", "--sync", x + 7, y + 7)
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", 1)

    def type_text(self, text):
        self.xdotool("type", "--delay", 20, text)

    def screenshot(self, name, folder=None):
        ppm = self.home / "shot.ppm"
        image = grab_screen(self.display, ppm)
        save_png(ppm, (folder or SHOTS_DIR) / (name + ".png"))
        return image

    def wait_for_screen(self, name, predicate, timeout=20.0):
        """Screenshots until predicate(image) holds and returns that image; a
        wait that runs out fails the test, naming the last screenshot. Only
        the last one is kept as a PNG: converting each would take the
        machine from the player it waits for."""
        ppm = self.home / "shot.ppm"
        png = SHOTS_DIR / (name + ".png")
        deadline = time.monotonic() + timeout
        image = grab_screen(self.display, ppm)
        while not predicate(image):
            if time.monotonic() >= deadline:
                save_png(ppm, png)
                raise AssertionError("the screen %s did not come within %g s; last seen: %s" % (name, timeout, png))
            time.sleep(0.25)
            image = grab_screen(self.display, ppm)
        save_png(ppm, png)
        return image

    def log_text(self):
        if not self.log.closed:
            self.log.flush()
        return (self.home / "player.log").read_text(errors="replace")

    def wait_for_log(self, text, timeout=60):
        """Until the player has written text (stdout and stderr); fails at
        once if the player ends without it."""
        wait_until(lambda: text in self.log_text() or not self.running(), timeout,
                   "the player never wrote %r" % text)
        if text not in self.log_text():
            raise AssertionError("the player ended without writing %r; its log ends:\n%s"
                                 % (text, self.log_text()[-2000:]))

    def log_size(self):
        return (self.home / "player.log").stat().st_size

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=20):
        try:
            return self.process.wait(timeout)
        finally:
            self.log.close()

    def terminate(self, sig=signal.SIGTERM, timeout=20):
        if self.running():
            self.process.send_signal(sig)
        return self.wait(timeout)

    def kill(self):
        if self.process and self.running():
            self.process.kill()
            self.process.wait(10)

    def children(self):
        """Every live descendant process of the player: (pid, argv)."""
        return [(pid, process_argv(pid)) for pid in process_tree(self.process.pid)[1:]]

    # Files the player writes.
    def settings_database(self):
        """The SQLite file behind the settings, or None before the first start."""
        return next(self.home.glob(".local/share/vorlumen/QML/OfflineStorage/Databases/*.sqlite"), None)

    def settings(self):
        """The stored settings rows, or None when there is no store yet."""
        database = self.settings_database()
        if database is None:
            return None
        with sqlite3.connect(str(database)) as db:
            return db.execute("SELECT navigateurLink, bezelActifData, modeEcranData, dateAndTimeData "
                              "FROM config").fetchall()

    def pictures(self):
        folder = self.home / "Pictures"
        return sorted(folder.glob("*.jpg")) if folder.exists() else []


def grab_screen(display, ppm_path):
    """The whole screen as an Image (8-bit PPM written to ppm_path)."""
    subprocess.run(["import", "-display", display, "-window", "root", "-depth", "8", str(ppm_path)],
                   check=True, capture_output=True, timeout=30)
    return Image(ppm_path)


def save_png(ppm_path, png_path):
    """Keeps a screenshot as a PNG artefact."""
    Path(png_path).parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", str(ppm_path), str(png_path)], check=True, capture_output=True, timeout=30)


def process_tree(root_pid):
    """root_pid and every live descendant, from one reading of /proc."""
    children = {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            after_name = (entry / "stat").read_text().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        if after_name[0] != "Z":
            children.setdefault(int(after_name[1]), []).append(int(entry.name))
    tree, frontier = [], [root_pid]
    while frontier:
        pid = frontier.pop()
        tree.append(pid)
        frontier.extend(children.get(pid, []))
    return tree


def processes_with_home(home):
    """Live processes whose environment names this home: a player's leftovers."""
    marker = ("HOME=%s" % home).encode() + b"\0"
    found = []
    for entry in Path("/proc").iterdir():
        try:
            if entry.name.isdigit() and marker in (entry / "environ").read_bytes():
                found.append(int(entry.name))
        except OSError:
            continue
    return found


def parent_pid(pid):
    """A process's parent, or None once it is gone."""
    try:
        return int((Path("/proc") / str(pid) / "stat").read_text().rsplit(")", 1)[1].split()[1])
    except (OSError, IndexError, ValueError):
        return None


def process_argv(pid):
    """A process's arguments, or [] once it is gone."""
    try:
        raw = (Path("/proc") / str(pid) / "cmdline").read_bytes()
    except OSError:
        return []
    return [a.decode(errors="replace") for a in raw.split(b"\0")[:-1]]


class Image:
    """A screenshot as RGB pixels (binary PPM read without any library)."""

    def __init__(self, ppm_path):
        data = Path(ppm_path).read_bytes()
        parts = []
        index = 0
        while len(parts) < 4:
            while data[index:index + 1].isspace():
                index += 1
            if data[index:index + 1] == b"#":
                index = data.index(b"\n", index) + 1
                continue
            end = index
            while not data[end:end + 1].isspace():
                end += 1
            parts.append(data[index:end])
            index = end
        index += 1
        self.width, self.height = int(parts[1]), int(parts[2])
        self.pixels = data[index:]

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])

    def close_to(self, x, y, rgb, tolerance=40):
        return all(abs(a - b) <= tolerance for a, b in zip(self.pixel(x, y), rgb))

    def distinct_colours(self, step=16):
        return len({self.pixel(x, y) for y in range(0, self.height, step) for x in range(0, self.width, step)})


def image_size(path):
    out = run("identify", "-format", "%w %h", path).stdout.split()
    return int(out[0]), int(out[1])


def image_pixel(path, x, y):
    """The RGB colour of one pixel of an image file."""
    out = subprocess.run(["convert", str(path), "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "rgb:-"],
                         check=True, capture_output=True).stdout
    return tuple(out[:3])


def dialog_shown(image):
    """A dialog's dark grey box in the middle of a 1280x720 screen, faded in."""
    return all(image.close_to(x, y, (0x44, 0x44, 0x44), 8) for x, y in ((390, 280), (890, 280), (390, 445)))


def reddish(image, x, y):
    """The test movies' red, also under a screen-emulation overlay."""
    r, g, b = image.pixel(x, y)
    return r > 90 and r > 2 * g and r > 2 * b


def new_home(prefix="vorlumen-e2e-"):
    return Path(tempfile.mkdtemp(prefix=prefix))


def remove_home(home):
    shutil.rmtree(home, ignore_errors=True)
