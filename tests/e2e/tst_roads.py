"""The roads a cabinet owner and a front-end take through the real player,
one test per road, under a private X server at 1280x720."""

import shutil
import signal
import sqlite3
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from player import (BUILD_DIR, CORPUS_DIR, Player, Xvfb, image_pixel, image_size, make_swf,  # noqa: E402
                    new_home, process_argv, process_tree, remove_home)

BLUE = (0x20, 0x40, 0xC0)
RED = (0xE0, 0x30, 0x20)
GREY_ICON = (128, 128, 128)
CENTRE = (640, 360)
# A 400x300 game on a 1280x720 screen, with room for the bezel (85x90):
# displayed at 840x630, centred.
GAME_LEFT, GAME_TOP, GAME_WIDTH, GAME_HEIGHT = 220, 45, 840, 630
QUIT_YES = (869, 428)

xvfb = None


def setUpModule():
    global xvfb
    xvfb = Xvfb().start()


def tearDownModule():
    xvfb.stop()


def reddish(image, x, y):
    """The game's red, also under a screen-emulation overlay."""
    r, g, b = image.pixel(x, y)
    return r > 90 and r > 2 * g and r > 2 * b


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

    def start(self, *args, home=None):
        player = Player(xvfb.display, home or self.home, args)
        self.players.append(player)
        return player.start()

    def colours_game(self, name="Mes Jeux/Île Colorée #1 100%.swf"):
        return make_swf(self.home / name, "--colors", "--width", "400", "--height", "300")

    def wait_for_game(self, player, shot):
        image = player.wait_for_screen(shot, lambda im: reddish(im, *CENTRE), timeout=40)
        self.assertTrue(reddish(image, *CENTRE), "the game never showed")
        return image

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
        deadline = time.monotonic() + 10
        while not player.pictures() and time.monotonic() < deadline:
            time.sleep(0.2)
        pictures = player.pictures()
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
        background = player.screenshot("corpus_start")
        player.wait_for_screen("corpus_playing", lambda im: im.distinct_colours() > background.distinct_colours() + 5,
                               timeout=40)
        time.sleep(1)
        player.key("ctrl+s")
        picture = self.home / "Pictures" / "LOGO ANIM.SWF.jpg"
        deadline = time.monotonic() + 10
        while not picture.exists() and time.monotonic() < deadline:
            time.sleep(0.2)
        # A 400x200 stage fits the 1195x630 room by its width.
        width, height = image_size(picture)
        self.assertLessEqual(width, 1280 - 85)
        self.assertGreaterEqual(width, 1280 - 85 - 2)
        self.assertAlmostEqual(width / height, 2.0, delta=0.02)
        self.assertEqual(player.terminate(), 0)


class FrontEndRoad(Road):
    def test_sigterm_saves_options_for_the_next_start(self):
        game = self.colours_game("game.swf")
        first = self.start("-source:" + str(game), "-nodatetime", "-screentype:scanlines")
        self.wait_for_game(first, "options_first_run")
        self.assertEqual(first.terminate(signal.SIGTERM), 0)
        self.assertEqual(first.settings(), [("file:///" + str(BUILD_DIR).lstrip("/"), 1, 2, 0)])
        second = self.start("-source:" + str(game))
        self.wait_for_game(second, "options_second_run")
        self.assertEqual(second.terminate(signal.SIGINT), 0)
        self.assertEqual(second.settings()[0][2:], (2, 0))

    def test_missing_file_ends_with_an_error(self):
        player = self.start("-source:" + str(self.home / "Nowhere" / "gone.swf"), "-nodatetime")
        player.wait_for_screen("missing_file", lambda im: im.distinct_colours() > 3, timeout=15)
        self.assertTrue(player.running())
        player.key("Escape")
        self.assertEqual(player.wait(15), 2)
        # Nothing was saved: the first start's defaults stand (clock on).
        self.assertEqual(player.settings()[0][3], 1)

    def test_internet_address_hides_the_bezel(self):
        player = self.start("-source:http://example.invalid/flash/game.html")
        time.sleep(3)
        player.key("ctrl+s")
        time.sleep(1)
        player.screenshot("internet_address")
        self.assertEqual(player.pictures(), [])
        self.assertEqual(player.terminate(), 0)
        # The bezel is saved as shown at closing: hidden on internet pages.
        self.assertEqual(player.settings()[0][1], 0)

    def test_mapper_runs_beside_the_game_and_never_outlives_it(self):
        game = self.colours_game("game.swf")
        profile = BUILD_DIR / "antimicro" / "profiles" / "vorlumen.gamecontroller.amgp"
        for ending in ("quit", signal.SIGTERM, signal.SIGKILL):
            with self.subTest(ending=str(ending)):
                player = self.start("-source:" + str(game), "-profilantimicro:vorlumen.gamecontroller.amgp")
                self.wait_for_game(player, "mapper_%s" % ending)
                mappers = [argv for pid, argv in player.children() if "--profile" in argv]
                self.assertTrue(mappers, "no mapper beside the game")
                self.assertEqual(mappers[0][-3:], ["--hidden", "--profile", str(profile)])
                if ending == "quit":
                    self.assertEqual(self.quit_through_dialog(player, "mapper_quit"), 0)
                elif ending == signal.SIGTERM:
                    self.assertEqual(player.terminate(signal.SIGTERM), 0)
                else:
                    player.kill()
                deadline = time.monotonic() + 10
                while self.mapper_alive(profile) and time.monotonic() < deadline:
                    time.sleep(0.1)
                self.assertFalse(self.mapper_alive(profile), "a mapper outlived the player")

    @staticmethod
    def mapper_alive(profile):
        # Every live process on the machine descends from pid 1.
        return any(str(profile) in process_argv(pid) for pid in process_tree(1))


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
        time.sleep(1)
        self.assertEqual(first.terminate(), 0)
        with sqlite3.connect(str(first.settings_database())) as db:
            db.execute("UPDATE config SET navigateurLink = ?", ("file://" + str(folder),))
        player = self.start()
        player.wait_for_screen("drawer_ready", lambda im: region_has(im, 10, 10, 40, 40, GREY_ICON, 12), timeout=10)
        time.sleep(0.5)
        closed = player.screenshot("drawer_closed")
        player.click(24, 24)
        drawer = player.wait_for_screen("drawer_open", lambda im: im.pixel(300, 400) != closed.pixel(300, 400),
                                        timeout=10)
        time.sleep(1)
        drawer = player.screenshot("drawer_open")
        # Rows: the bar (50 px), then ".", "..", then the game file.
        row_y = self.find_file_row(drawer)
        self.assertIsNotNone(row_y, "no file row in the drawer")
        player.click(200, row_y)
        self.wait_for_game(player, "drawer_playing")
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
        player.click(77, 24)
        time.sleep(1)
        player.type_text("http://192.168.1.20/game.swf")
        player.key("Return")
        time.sleep(1)
        player.screenshot("address_refused")
        player.key("Escape")
        time.sleep(1)
        after = player.screenshot("address_after")
        self.assertTrue(after.close_to(*CENTRE, RED), "the game was replaced")
        self.assertEqual(player.terminate(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
