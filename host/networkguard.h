#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Sees every request of the game view's profile before it leaves: a game
// page (a local game's, or an internet game's in its site's box) reaches
// nothing but the player's own scheme, whatever the movie calls, and moves
// no frame (gamefiles::mayLeavePage). Internet pages are not touched.
class NetworkGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void installOnDefaultProfile();
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};
