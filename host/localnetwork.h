#pragma once

// Whether an address reaches this machine or its local network, decided on
// the address as the web engine (or the player's own downloader) has parsed
// it: soft hyphens, zero-width characters, full-width or circled digits and
// the many spellings of a number are gone by then, so nothing typed can slip
// past what is really reached.
//
// Pure: no web engine here, so the rules are tested alone.

#include <QUrl>

namespace localnetwork {

// Loopback, private, shared (CGN), link-local, unspecified, documentation,
// benchmarking, reserved, multicast and broadcast IPv4 addresses; IPv6
// addresses outside global unicast, 6to4 and documentation; "localhost" and
// its subdomains; no host at all. A name that resolves to such an address is
// not caught here.
bool isLocalHost(const QString &host);

// Whether the engine may reach the address: anything that is not http(s),
// ws(s) or ftp is not a network address and passes; a network address passes
// when its host is not local, or when it is on the site the front-end named
// with -source: (a cabinet's own game server), same scheme, host and port.
bool mayReach(const QUrl &target, const QUrl &trustedSite);

// The site an internet -source: names, as an origin to compare with; an
// empty QUrl when the source is not an internet address.
QUrl trustedSiteOf(const QString &source);

} // namespace localnetwork
