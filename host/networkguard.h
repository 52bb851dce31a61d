#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// Sees every request of the game view's profile before it leaves, as the
// engine has parsed it:
// - a game page (a local game's, or an internet game's in its site's box)
//   reaches nothing but the player's own scheme, whatever the movie calls,
//   and moves no frame (gamefiles::mayLeavePage);
// - no page, navigation, redirect or file of any page reaches this machine
//   or its local network (localnetwork::mayReach), but for the site the
//   front-end itself named with -source:.
class NetworkGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    explicit NetworkGuard(const QUrl &trustedSite = QUrl(), QObject *parent = nullptr);

    void installOnDefaultProfile();
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    const QUrl m_trustedSite;
};
