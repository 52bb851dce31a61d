"""Shared by bench/startup and bench/memory: runs one SWF either in the real
player under a private Xvfb or in Debian's headless Chromium with the same
game page and the same Ruffle (the build's flash/ folder), and watches the
page's console through each engine's own log on stderr.

Both engines stamp every log line with the wall clock, so an event's time
comes from the engine itself, not from when this script got round to reading
the line."""

import csv
import datetime
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.parse
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from player import (BUILD_DIR, CORPUS_DIR, SCREEN, SIZE_REPORT_PREFIX, SOURCE_DIR, Player,  # noqa: E402
                    Xvfb, process_tree)

os.environ["VORLUMEN_BUILD_DIR"] = str(BUILD_DIR)

CHROMIUM = shutil.which("chromium")
# Console messages reach each engine's log on stderr; a proxy on a closed
# loopback port keeps a movie's internet requests on this machine.
ENGINE_FLAGS = ["--enable-logging=stderr", "--v=0", "--proxy-server=127.0.0.1:9"]
SIZE_REPORT = SIZE_REPORT_PREFIX.strip()
RUFFLE_LOADING = "Loading SWF file"
FIRST_FRAME = "Vorlumen: first frame drawn"
# The three corpus movies that the comparisons use beside the demo game:
# an AVM1 maze game, an AVM2 physics demo and an AVM2 racing game.
CORPUS_GAMES = ("shumway.examples.maze.swf", "shumway.examples.Box2DFlashAS3.demo.swf",
                "shumway.examples.racing.race.swf")


def games():
    demo = BUILD_DIR / "demo" / "demo.swf"
    found = [demo] + [CORPUS_DIR / "files" / name for name in CORPUS_GAMES]
    missing = [str(g) for g in found if not g.exists()]
    if missing:
        sys.exit("bench: missing %s (build first; VORLUMEN_CORPUS_DIR names the corpus)" % ", ".join(missing))
    return found


def natural_size(swf):
    """The stage size from the corpus manifest; the demo is 400x300."""
    with open(CORPUS_DIR / "MANIFEST.tsv", newline="", encoding="utf-8") as manifest:
        for row in csv.DictReader(manifest, delimiter="\t", quoting=csv.QUOTE_NONE):
            if Path(row["file"]).name == swf.name:
                return row["width_px"], row["height_px"]
    return "400", "300"


def log_time(line):
    """Wall-clock time of a Chromium log line "[pid:tid:MMDD/HHMMSS.micro:...".
    """
    stamp = line.split(":", 3)[2]
    now = datetime.datetime.now()
    moment = datetime.datetime.strptime("%d%s" % (now.year, stamp), "%Y%m%d/%H%M%S.%f")
    return moment.timestamp()


def first_event(log_path, text):
    """Time of the first console line holding text, or None."""
    try:
        with open(log_path, errors="replace") as log:
            for line in log:
                if text in line and "CONSOLE" in line and line.startswith("["):
                    return log_time(line)
    except OSError:
        pass
    return None


def wait_for_event(log_path, text, alive, timeout=90):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        moment = first_event(log_path, text)
        if moment is not None:
            return moment
        if not alive():
            return None
        time.sleep(0.05)
    return None


class PlayerRun:
    """The real player on one SWF, in a home folder of its own."""

    name = "vorlumen"

    def __init__(self, display, swf):
        self.display = display
        self.swf = swf
        self.home = Path(tempfile.mkdtemp(prefix="vorlumen-bench-"))
        self.player = Player(display, self.home, ["-source:" + str(swf), "-nodatetime"],
                             env={"QTWEBENGINE_CHROMIUM_FLAGS": " ".join(ENGINE_FLAGS)})
        self.log_path = self.home / "player.log"
        self.started = None

    def start(self):
        self.started = time.time()
        # Player.start waits for the window; the events are read from the log.
        self.player.start()
        return self

    @property
    def pid(self):
        return self.player.process.pid

    def alive(self):
        return self.player.running()

    def stop(self):
        try:
            self.player.terminate(timeout=20)
        except subprocess.TimeoutExpired:
            self.player.kill()
        shutil.rmtree(self.home, ignore_errors=True)


class BrowserRun:
    """Headless Chromium on the same game page, with an empty profile."""

    name = "chromium"

    def __init__(self, display, swf):
        self.swf = swf
        self.home = Path(tempfile.mkdtemp(prefix="vorlumen-bench-browser-"))
        self.log_path = self.home / "browser.log"
        self.process = None
        self.started = None

    def page_address(self):
        width, height = natural_size(self.swf)
        jeu = urllib.parse.quote(str(self.swf), safe="/") + "=" + width + "=" + height
        return (BUILD_DIR / "flash" / "flash.html").as_uri() + "?jeu=" + jeu

    def start(self):
        if not CHROMIUM:
            sys.exit("bench: chromium is missing: run scripts/deps --bench")
        (self.home / "profile").mkdir()
        arguments = [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--user-data-dir=" + str(self.home / "profile"),
                     # Headless Chromium settles on a view 143 px shorter
                     # than its window: this gives the page the player's
                     # 1280x720 once loaded (776 px high at the first report).
                     "--screen-info={%dx%d}" % (SCREEN[0], SCREEN[1] + 280),
                     "--window-size=%d,%d" % (SCREEN[0], SCREEN[1] + 143),
                     "--allow-file-access-from-files", "--autoplay-policy=no-user-gesture-required",
                     *ENGINE_FLAGS, self.page_address()]
        env = dict(os.environ, HOME=str(self.home), XDG_CONFIG_HOME=str(self.home / ".config"),
                   XDG_CACHE_HOME=str(self.home / ".cache"), XDG_DATA_HOME=str(self.home / ".local/share"))
        env.pop("DISPLAY", None)
        self.log = open(self.log_path, "w")
        self.started = time.time()
        self.process = subprocess.Popen(arguments, stdout=self.log, stderr=subprocess.STDOUT, env=env,
                                        stdin=subprocess.DEVNULL)
        return self

    @property
    def pid(self):
        return self.process.pid

    def alive(self):
        return self.process.poll() is None

    def stop(self):
        if self.alive():
            self.process.terminate()
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)
        self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)


def pss_kib(pid):
    try:
        for line in (Path("/proc") / str(pid) / "smaps_rollup").read_text().splitlines():
            if line.startswith("Pss:"):
                return int(line.split()[1])
    except OSError:
        pass
    return 0


def tree_pss_kib(root_pid):
    pids = process_tree(root_pid)
    return sum(pss_kib(pid) for pid in pids), len(pids)


TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pids):
    """utime + stime of the processes, in seconds."""
    total = 0
    for pid in pids:
        try:
            fields = (Path("/proc") / str(pid) / "stat").read_text().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except (OSError, IndexError, ValueError):
            pass
    return total / TICKS


def median(values):
    return statistics.median(values) if values else float("nan")


def machine_line():
    model = "unknown CPU"
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
        mem_kib = int(Path("/proc/meminfo").read_text().split()[1])
    except (OSError, ValueError, IndexError):
        mem_kib = 0
    load = os.getloadavg()
    return "%s; %d cores; %.1f GiB RAM; load average %.1f %.1f %.1f; %s" % (
        model, os.cpu_count(), mem_kib / 1048576, *load, time.strftime("%Y-%m-%d %H:%M"))


def start_display():
    return Xvfb().start()
