#include "localnetwork.h"

#include <QHostAddress>

namespace localnetwork {

namespace {

struct Range
{
    quint32 first;
    int prefixLength;
};

// Every IPv4 range that is not a public unicast address.
constexpr Range localIpv4Ranges[] = {
    {0x00000000, 8}, // "this network", 0.0.0.0
    {0x0a000000, 8}, // private
    {0x64400000, 10}, // shared address space (carrier-grade NAT)
    {0x7f000000, 8}, // loopback
    {0xa9fe0000, 16}, // link-local
    {0xac100000, 12}, // private
    {0xc0000000, 24}, // protocol assignments
    {0xc0000200, 24}, // documentation (TEST-NET-1)
    {0xc0a80000, 16}, // private
    {0xc6120000, 15}, // benchmarking
    {0xc6336400, 24}, // documentation (TEST-NET-2)
    {0xcb007100, 24}, // documentation (TEST-NET-3)
    {0xe0000000, 4}, // multicast
    {0xf0000000, 4}, // reserved, and the broadcast address
};

bool isLocalIpv4(quint32 address)
{
    for (const Range &range : localIpv4Ranges) {
        const quint32 mask = ~quint32(0) << (32 - range.prefixLength);
        if ((address & mask) == range.first)
            return true;
    }
    return false;
}

// Only global unicast (2000::/3) reaches the internet; 6to4 (2002::/16)
// carries an IPv4 address of any kind, and 2001:db8::/32 is documentation.
bool isLocalIpv6(const Q_IPV6ADDR &bytes)
{
    if ((bytes[0] & 0xe0) != 0x20)
        return true;
    if (bytes[0] == 0x20 && bytes[1] == 0x02)
        return true;
    return bytes[0] == 0x20 && bytes[1] == 0x01 && bytes[2] == 0x0d && bytes[3] == 0xb8;
}

bool isNetworkScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("ws") || scheme == QLatin1String("wss")
        || scheme == QLatin1String("ftp");
}

int effectivePort(const QUrl &url)
{
    const QString scheme = url.scheme();
    const int fallback = scheme == QLatin1String("https") || scheme == QLatin1String("wss") ? 443
        : scheme == QLatin1String("ftp")                                                    ? 21
                                                                                            : 80;
    return url.port(fallback);
}

bool isSameSite(const QUrl &a, const QUrl &b)
{
    auto secure = [](const QString &scheme) {
        return scheme == QLatin1String("https") || scheme == QLatin1String("wss");
    };
    // A page's WebSocket to its own site is the same site.
    return secure(a.scheme()) == secure(b.scheme()) && a.host() == b.host()
        && effectivePort(a) == effectivePort(b);
}

} // namespace

bool isLocalHost(const QString &hostText)
{
    QString host = hostText.toLower();
    while (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    if (host.isEmpty() || host == QLatin1String("localhost")
        || host.endsWith(QLatin1String(".localhost")))
        return true;
    const QHostAddress address(host);
    switch (address.protocol()) {
    case QAbstractSocket::IPv4Protocol:
        return isLocalIpv4(address.toIPv4Address());
    case QAbstractSocket::IPv6Protocol:
        return isLocalIpv6(address.toIPv6Address());
    default:
        return false;
    }
}

bool mayReach(const QUrl &target, const QUrl &trustedSite)
{
    if (!isNetworkScheme(target.scheme()))
        return true;
    if (trustedSite.isValid() && !trustedSite.isEmpty() && isSameSite(target, trustedSite))
        return true;
    return !isLocalHost(target.host());
}

QUrl trustedSiteOf(const QString &source)
{
    const QUrl url(source.trimmed());
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
        return QUrl();
    QUrl site;
    site.setScheme(url.scheme());
    site.setHost(url.host());
    site.setPort(url.port());
    return site;
}

} // namespace localnetwork
