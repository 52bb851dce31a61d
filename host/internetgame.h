#pragma once

// A game played from an internet address. The game page meets CORS when it
// asks another site for the movie, and most servers do not answer it, so the
// page asks the player instead:
//
//   vorlumen://player/net/<scheme>/<host[:port]>/<path>[?query]
//
// and the player fetches the movie, and the files it loads beside it, from
// the movie's own site only. Pure: the rules are tested alone.

#include <QByteArray>
#include <QUrl>

namespace internetgame {

constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
constexpr int kStallTimeoutMs = 30 * 1000; // no byte for that long: give up
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

// The bare media type of a Content-Type header ("text/html; charset=x"
// gives "text/html"): the engine shows a page with parameters as text.
QByteArray bareContentType(const QByteArray &header);

} // namespace internetgame
