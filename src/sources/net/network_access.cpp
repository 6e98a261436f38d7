#include "sources/net/network_access.h"

#include <QNetworkDiskCache>

namespace ribbex {

std::unique_ptr<QNetworkAccessManager> makeNetworkAccessManager(const QString &cacheFolder)
{
    auto manager = std::make_unique<QNetworkAccessManager>();
    auto *cache = new QNetworkDiskCache(manager.get());
    cache->setCacheDirectory(cacheFolder);
    cache->setMaximumCacheSize(32 * 1024 * 1024);
    manager->setCache(cache);
    return manager;
}

QUrl serviceBaseUrl(const char *environmentVariable, const QUrl &fallback)
{
    QUrl configured(qEnvironmentVariable(environmentVariable), QUrl::StrictMode);
    const QString scheme = configured.scheme().toLower();
    if (configured.isValid() && (scheme == u"http" || scheme == u"https") && !configured.host().isEmpty())
        return configured;
    return fallback;
}

QUrl serviceEndpoint(const QUrl &base, const QString &path)
{
    QUrl url = base;
    QString prefix = base.path();
    if (prefix.endsWith(u'/'))
        prefix.chop(1);
    url.setPath(prefix + path);
    return url;
}

} // namespace ribbex
