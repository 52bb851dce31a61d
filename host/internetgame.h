#pragma once

// A game played from an internet address. The game page meets CORS when it
// asks another site for the movie, and most servers do not answer it, so the
// page asks the player instead:
//
//   vorlumen://site-<hex>/net/<scheme>/<host[:port]>/<path>[?query]
//
// and the player fetches the movie, and the files it loads beside it, from
// the movie's own site only. Pure: the rules are tested alone.

#include <QByteArray>
#include <QUrl>

namespace internetgame {

constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
constexpr int kStallTimeoutMs = 30 * 1000; // no byte for that long: give up
// The stall timeout in use: kStallTimeoutMs, unless VORLUMEN_STALL_TIMEOUT_MS
// holds a shorter positive number (the tests' dead server need not take
// half a minute).
int stallTimeoutMs();
constexpr int kTotalTimeoutMs = 5 * 60 * 1000; // a whole download, at most

// Whether the source is an http(s) address with a host: a game named by one
// (a SWF address, or one whose server answered with a SWF) is read from there.
bool isInternetAddress(const QString &source);

// The internet address behind one of the player's /net/ addresses; an
// invalid QUrl when it is not one.
QUrl internetUrlOf(const QUrl &playerUrl);

// Whether target may be fetched for the game at gameUrl: an http(s) address
// of the very same site (scheme, host and port), without user info.
bool isOnGameSite(const QUrl &gameUrl, const QUrl &target);

// The host of the box the game at gameUrl plays in: "site-" and 32 hex
// digits of a hash of its site (scheme, host and port), so that the same
// site gets the same box, hence the same saves, from one run to the next.
QString siteBoxOf(const QUrl &gameUrl);

// The internet game a game page address plays (its "jeu" value, without
// the two sizes); an invalid QUrl for a local game or no game.
QUrl internetGameOfPage(const QUrl &pageUrl);

// What a file of the game's site is served as: the game's data, never a
// document the engine would show or run (a page, a script, SVG, XML).
QByteArray dataContentType(const QByteArray &bareType);

// The bare media type of a Content-Type header ("text/html; charset=x"
// gives "text/html"): the engine shows a page with parameters as text.
QByteArray bareContentType(const QByteArray &header);

} // namespace internetgame
