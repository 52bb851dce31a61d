"""The roads a cabinet owner and a front-end take through the real player,
one test per road, under a private X server at 1280x720."""

import os
import shutil
import signal
import sqlite3
import struct
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "bench"))
import devtools  # noqa: E402
from player import (BUILD_DIR, CORPUS_DIR, Player, Xvfb, dialog_shown, image_pixel, image_size, make_swf,  # noqa: E402
                    new_home, parent_pid, process_argv, process_tree, processes_with_home, reddish,
                    remove_home, wait_until)

BLUE = (0x20, 0x40, 0xC0)
RED = (0xE0, 0x30, 0x20)
GREY_ICON = (128, 128, 128)
CENTRE = (640, 360)
# A 400x300 game on a 1280x720 screen, with room for the bezel (85x90):
# displayed at 840x630, centred.
GAME_LEFT, GAME_TOP, GAME_WIDTH, GAME_HEIGHT = 220, 45, 840, 630
QUIT_YES = (869, 428)
# The address dialog: the header's internet button, then the dialog's field.
INTERNET_BUTTON = (77, 24)
ADDRESS_FIELD, ADDRESS_OPEN = (640, 358), (869, 433)
# The page's console on the player's stderr; requests for the internet stay here.
CONSOLE_FLAGS = "--enable-logging=stderr --v=0 --proxy-server=127.0.0.1:9"
# A failing GPU, as a page sees it: its WebGL context is lost.
LOSE_WEBGL = """(function () {
    var player = document.getElementById("player");
    var canvas = player && player.shadowRoot && player.shadowRoot.querySelector("canvas");
    var gl = canvas && (canvas.getContext("webgl2") || canvas.getContext("webgl"));
    var lose = gl && gl.getExtension("WEBGL_lose_context");
    if (!lose) return false;
    lose.loseContext();
    return true;
})()"""
# Ruffle has read the movie and plays it.
RUFFLE_PLAYING = """(function () {
    var player = document.getElementById("player");
    return !!(player && player.ruffle && player.ruffle().metadata);
})()"""

xvfb = Xvfb()
setUpModule, tearDownModule = xvfb.start, xvfb.stop



def dark(image, x, y):
    return max(image.pixel(x, y)) < 80


def light(image, x, y):
    return min(image.pixel(x, y)) > 180


def region_has(image, x0, y0, x1, y1, rgb, tolerance=30):
    return any(image.close_to(x, y, rgb, tolerance) for y in range(y0, y1) for x in range(x0, x1))


class Road(unittest.TestCase):
    def setUp(self):
        self.home = new_home()
        self.players = []

    def tearDown(self):
        for player in self.players:
            player.kill()
        remove_home(self.home)

    def start(self, *args, home=None, cwd=None, display=None):
        player = Player(display or xvfb.display, home or self.home, args, cwd=cwd)
        self.players.append(player)
        return player.start()

    def colours_game(self, name="Mes Jeux/Île Colorée #1 100%.swf"):
        return make_swf(self.home / name, "--colors", "--width", "400", "--height", "300")

    def wait_for_game(self, player, shot):
        image = player.wait_for_screen(shot, lambda im: reddish(im, *CENTRE), timeout=40)
        self.assertTrue(reddish(image, *CENTRE), "the game never showed")
        return image

    def type_address(self, player, address):
        player.click(*INTERNET_BUTTON)
        player.wait_for_screen("address_dialog", dialog_shown, timeout=10)
        player.click(*ADDRESS_FIELD)
        # Slowly: a busy machine has been seen to drop a quickly typed "/".
        player.xdotool("type", "--delay", 80, address)

    def quit_through_dialog(self, player, shot):
        player.key("Escape")
        player.wait_for_screen(shot, lambda im: not im.close_to(*CENTRE, RED, 10), timeout=10)
        player.click(*QUIT_YES)
        return player.wait(20)


class GameRoad(Road):
    def test_local_game_from_start_to_quit(self):
        game = self.colours_game()
        player = self.start("-source:" + str(game))
        image = self.wait_for_game(player, "road_playing")
        # The size came from the probe, run without any shell on that odd path.
        self.assertEqual((self.home / ".local/share/vorlumen/swf.txt").read_text(), "-X 400 -Y 300\n")
        # Displayed at the largest size that leaves room for the bezel.
        self.assertTrue(image.close_to(GAME_LEFT + 2, 360, BLUE))
        self.assertTrue(image.close_to(GAME_LEFT + GAME_WIDTH - 3, 360, BLUE))
        self.assertTrue(image.close_to(640, GAME_TOP + 2, BLUE))
        self.assertFalse(image.close_to(GAME_LEFT - 20, 360, BLUE))
        # The bezel (reported size + 85 x 90) frames the game: not the page's black.
        self.assertNotEqual(image.pixel(GAME_LEFT - 20, 360), (0, 0, 0))
        self.assertEqual(image.pixel(GAME_LEFT - 80, 360), (0, 0, 0))

        player.key("ctrl+s")
        pictures = wait_until(player.pictures, 10, "the screenshot's picture")
        self.assertEqual([p.name for p in pictures], ["Île Colorée #1 100%.jpg"])
        self.assertEqual(image_size(pictures[0]), (GAME_WIDTH, GAME_HEIGHT))
        # The game's own pixels, without the bezel or the pointer dot.
        for corner in ((2, 2), (GAME_WIDTH - 3, 2), (2, GAME_HEIGHT - 3), (GAME_WIDTH - 3, GAME_HEIGHT - 3)):
            self.assertTrue(all(abs(a - b) < 30 for a, b in zip(image_pixel(pictures[0], *corner), BLUE)))
        self.assertTrue(all(abs(a - b) < 30 for a, b in zip(image_pixel(pictures[0], 420, 315), RED)))
        banner = player.wait_for_screen("road_banner", lambda im: region_has(im, 15, 660, 45, 700, GREY_ICON),
                                        timeout=10)
        self.assertTrue(region_has(banner, 15, 660, 45, 700, GREY_ICON), "no success banner")

        self.assertEqual(self.quit_through_dialog(player, "road_quit_dialog"), 0)
        self.assertEqual(len(player.settings()), 1)

    def test_corpus_game_with_capitals(self):
        source = CORPUS_DIR / "files" / "ruffle.android.src.logo-anim.swf"
        game = self.home / "Arcade Games" / "LOGO ANIM.SWF"
        game.parent.mkdir(parents=True)
        shutil.copy(source, game)
        player = self.start("-source:" + str(game))
        # Its blue stage across the room, corner to corner (the player's
        # backdrop has no such blue: a count of colours compared with it
        # depended on when the backdrop was drawn).
        stage = lambda im: all(im.close_to(x, y, (0x37, 0x52, 0x8C), 20)  # noqa: E731
                               for x, y in ((60, 80), (1220, 80), (60, 640), (1220, 640), (640, 560)))
        player.wait_for_screen("corpus_playing", stage, timeout=40)
        player.key("ctrl+s")
        picture = self.home / "Pictures" / "LOGO ANIM.jpg"
        wait_until(picture.exists, 10, "the screenshot's picture")
        # A 400x200 stage fits the 1195x630 room by its width.
        width, height = image_size(picture)
        self.assertLessEqual(width, 1280 - 85)
        self.assertGreaterEqual(width, 1280 - 85 - 2)
        self.assertAlmostEqual(width / height, 2.0, delta=0.02)
        self.assertEqual(player.terminate(), 0)


    @staticmethod
    def moon_terrain(image):
        """Moon Lander's green 3D terrain in the lower part of its stage
        (without WebGL the stage stays black there)."""
        green = sum(1 for y in range(500, 660, 4) for x in range(150, 1130, 4)
                    if image.pixel(x, y)[1] > 110 and max(image.pixel(x, y)[0], image.pixel(x, y)[2]) < 90)
        return green > 100

    def test_each_game_gets_the_renderer_it_needs(self):
        # With no option: a plain game stays on the cheap canvas renderer,
        # the player drawing in software; one that draws into bitmaps makes
        # the player start again (the same process) with WebGL; WebGL lost
        # mid-game (a failing GPU) leaves it playing on canvas, and the game
        # is no longer sent to WebGL.
        port = devtools.free_port()
        env = {"QTWEBENGINE_CHROMIUM_FLAGS": CONSOLE_FLAGS,
               "QTWEBENGINE_REMOTE_DEBUGGING": "127.0.0.1:%d" % port}
        plain = Player(xvfb.display, self.home, ["-source:" + str(self.colours_game())], env=env)
        self.players.append(plain.start())
        self.wait_for_game(plain, "renderer_plain")
        self.assertIn("Used renderer: canvas", plain.log_text())
        self.assertNotIn("needs WebGL", plain.log_text())
        self.assertEqual(plain.terminate(), 0)

        moon = self.home / "Moon Lander.swf"
        shutil.copy(CORPUS_DIR / "files" / "shumway.examples.moonlander3d.swf", moon)
        first = Player(xvfb.display, self.home, ["-source:" + str(moon)], env=env)
        self.players.append(first.start())
        image = first.wait_for_screen("renderer_moved_to_webgl", self.moon_terrain, timeout=120)
        self.assertTrue(self.moon_terrain(image), "no 3D view")
        self.assertIn("starting the player again with it", first.log_text())
        self.assertEqual(first.log_text().rsplit("Used renderer: ", 1)[1][:10], "wgpu-webgl")
        page = devtools.Page(port)
        try:
            self.assertTrue(page.evaluate(LOSE_WEBGL))
        finally:
            page.close()
        first.wait_for_log("WebGL failed")
        wait_until(lambda: first.log_text().rsplit("Used renderer: ", 1)[1].startswith("canvas"), 30,
                   "the game started again on canvas")
        page = devtools.Page(port)
        try:
            wait_until(lambda: page.evaluate(RUFFLE_PLAYING), 30, "the game playing on canvas")
        finally:
            page.close()
        first.screenshot("renderer_webgl_lost")
        self.assertTrue(first.running())
        self.assertNotIn("could not start", first.log_text())
        self.assertEqual(first.terminate(), 0)

        # The same log file goes on: only what follows is the second run's.
        earlier = len(first.log_text())
        second = Player(xvfb.display, self.home, ["-source:" + str(moon)], env=env)
        self.players.append(second.start())
        second.wait_for_log("stays on canvas", timeout=60)
        self.assertEqual(second.log_text()[earlier:].split("Used renderer: ", 1)[1][:6], "canvas")
        self.assertNotIn("starting the player again", second.log_text()[earlier:])
        self.assertEqual(second.terminate(), 0)


def wait_until_stops_are_held(pid):
    """Until the process has blocked SIGHUP, SIGINT and SIGTERM or caught them
    (polled without pause: the stop is to come as soon as they are)."""
    def held():
        try:
            with open("/proc/%d/status" % pid) as status:
                fields = dict(line.split(":", 1) for line in status)
        except (OSError, ValueError):
            return False
        return any(int(fields[name], 16) & 0x4003 == 0x4003 for name in ("SigBlk", "SigCgt"))
    wait_until(held, 10, "the player holding its stop signals", poll=0)


class FrontEndRoad(Road):
    def test_sigterm_saves_options_for_the_next_start(self):
        game = self.colours_game("game.swf")
        first = self.start("-source:" + str(game), "-nodatetime", "-screentype:scanlines")
        self.wait_for_game(first, "options_first_run")
        # A second stop while the first one closes the player changes nothing.
        first.process.send_signal(signal.SIGTERM)
        time.sleep(0.05)
        self.assertEqual(first.terminate(signal.SIGTERM), 0)
        self.assertEqual(first.settings(), [("file:///" + str(BUILD_DIR).lstrip("/"), 1, 2, 0)])
        second = self.start("-source:" + str(game))
        self.wait_for_game(second, "options_second_run")
        self.assertEqual(second.terminate(signal.SIGINT), 0)
        self.assertEqual(second.settings()[0][2:], (2, 0))
        # A terminal that closes (SIGHUP) is a stop like any other.
        with sqlite3.connect(str(second.settings_database())) as db:
            db.execute("UPDATE config SET modeEcranData = 0")
        third = self.start("-source:" + str(game), "-screentype:scanlines")
        self.wait_for_game(third, "options_third_run")
        self.assertEqual(third.terminate(signal.SIGHUP), 0)
        self.assertEqual(third.settings()[0][2:], (2, 0))

    def test_a_stop_at_any_moment_of_the_start_ends_cleanly(self):
        # However early the stop comes: status 0, no engine process left, and
        # the store either untouched or whole.
        # "first run": as soon as the process has run at all (its stop
        # signals are held back); what comes before that cannot be caught.
        game = self.colours_game("game.swf")
        for delay, stops in (("first run", [signal.SIGTERM]), ("first run", [signal.SIGHUP]),
                             (0.2, [signal.SIGTERM]), (0.2, [signal.SIGHUP]),
                             (0.5, [signal.SIGTERM, signal.SIGTERM]), (1.0, [signal.SIGINT]),
                             (1.0, [signal.SIGTERM])):
            with self.subTest(delay=delay, stops=stops):
                home = new_home()
                try:
                    player = Player(xvfb.display, home, ["-source:" + str(game), "-nodatetime"]).launch()
                    self.players.append(player)
                    if delay == "first run":
                        wait_until_stops_are_held(player.process.pid)
                    else:
                        time.sleep(delay)
                    for stop in stops[:-1]:
                        player.process.send_signal(stop)
                        time.sleep(0.05)
                    self.assertEqual(player.terminate(stops[-1], timeout=20), 0, player.log_text()[-500:])
                    wait_until(lambda: processes_with_home(home) == [], 3, "the end of every engine process")
                    self.assertLessEqual(len(player.settings() or []), 1)
                finally:
                    remove_home(home)

    def test_relative_source_and_names_as_written(self):
        # Option texts inside paths are part of the path; the source is read
        # against the front-end's working folder; the picture is named after
        # the game as written, even a name that is not UTF-8 (the byte FF).
        self.colours_game("Racer-fullscreen/F\udcffo.SWF")
        shots = self.home / "shots-source:1"
        shots.mkdir()
        # An unusable save folder and a profile path that leaves the profiles
        # folder are reported; the game plays all the same.
        (self.home / "a file").write_text("")
        player = self.start("-source:Racer-fullscreen/F\udcffo.SWF", "-picturesfolder:" + str(shots),
                            "-savedataflash:" + str(self.home / "a file"),
                            "-profilantimicro:../../../../etc/passwd", cwd=self.home)
        image = self.wait_for_game(player, "relative_source")
        self.assertTrue(region_has(image, 10, 10, 40, 40, GREY_ICON, 12), "the header was hidden")
        self.assertIn("-savedataflash: ", player.log_text())
        self.assertIn("-profilantimicro: no profile ../../../../etc/passwd inside", player.log_text())
        self.assertFalse([argv for pid, argv in player.children() if "--profile" in argv])
        player.key("ctrl+s")
        wait_until((shots / "F\udcffo.jpg").exists, 10, "the screenshot's picture")
        self.assertEqual(sorted(p.name for p in shots.iterdir()), ["F\udcffo.jpg"])
        self.assertEqual(player.terminate(), 0)

    def bad_game(self, kind):
        if kind == "missing":
            return self.home / "Nowhere" / "gone.swf"
        path = self.home / "bad" / ("game " + kind + ".swf")
        path.parent.mkdir(parents=True, exist_ok=True)
        if kind == "folder":
            path.mkdir()
        elif kind == "device":
            return Path("/dev/zero")
        elif kind == "fifo":
            os.mkfifo(path)
        elif kind == "empty":
            path.write_bytes(b"")
        elif kind == "html":
            path.write_text("<html><body>not a game</body></html>")
        elif kind == "huge":
            # A valid header on 2 GiB that take no room on the disk.
            with open(path, "wb") as file:
                file.write(b"FWS\x0a\x00\x00\x00\x80")
                file.truncate(2 << 30)
        elif kind == "unplayable":
            # A SWF signature on a body Ruffle cannot read.
            path.write_bytes(b"CWS\x0a\x88\x13\x00\x00" + b"not deflate data" * 40)
        return path

    def test_files_that_are_no_game_end_with_status_2(self):
        # Refused before anything reads them (or, for a movie Ruffle cannot
        # play, once Ruffle gives up): the dialog, a reason on standard
        # error, status 2 whether the dialog is closed or the player stopped,
        # and nothing saved (the clock stays on).
        for kind, ending in (("missing", "escape"), ("folder", signal.SIGTERM), ("device", signal.SIGTERM),
                             ("fifo", signal.SIGTERM), ("empty", signal.SIGHUP), ("html", "escape"),
                             ("huge", signal.SIGTERM), ("unplayable", "escape"),
                             ("unplayable", signal.SIGTERM)):
            with self.subTest(kind=kind):
                home = new_home()
                try:
                    player = self.start("-source:" + str(self.bad_game(kind)), "-nodatetime", home=home)
                    if kind == "unplayable":
                        player.wait_for_log("Invalid SWF")
                    player.wait_for_screen("bad_game_" + kind, dialog_shown, timeout=15)
                    self.assertTrue(player.running())
                    started = time.monotonic()
                    if ending == "escape":
                        player.key("Escape")
                        self.assertEqual(player.wait(15), 2)
                    else:
                        self.assertEqual(player.terminate(ending, timeout=15), 2)
                    self.assertLess(time.monotonic() - started, 10)
                    self.assertEqual(player.settings()[0][3], 1)
                    self.assertIn("vorlumen: ", player.log_text())
                    self.assertLess(player.log_size(), 20000)
                finally:
                    remove_home(home)

    def test_a_game_that_fails_mid_play_says_so_and_quits(self):
        # Each plays red for three seconds, then either recurses past the
        # engine's stack (Ruffle's recursion limit lifted: an uncaught
        # error, Ruffle's core left locked) or loops without end (Ruffle
        # stops the script after its 15 s and runs no more of the movie).
        # Not a start failure: the reason on stderr and on screen, no loop of
        # failing frames, the settings kept, and closing the message ends the
        # player as a quit does.
        for option in ("--fail-after", "--hang-after"):
            with self.subTest(option=option):
                home = new_home()
                try:
                    game = make_swf(home / "stops.swf", "--width", "400", "--height", "300",
                                    "--background", "E03020", option, "72")
                    player = Player(xvfb.display, home, ["-source:" + str(game), "-nodatetime"],
                                    env={"QTWEBENGINE_CHROMIUM_FLAGS": CONSOLE_FLAGS})
                    self.players.append(player)
                    player.start()
                    self.wait_for_game(player, "mid_play" + option)
                    player.wait_for_log("vorlumen: %s: " % game)
                    player.wait_for_screen("mid_play_message" + option, lambda im: not reddish(im, *CENTRE))
                    locked = player.log_text().count("Unable to lock Ruffle core")
                    # No event says that no loop came: a loop of failing
                    # frames would write dozens of lines in this time.
                    time.sleep(1.5)
                    self.assertLess(player.log_text().count("Unable to lock Ruffle core"), locked + 5)
                    self.assertNotIn("could not start", player.log_text())
                    player.key("Escape")
                    self.assertEqual(player.wait(15), 0)
                    self.assertEqual(player.settings()[0][3], 0)
                finally:
                    remove_home(home)

    def test_a_game_without_a_size_keeps_the_log_small(self):
        game = make_swf(self.home / "zero.swf", "--width", "0", "--height", "0")
        player = self.start("-source:" + str(game))
        # Played at the room's size: its white stage on the page's black.
        player.wait_for_screen("zero_size_game", lambda im: light(im, *CENTRE) and dark(im, 20, 360), timeout=40)
        # Nothing marks a flood that does not come: it would fill the log
        # within this time of the game's start.
        time.sleep(3)
        self.assertTrue(player.running())
        self.assertLess(player.log_size(), 20000, player.log_text()[-2000:])
        self.assertEqual(player.terminate(), 0)

    def test_a_dead_renderer_brings_the_game_back_once(self):
        game = self.colours_game("game.swf")
        player = self.start("-source:" + str(game))
        self.wait_for_game(player, "renderer_before")
        killed = self.kill_renderer(player)
        player.wait_for_log("loading the page again", timeout=20)
        wait_until(lambda: self.renderers(player) and not set(self.renderers(player)) & killed, 20,
                   "a new renderer")
        self.wait_for_game(player, "renderer_reloaded")
        # A second end in a row: a message, no loop; the user can still quit.
        self.kill_renderer(player)
        image = player.wait_for_screen("renderer_twice", lambda im: not reddish(im, *CENTRE), timeout=15)
        self.assertFalse(reddish(image, *CENTRE))
        self.assertEqual(player.log_text().count("renderer ended abnormally"), 2)
        self.assertEqual(player.terminate(), 0)

    @staticmethod
    def renderers(player):
        # Renderers are forked by the engine's zygote and keep its arguments.
        children = dict(player.children())
        zygotes = {pid for pid, argv in children.items() if "--type=zygote" in argv}
        return [pid for pid, argv in children.items()
                if "--type=renderer" in argv or (pid in zygotes and parent_pid(pid) in zygotes)]

    def kill_renderer(self, player):
        renderers = self.renderers(player)
        self.assertTrue(renderers, "no renderer process")
        for pid in renderers:
            os.kill(pid, signal.SIGKILL)
        return set(renderers)

    def test_screenshot_on_a_full_disk_fails_cleanly(self):
        shots = self.home / "full"
        shots.mkdir()
        mounted = os.getuid() == 0 and subprocess.run(
            ["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", str(shots)], capture_output=True).returncode == 0
        if not mounted:
            self.skipTest("cannot mount a small file system here (needs root)")
        try:
            # Nothing left: the picture's file can be made but not written.
            subprocess.run(["dd", "if=/dev/zero", "of=%s" % (shots / "filler"), "bs=1k", "count=1024"],
                           capture_output=True)
            game = self.colours_game("game.swf")
            player = self.start("-source:" + str(game), "-picturesfolder:" + str(shots))
            self.wait_for_game(player, "full_disk")
            player.key("ctrl+s")
            player.wait_for_log("screenshot could not be written", timeout=10)
            self.assertEqual(sorted(p.name for p in shots.iterdir()), ["filler"])
            self.assertEqual(player.terminate(), 0)
        finally:
            subprocess.run(["umount", "-l", str(shots)], capture_output=True)

    def test_internet_address_hides_the_bezel(self):
        game = self.colours_game("game.swf")
        player = self.start("-source:" + str(game), "-nodatetime")
        on_the_frame = (GAME_LEFT - 20, CENTRE[1])
        framed = self.wait_for_game(player, "bezel_around_the_game")
        self.assertTrue(dark(framed, *on_the_frame), "no bezel around the game")
        self.type_address(player, "http://example.invalid/flash/game.html")
        player.click(*ADDRESS_OPEN)
        # The page shows where the frame was (white behind it, or the
        # engine's own page for a name that does not resolve).
        player.wait_for_screen("internet_address", lambda im: light(im, *on_the_frame), timeout=20)
        player.key("ctrl+s")
        # No screenshot of a page: nothing happens, so nothing to wait for.
        time.sleep(1)
        self.assertEqual(player.pictures(), [])
        self.assertEqual(player.terminate(), 0)
        # The page hid the bezel; the user's choice (shown) is what is saved.
        self.assertEqual(player.settings()[0][1], 1)

    def test_mapper_runs_beside_the_game_and_never_outlives_it(self):
        game = self.colours_game("game.swf")
        profile = BUILD_DIR / "antimicro" / "profiles" / "vorlumen.gamecontroller.amgp"
        # The owner's own profile, in the data folder, comes first.
        own = self.home / ".local/share/vorlumen/antimicro/profiles/arcade/own.amgp"
        own.parent.mkdir(parents=True)
        shutil.copy(profile, own)
        guid = "03000000de280000ff11000001000000"
        # A named controller is given the profile too.
        for ending, extra, arguments in (("quit", [], ["--hidden", "--profile", str(profile)]),
                                         (signal.SIGTERM, ["-controleurantimicro:" + guid],
                                          ["--hidden", "--profile", str(profile), "--profile-controller", guid]),
                                         (signal.SIGKILL, [], ["--hidden", "--profile", str(own)])):
            with self.subTest(ending=str(ending)):
                if ending == signal.SIGKILL:
                    extra = ["-profilantimicro:arcade/own.amgp"]
                player = self.start("-source:" + str(game), "-profilantimicro:vorlumen.gamecontroller.amgp", *extra)
                self.wait_for_game(player, "mapper_%s" % ending)
                mappers = [argv for pid, argv in player.children() if "--profile" in argv]
                self.assertTrue(mappers, "no mapper beside the game")
                self.assertEqual(mappers[0][-len(arguments):], arguments)
                profile = Path(arguments[2])
                if ending == "quit":
                    self.assertEqual(self.quit_through_dialog(player, "mapper_quit"), 0)
                elif ending == signal.SIGTERM:
                    self.assertEqual(player.terminate(signal.SIGTERM), 0)
                else:
                    player.kill()
                wait_until(lambda: not self.mapper_alive(profile), 10, "the mapper's end with the player")

    @staticmethod
    def mapper_alive(profile):
        # Every live process on the machine descends from pid 1.
        return any(str(profile) in process_argv(pid) for pid in process_tree(1))


GREEN, YELLOW = (0x20, 0xC0, 0x40), (0xE0, 0xC0, 0x20)  # the saver's first and second run
# A whole, empty .sol named "x" in base64: what Ruffle keeps in a storage.
EMPTY_SOL = "AL8AAAARVENTTwAEAAAAAAABeAAAAAA="
# Sets one storage key, the way Ruffle does; true when the player took it.
SET_KEY = "Reflect.set(window.localStorage, %s, %s)"


class SavesRoad(Road):
    """Saves are .sol files in the saves tree, whatever ends the game."""

    def saver(self, name, *options):
        return make_swf(self.home / "Mes jeux" / name, *(options or ("--saver",)),
                        "--width", "400", "--height", "300")

    def tree(self, data=None):
        return (data or self.home / ".local/share/vorlumen") / "SharedObjects"

    def sol(self, game, name="vorlumen-test", data=None):
        return self.tree(data) / "localhost" / str(game).lstrip("/") / (name + ".sol")

    def count(self, game, data=None):
        path = self.sol(game, data=data)
        if not path.exists():
            return 0
        bytes_ = path.read_bytes()
        at = bytes_.index(b"count\x00")
        return int(struct.unpack(">d", bytes_[at + 6:at + 14])[0])

    def play(self, game, shot, colour=RED, *args, env=None):
        player = Player(xvfb.display, self.home, ["-source:" + str(game)] + list(args), env=env)
        self.players.append(player.start())
        image = player.wait_for_screen(shot, lambda im: im.close_to(*CENTRE, colour, 30), timeout=60)
        self.assertTrue(image.close_to(*CENTRE, colour, 30), "the run's colour never showed")
        return player

    def test_a_game_that_never_flushes_keeps_its_save_however_it_ends(self):
        game = self.saver("sans flush #1.swf", "--saver-noflush")
        self.assertEqual(self.quit_through_dialog(self.play(game, "noflush_1", GREEN), "noflush_quit"), 0)
        self.assertEqual(self.count(game), 1)
        for run, sig in enumerate((signal.SIGTERM, signal.SIGINT, signal.SIGHUP), start=2):
            player = self.play(game, "noflush_%d" % run, YELLOW if run == 2 else RED)
            self.assertEqual(player.terminate(sig), 0)
            self.assertEqual(self.count(game), run, signal.Signals(sig).name)
        # Leaving the game for an internet address writes it before the
        # page goes (a power cut then loses nothing).
        player = self.play(game, "noflush_5")
        self.type_address(player, "http://example.invalid/page.html")
        player.click(*ADDRESS_OPEN)
        wait_until(lambda: self.count(game) == 5, 20, "the save written when the game was left")
        player.kill()

    def test_a_power_cut_after_flush_keeps_the_save_and_a_damaged_one_is_set_aside(self):
        game = self.saver("compteur.swf")
        player = self.play(game, "flush_1", GREEN)
        wait_until(lambda: self.count(game) == 1, 10, "the flushed save on disk")
        player.kill()
        self.assertEqual(self.count(game), 1)
        self.play(game, "flush_2", YELLOW).kill()
        self.assertEqual(self.count(game), 2)
        # Cut short, as a full disk of another program would leave it.
        damaged = self.sol(game)
        damaged.write_bytes(damaged.read_bytes()[:30])
        player = self.play(game, "flush_damaged", GREEN)
        self.assertEqual(player.terminate(), 0)
        self.assertIn("damaged save was set aside", player.log_text())
        self.assertEqual(len(list(damaged.parent.glob("vorlumen-test.sol.damaged-*"))), 1)
        self.assertEqual(self.count(game), 1)

    def test_a_full_saves_folder_says_so_once_and_keeps_the_last_good_save(self):
        game = self.saver("plein.swf")
        self.play(game, "full_first", GREEN).terminate()
        good = self.sol(game).read_bytes()
        tree = self.tree()
        shutil.rmtree(tree)
        tree.mkdir()
        mounted = os.getuid() == 0 and subprocess.run(
            ["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", str(tree)], capture_output=True).returncode == 0
        if not mounted:
            self.skipTest("cannot mount a small file system here (needs root)")
        try:
            self.sol(game).parent.mkdir(parents=True)
            self.sol(game).write_bytes(good)
            subprocess.run(["dd", "if=/dev/zero", "of=%s" % (tree / "filler"), "bs=1k", "count=1024"],
                           capture_output=True)
            player = self.play(game, "full_second", YELLOW)
            player.wait_for_log("saves could not be written", timeout=10)
            player.screenshot("full_saves_banner")
            self.assertTrue(player.running())
            self.assertEqual(player.terminate(), 0)
            self.assertEqual(player.log_text().count("saves could not be written"), 1)
            self.assertEqual(self.sol(game).read_bytes(), good)
            self.assertEqual(sorted(p.name for p in self.sol(game).parent.iterdir()), ["vorlumen-test.sol"])
        finally:
            subprocess.run(["umount", "-l", str(tree)], capture_output=True)

    def test_large_objects_have_no_quota_and_a_game_writes_only_in_its_place(self):
        game = self.saver("grand.swf", "--saver-big", "10")
        port = devtools.free_port()
        env = {"QTWEBENGINE_REMOTE_DEBUGGING": "127.0.0.1:%d" % port}
        player = self.play(game, "big_objects", GREEN, env=env)
        own = "player/game%s/" % str(game).replace(" ", "%20")
        hostile = ["player/../../../evil", "player/game/%2e%2e/%2e%2e/evil",
                   own + "#../../../evil", own + "e" * 300, "player/game/etc/evil"]
        page = devtools.Page(port)
        try:
            for key in hostile:
                self.assertFalse(page.evaluate(SET_KEY % (repr(key), repr(EMPTY_SOL))), key)
            self.assertTrue(page.evaluate(SET_KEY % (repr(own + "#nom/sous"), repr(EMPTY_SOL))))
        finally:
            page.close()
        self.assertEqual(player.terminate(), 0)
        sizes = [self.sol(game, "vorlumen-big%d" % i).stat().st_size for i in range(10)]
        self.assertTrue(all(size > 1 << 20 for size in sizes), sizes)
        self.assertTrue(self.sol(game, "#nom/sous").exists())
        written = [p for p in self.tree().rglob("*") if p.is_file()]
        self.assertTrue(all(self.sol(game).parent in p.parents for p in written), written)
        self.assertEqual(list(self.home.rglob("evil*")), [])

    def test_saves_come_over_from_the_web_engine_and_from_the_plugin(self):
        # The web engine's store, made by the game page as it kept saves before.
        data = self.home / "saves d'arcade"
        game = self.saver("ancien.swf")
        page_test = BUILD_DIR / "tests" / "cpp" / "tst_gamepage_saves"
        made = subprocess.run([str(page_test), "--play-once", str(data), str(game)],
                              capture_output=True, text=True, timeout=120,
                              env=dict(os.environ, DISPLAY=xvfb.display))
        self.assertIn("run=first", made.stdout)
        self.play(game, "upgraded", YELLOW, "-savedataflash:" + str(data)).terminate()
        self.assertEqual(self.count(game, data), 2)

        # The plug-in's tree, from a Windows cabinet: matched by the path
        # below the games folder, then by the file name alone.
        games = self.home / "jeux"
        racer = make_swf(games / "Arcade" / "Racer.swf", "--saver", "--width", "400", "--height", "300")
        make_swf(games / "Autres" / "Racer.swf", "--saver")
        for folder in ("A", "B"):
            make_swf(games / folder / "Puzzle.swf", "--saver")
        old = self.home / "Flash Player" / "#SharedObjects" / "XK29Q4" / "localhost" / "C:" / "Jeux"
        sol = self.sol(game, data=data).read_bytes()  # count 2
        for path in ("Arcade/Racer.swf", "Puzzle.swf", "Manquant.swf"):
            (old / path).mkdir(parents=True)
            (old / path / "vorlumen-test.sol").write_bytes(sol)
        importer = subprocess.run([str(BUILD_DIR / "vorlumen-importsaves"), str(self.home / "Flash Player"),
                                   str(games)], capture_output=True, text=True, timeout=60,
                                  env=dict(os.environ, HOME=str(self.home),
                                           XDG_DATA_HOME=str(self.home / ".local/share")))
        self.assertEqual(importer.returncode, 1, importer.stdout + importer.stderr)
        self.assertIn("1 brought over, 1 skipped, 1 ambiguous, 0 failed", importer.stdout)
        self.play(racer, "imported").terminate()
        self.assertEqual(self.count(racer), 3)


# SDL's virtual pad inside the player (tests/cpp/tst_mapper_vpad.cpp), moved
# through a FIFO; buttons in SDL's numbering.
VPAD = BUILD_DIR / "tests" / "cpp" / "libtst_mapper_vpad.so"
PAD_A, PAD_BACK, PAD_START = 0, 4, 6


class PadRoad(Road):
    """A cabinet with a pad only: no profile, no keyboard."""

    def start_with_pad(self, *args):
        fifo = self.home / "pad.fifo"
        os.mkfifo(fifo)
        player = Player(xvfb.display, self.home, args,
                        env={"LD_PRELOAD": str(VPAD), "VORLUMEN_TEST_PAD_FIFO": str(fifo)})
        self.players.append(player)
        player.start()
        # The pad listens once the player reads pads.
        def open_pad():
            try:
                return os.open(fifo, os.O_WRONLY | os.O_NONBLOCK)
            except OSError:
                return None
        self.pad = wait_until(open_pad, 30, "the player reading a pad")
        self.addCleanup(os.close, self.pad)
        return player

    def buttons(self, value, *indexes):
        os.write(self.pad, "".join("button %d %d\n" % (i, value) for i in indexes).encode())

    def test_select_start_asks_and_a_quits(self):
        player = self.start_with_pad("-source:" + str(self.colours_game()), "-nodatetime")
        self.wait_for_game(player, "pad_playing")
        self.buttons(1, PAD_BACK, PAD_START)
        player.wait_for_screen("pad_quit_dialog", lambda im: not im.close_to(*CENTRE, RED, 10), timeout=10)
        self.buttons(0, PAD_BACK, PAD_START)
        self.assertTrue(player.running(), "a short hold only asks")
        self.buttons(1, PAD_A)
        self.assertEqual(player.wait(20), 0)
        self.assertEqual(player.settings()[0][3], 0)  # the clock setting, kept

    def test_a_long_hold_quits_at_once(self):
        player = self.start_with_pad("-source:" + str(self.colours_game()))
        self.wait_for_game(player, "pad_long_hold")
        self.buttons(1, PAD_BACK, PAD_START)
        self.assertEqual(player.wait(20), 0)
        self.assertEqual(len(player.settings()), 1)


class PersonRoad(Road):
    def test_fullscreen_option_and_the_exit_button(self):
        player = self.start("-fullscreen")
        hidden = player.wait_for_screen("fullscreen_hidden",
                                        lambda im: region_has(im, 1220, 15, 1260, 55, GREY_ICON, 40), timeout=20)
        self.assertFalse(region_has(hidden, 10, 10, 40, 40, GREY_ICON, 12), "header still shown")
        self.assertTrue(region_has(hidden, 1220, 15, 1260, 55, GREY_ICON, 40), "no exit-full-screen button")
        player.click(1238, 34)
        shown = player.wait_for_screen("fullscreen_shown",
                                       lambda im: region_has(im, 10, 10, 40, 40, GREY_ICON, 12), timeout=5)
        self.assertTrue(region_has(shown, 10, 10, 40, 40, GREY_ICON, 12), "header did not come back")
        self.assertEqual(player.terminate(), 0)

    def test_drawer_picks_a_game(self):
        folder = self.home / "Ma Ludothèque"
        self.colours_game("Ma Ludothèque/a=b game.swf")
        first = self.start()
        first.wait_for_screen("drawer_first_start", lambda im: region_has(im, 10, 10, 40, 40, GREY_ICON, 12),
                              timeout=20)
        self.assertEqual(first.terminate(), 0)
        with sqlite3.connect(str(first.settings_database())) as db:
            db.execute("UPDATE config SET navigateurLink = ?", ("file://" + str(folder),))
        # A game that never flushes is on screen: leaving it for the drawer's
        # game writes its save.
        saver = make_swf(self.home / "saver.swf", "--saver-noflush", "--width", "400", "--height", "300")
        player = self.start("-source:" + str(saver))
        player.wait_for_screen("drawer_saver", lambda im: im.close_to(*CENTRE, (0x20, 0xC0, 0x40), 30), timeout=60)
        player.wait_for_screen("drawer_ready", lambda im: region_has(im, 10, 10, 40, 40, GREY_ICON, 12), timeout=10)
        player.click(24, 24)
        # Rows: the bar (50 px), then ".", "..", then the game file.
        drawer = player.wait_for_screen("drawer_open", lambda im: self.find_file_row(im) is not None, timeout=10)
        row_y = self.find_file_row(drawer)
        player.click(200, row_y)
        self.wait_for_game(player, "drawer_playing")
        self.assertTrue((self.home / ".local/share/vorlumen/SharedObjects/localhost" / str(saver).lstrip("/")
                         / "vorlumen-test.sol").exists(), "the game left for the drawer's lost its save")
        self.assertEqual(player.terminate(), 0)
        # The folder shown is remembered for the next start.
        self.assertIn("Ma Ludoth", player.settings()[0][0])

    @staticmethod
    def find_file_row(image):
        # File rows are "gray" at half opacity over the dark drawer; folder
        # rows are blue-grey. A row is at least 40 pixels high.
        def greyish(y):
            r, g, b = image.pixel(700, y)
            return abs(r - g) < 8 and abs(g - b) < 8 and 70 < r < 120
        for y in range(60, 660, 2):
            if all(greyish(y + dy) for dy in range(0, 40, 4)):
                return y + 20
        return None

    def test_address_dialog_refuses_a_private_address(self):
        game = self.colours_game("game.swf")
        player = self.start("-source:" + str(game))
        self.wait_for_game(player, "address_before")
        # Return answers the dialog only when Open may be pressed. The field
        # refuses every key after which no valid address can follow: with a
        # path, the "/" would be refused and the rest make a domain name.
        self.type_address(player, "http://192.168.1.20")
        player.key("Return")
        # A refused Return does nothing: no event to wait for. An accepted
        # one would have begun closing the dialog by now.
        time.sleep(0.5)
        self.assertTrue(dialog_shown(player.screenshot("address_refused")), "Return closed the dialog")
        player.key("Escape")
        after = player.wait_for_screen("address_after", lambda im: not dialog_shown(im) and im.close_to(*CENTRE, RED),
                                       timeout=10)
        self.assertTrue(after.close_to(*CENTRE, RED), "the game was replaced")
        self.assertEqual(player.terminate(), 0)


class BezelRoad(unittest.TestCase):
    """The bezel's opening is the game's rectangle on any screen: no game
    pixel covered, no gap between the frame and the game."""

    def test_opening_fits_the_game_on_several_screens(self):
        for screen in ((1280, 720), (1280, 1024), (1920, 1080)):
            with self.subTest(screen=screen):
                self.check_screen(*screen)

    def check_screen(self, width, height):
        server = Xvfb((width, height)).start()
        home = new_home()
        try:
            game = make_swf(home / "game.swf", "--colors", "--width", "400", "--height", "300")
            player = Player(server.display, home, ["-source:" + str(game), "-nodatetime"]).start()
            # The page's rule: the largest size that leaves 85 x 90 for the
            # bezel, in whole pixels, centred with the corner rounded down.
            scale = min((width - 85) / 400, (height - 90) / 300)
            w, h = int(400 * scale + 1e-9), int(300 * scale + 1e-9)
            left, top = (width - w) // 2, (height - h) // 2
            middle_y, side_x = top + h // 2, left + w // 8
            inside = ((left, middle_y), (left + w - 1, middle_y), (side_x, top), (side_x, top + h - 1))
            outside = ((left - 1, middle_y), (left + w, middle_y), (side_x, top - 1), (side_x, top + h))

            def covered(image):
                # Edge pixels may be blended by the emulator's own letterbox
                # (a fraction of a pixel), never covered by the frame.
                return [(x, y, image.pixel(x, y)) for x, y in inside
                        if not (image.pixel(x, y)[2] > 120 and image.pixel(x, y)[2] > 2 * image.pixel(x, y)[0])]

            def spilt(image):
                # The frame starts right outside (its exact borders are
                # checked on the artwork and the window's geometry).
                return [(x, y) for x, y in outside if image.close_to(x, y, BLUE, 60)]

            # The game shows first, then the bezel is laid around it.
            image = player.wait_for_screen("bezel_%dx%d" % (width, height),
                                           lambda im: im.close_to(left + 1, middle_y, BLUE) and not covered(im)
                                           and not spilt(im) and im.pixel(left - 20, middle_y) != (0, 0, 0),
                                           timeout=40)
            self.assertEqual(covered(image), [], "game pixels covered")
            self.assertEqual(spilt(image), [], "game outside the opening")
            self.assertEqual(player.terminate(), 0)
        finally:
            remove_home(home)
            server.stop()


if __name__ == "__main__":
    unittest.main(verbosity=2)
