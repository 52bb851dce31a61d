"""Flash from the internet in the real player: a SWF address plays as a
game, pages play their embedded movies, bad answers end in a message, and
no internet page reads the player's files beyond Ruffle. A local HTTP server
(127.0.0.1, a thread) stands for the internet."""

import functools
import http.server
import sys
import threading
import time
import unittest
import urllib.parse
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from player import (Player, Xvfb, dialog_shown, image_size, make_swf, new_home, reddish, remove_home,  # noqa: E402
                    wait_until)

BLUE = (0x20, 0x40, 0xC0)
RED = (0xE0, 0x30, 0x20)
GREEN = (0x20, 0xC0, 0x40)
YELLOW = (0xE0, 0xC0, 0x20)
CENTRE = (640, 360)
# A 400x300 game at 1280x720, with room for the bezel: 840x630 at 220,45.
GAME_LEFT = 220

# What a page tries to read of the player's scheme; only Ruffle may answer.
PROBE_SCRIPT = """
<script>
function report(name, outcome) {
  new Image().src = "/report?" + encodeURIComponent(name) + "=" + encodeURIComponent(outcome);
}
function tryRead(name, url) {
  var request = new XMLHttpRequest();
  request.open("GET", url, true);
  request.onload = function () { report(name, "read " + request.status); };
  request.onerror = function () { report(name, "refused"); };
  request.send();
  var script = document.createElement("script");
  script.src = url;
  script.onload = function () { report("script " + name, "read"); };
  script.onerror = function () { report("script " + name, "refused"); };
  document.head.appendChild(script);
}
setTimeout(function () {
  tryRead("ruffle", "vorlumen://player/flash/ruffle/ruffle.js");
  tryRead("game page", "vorlumen://player/flash/flash.html");
  tryRead("page script", "vorlumen://player/flash/gamequery.js");
  tryRead("settings", "vorlumen://player/flash/player-settings.js");
  tryRead("game file", "vorlumen://player/game/etc/hostname");
  tryRead("out of Ruffle", "vorlumen://player/flash/ruffle/%2e%2e/gamequery.js");
  tryRead("internet game", "vorlumen://player/net/http/" + location.host + "/site/loader.swf");
  tryRead("local file", "file:///etc/hostname");
}, 500);
</script>
"""

EMBED_PAGE = """<!DOCTYPE html><html><body style="margin:0;background:#fff">
<embed src="colours.swf" width="400" height="300" type="application/x-shockwave-flash">
</body></html>"""

OBJECT_PAGE = """<!DOCTYPE html><html><head></head><body style="margin:0;background:#fff">
<object type="application/x-shockwave-flash" data="colours.swf" width="400" height="300">
<param name="movie" value="colours.swf"></object>
""" + PROBE_SCRIPT + "</body></html>"

xvfb = Xvfb()
setUpModule, tearDownModule = xvfb.start, xvfb.stop



class Site:
    """Serves a folder on 127.0.0.1; keeps the paths asked for and the pages' reports."""

    def __init__(self, folder):
        site = self
        self.requests = []
        self.reports = {}

        class Handler(http.server.SimpleHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith(("/moved/", "/away/")):
                    # Redirects: within the site, and to another host (same server).
                    host = "127.0.0.1" if self.path.startswith("/moved/") else "localhost"
                    self.send_response(302)
                    self.send_header("Location", "http://%s:%d/site/%s" % (
                        host, self.server.server_address[1], self.path.split("/", 2)[2]))
                    self.end_headers()
                    return
                if self.path.startswith("/play?"):
                    # A SWF behind an address that does not say so.
                    site.requests.append(self.path)
                    data = (Path(folder) / "site" / self.path[len("/play?"):]).read_bytes()
                    self.send_response(200)
                    self.send_header("Content-Type", "application/x-shockwave-flash")
                    self.send_header("Content-Length", str(len(data)))
                    self.end_headers()
                    self.wfile.write(data)
                    return
                if self.path.startswith("/stall/"):
                    # Headers and a few bytes, then nothing: a dead download.
                    self.send_response(200)
                    self.send_header("Content-Type", "application/x-shockwave-flash")
                    self.send_header("Content-Length", "100000")
                    self.end_headers()
                    self.wfile.write(b"FWS\x0a")
                    self.wfile.flush()
                    # Silent well past the player's stall limit (6 s here);
                    # the thread is a daemon: no test waits for it.
                    time.sleep(20)
                    return
                if self.path.startswith("/slow/"):
                    # A slow server: the movie still arrives, and plays.
                    time.sleep(3)
                    self.path = "/site/" + self.path[len("/slow/"):]
                if self.path.startswith("/report?"):
                    name, _, outcome = urllib.parse.unquote(self.path[len("/report?"):]).partition("=")
                    site.reports[name] = outcome
                    self.send_response(204)
                    self.end_headers()
                    return
                site.requests.append(self.path)
                super().do_GET()

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                                      functools.partial(Handler, directory=str(folder)))
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()
        self.root = "http://127.0.0.1:%d/" % self.server.server_address[1]

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


class InternetRoad(unittest.TestCase):
    def setUp(self):
        self.home = new_home()
        folder = self.home / "www"
        games = folder / "site"
        self.site = Site(folder)
        make_swf(games / "colours.swf", "--colors", "--width", "400", "--height", "300")
        # By a relative address, and by a full one on the movie's own site.
        make_swf(games / "loader.swf", "--load-vars", "ok=vars.txt",
                 "--load-vars", "full=" + self.site.root + "site/full.txt", "--width", "400", "--height", "300")
        (games / "vars.txt").write_text("ok=yes")
        (games / "full.txt").write_text("full=yes")
        (games / "page.swf").write_text("<!DOCTYPE html><html><body>not a movie</body></html>")
        (games / "embed.html").write_text(EMBED_PAGE)
        (games / "object.html").write_text(OBJECT_PAGE)
        (games / "frame.html").write_text('<html><body style="margin:0;background:#fff">'
                                          '<iframe src="embed.html" width="500" height="400" frameborder="0">'
                                          '</iframe></body></html>')
        make_swf(games / "cut.swf", "--colors", "--cut", "40")
        self.players = []

    def tearDown(self):
        for player in self.players:
            player.kill()
        self.site.stop()
        remove_home(self.home)

    def start(self, address):
        return self.start_source(self.site.root + address)

    def start_source(self, source):
        # The dead server's case need not wait the full half minute; the slow
        # server (3 s) stays well under the limit.
        player = Player(xvfb.display, self.home / "player", ["-source:" + str(source)],
                        env={"VORLUMEN_STALL_TIMEOUT_MS": "6000"})
        (self.home / "player").mkdir(exist_ok=True)
        self.players.append(player)
        return player.start()

    def test_swf_address_plays_as_a_game(self):
        player = self.start("site/colours.swf")
        image = player.wait_for_screen("internet_swf", lambda im: reddish(im, *CENTRE), timeout=40)
        self.assertTrue(reddish(image, *CENTRE), "the movie never showed")
        # Sized from the movie itself, framed by the bezel like a local game.
        self.assertTrue(image.close_to(GAME_LEFT + 2, 360, BLUE))
        self.assertFalse(image.close_to(GAME_LEFT - 20, 360, BLUE))
        self.assertNotEqual(image.pixel(GAME_LEFT - 20, 360), (0, 0, 0))
        player.key("ctrl+s")
        wait_until(player.pictures, 10, "the screenshot's picture")
        self.assertEqual([p.name for p in player.pictures()], ["colours.jpg"])
        self.assertEqual(image_size(player.pictures()[0]), (840, 630))
        self.assertEqual(player.terminate(), 0)

    def test_swf_address_loads_the_file_beside_it(self):
        player = self.start("site/loader.swf")
        # A slot per load, at a quarter and three quarters of the game.
        slots = ((GAME_LEFT + 210, 360), (GAME_LEFT + 630, 360))
        image = player.wait_for_screen("internet_swf_loader",
                                       lambda im: all(im.close_to(*slot, GREEN, 40) for slot in slots), timeout=40)
        self.assertTrue(all(image.close_to(*slot, GREEN, 40) for slot in slots), "a file beside the movie never came")
        self.assertIn("/site/vars.txt", self.site.requests)
        self.assertIn("/site/full.txt", self.site.requests)
        self.assertEqual(player.terminate(), 0)

    def test_saves_are_kept_apart_and_kept(self):
        # The same movie and save name ("/" path), from the disk and from the
        # site: each counts its own runs, from one run to the next.
        saver = ("--saver-path", "/", "--width", "400", "--height", "300")
        local = make_swf(self.home / "local" / "saver.swf", *saver)
        make_swf(self.home / "www" / "site" / "saver.swf", *saver)
        runs = ((local, "first", GREEN), (self.site.root + "site/saver.swf", "first", GREEN),
                (local, "second", YELLOW), (self.site.root + "site/saver.swf", "second", YELLOW))
        for source, run, colour in runs:
            with self.subTest(source=str(source), run=run):
                player = self.start_source(source)
                image = player.wait_for_screen("saves_%s_%s" % (Path(str(source)).parent.name, run),
                                               lambda im: im.close_to(*CENTRE, colour, 30), timeout=40)
                self.assertTrue(image.close_to(*CENTRE, colour, 30), "saw %s" % (image.pixel(*CENTRE),))
                self.assertEqual(player.terminate(), 0)

    def test_local_game_reaches_no_network(self):
        # A local movie reads its folder, but what it asks of a server never
        # leaves the machine; the same movie from the site reads it (above).
        local = self.home / "local"
        make_swf(local / "absolute.swf", "--load-vars", "ok=vars.txt",
                 "--load-vars", "sent=" + self.site.root + "site/vars.txt?secret",
                 "--navigate", "away=" + self.site.root + "site/embed.html?secret",
                 "--width", "400", "--height", "300")
        (local / "vars.txt").write_text("ok=yes")
        player = self.start_source(local / "absolute.swf")
        # Slots at 400/6, 3 x 400/6 and 5 x 400/6, shown at 2.1 times.
        own_file, server = (GAME_LEFT + 140, 360), (GAME_LEFT + 420, 360)
        image = player.wait_for_screen("local_no_network", lambda im: im.close_to(*own_file, GREEN, 40),
                                       timeout=40)
        self.assertTrue(image.close_to(*own_file, GREEN, 40), "the movie never read its own folder")
        # Its requests went out with the one that arrived; a leak would show
        # by now (the guard refuses without a trace to wait for).
        time.sleep(1.5)
        self.assertFalse(player.screenshot("local_no_network").close_to(*server, GREEN, 40))
        self.assertFalse([r for r in self.site.requests if "secret" in r])
        # Nor does the movie send the view anywhere: the game stays.
        self.assertTrue(player.screenshot("local_no_network").close_to(*own_file, GREEN, 40))
        self.assertEqual(player.terminate(), 0)

    def test_pages_play_their_movies_in_place(self):
        for page in ("embed.html", "object.html", "frame.html"):
            with self.subTest(page=page):
                player = self.start("site/" + page)
                name = "internet_page_" + page.split(".")[0]
                image = player.wait_for_screen(name, lambda im: reddish(im, 200, 150), timeout=40)
                self.assertTrue(reddish(image, 200, 150), "the embedded movie never drew")
                self.assertTrue(image.close_to(20, 280, BLUE))
                self.assertTrue(image.close_to(600, 400, (255, 255, 255), 10), "not the page's white")
                if page == "object.html":
                    self.check_page_reads_nothing_but_ruffle()
                self.assertEqual(player.terminate(), 0)

    def check_page_reads_nothing_but_ruffle(self):
        """What the page with the probe script could read of the player."""
        expected = {
            "ruffle": "read 200", "script ruffle": "read",
            "game page": "refused", "script game page": "refused",
            "page script": "refused", "script page script": "refused",
            "settings": "refused", "script settings": "refused",
            "game file": "refused", "script game file": "refused",
            "out of Ruffle": "refused", "script out of Ruffle": "refused",
            "internet game": "refused", "script internet game": "refused",
            "local file": "refused", "script local file": "refused",
        }
        wait_until(lambda: len(self.site.reports) >= len(expected), 30, "the page's reports")
        self.assertEqual(self.site.reports, expected)

    def test_nothing_reaches_this_machine_but_the_source_site(self):
        # The -source: site (a cabinet's own server) may be local; what its
        # page loads, frames or navigates to elsewhere on this machine, spelt
        # with characters the engine drops or maps, never arrives: the verdict
        # is the other server's log.
        other = Site(self.home / "other")
        port = other.server.server_address[1]
        hidden = ["http://127.0.0.\uff11\u00ad:%d/secret-img" % port,
                  "http://127.0.0.\uff11\u200b:%d/secret-frame" % port,
                  "http://a@\u2460\u2461\u2466.0.0.\u2460\u00ad:%d/secret-fetch" % port,
                  "http://x.localhost\u200b:%d/secret-nav" % port]
        (self.home / "www" / "site" / "hop.html").write_text(
            '<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>'
            '<img src="%s"><iframe src="%s"></iframe><script>'
            'fetch("%s", {mode: "no-cors"}).catch(function () {});'
            'new Image().src = "/report?ran=yes";'
            'setTimeout(function () { new Image().src = "/report?left=yes"; location.href = "%s"; }, 500);'
            '</script></body></html>' % tuple(hidden), encoding="utf-8")
        try:
            player = self.start("site/hop.html")
            wait_until(lambda: "left" in self.site.reports, 30, "the page's run up to its navigation")
            self.assertEqual(self.site.reports.get("ran"), "yes", "the page never ran")
            # Refused without a trace: a request let through would be here by now.
            time.sleep(1)
            self.assertEqual(other.requests, [])
            self.assertEqual(player.terminate(), 0)
        finally:
            other.stop()

    def test_slow_server_redirect_and_truncated_movie(self):
        for address in ("slow/colours.swf", "moved/colours.swf", "play?colours.swf"):
            with self.subTest(address=address):
                player = self.start(address)
                image = player.wait_for_screen("internet_swf_" + address.split("/")[0].split("?")[0],
                                               lambda im: reddish(im, *CENTRE), timeout=40)
                self.assertTrue(reddish(image, *CENTRE), "the movie never showed")
                self.assertEqual(player.terminate(), 0)
        # A movie cut short is Ruffle's to report; the player stays up and stops cleanly.
        player = self.start("site/cut.swf")
        # What remains of it plays: its blue stage, framed like any game.
        player.wait_for_screen("internet_swf_cut", lambda im: im.close_to(GAME_LEFT + 2, 360, BLUE), timeout=40)
        self.assertTrue(player.running())
        self.assertEqual(player.terminate(), 0)

    def test_bad_answers_end_in_a_message(self):
        cases = (("site/missing.swf", "the server answered 404"),
                 ("site/page.swf", "not a SWF file"),
                 ("away/colours.swf", "redirected off its site"),
                 ("stall/colours.swf", "nothing arrived for 6 s"))
        for address, problem in cases:
            with self.subTest(address=address):
                player = self.start(address)
                player.wait_for_log(self.site.root + address + ": " + problem, timeout=50)
                player.wait_for_screen("internet_bad_" + Path(address).stem, dialog_shown, timeout=15)
                # As a bad local file: the dialog, then status 2 for the front-end.
                self.assertTrue(player.running())
                self.assertEqual(player.terminate(timeout=15), 2)


if __name__ == "__main__":
    unittest.main()
