#include "networkguard.h"

#include "gamefiles.h"

#include <QQuickWebEngineProfile>

void NetworkGuard::installOnDefaultProfile()
{
    QQuickWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(this);
}

void NetworkGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const bool isFrame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
        || info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame;
    if (!gamefiles::mayLeavePage(info.firstPartyUrl(), info.initiator(), info.requestUrl(),
                                 isFrame))
        info.block(true);
}
