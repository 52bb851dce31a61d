#include "networkguard.h"

#include "gamefiles.h"
#include "localnetwork.h"

#include <QQuickWebEngineProfile>

NetworkGuard::NetworkGuard(const QUrl &trustedSite, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
    , m_trustedSite(trustedSite)
{
}

void NetworkGuard::installOnDefaultProfile()
{
    QQuickWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(this);
}

void NetworkGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const bool isFrame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
        || info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame;
    if (!gamefiles::mayLeavePage(info.firstPartyUrl(), info.initiator(), info.requestUrl(), isFrame)
        || !localnetwork::mayReach(info.requestUrl(), m_trustedSite))
        info.block(true);
}
