#pragma once

// The one network access manager all sources share, with its disk cache, and the service
// addresses that the environment may replace.

#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

#include <memory>

namespace ribbex {

// A manager whose HTTP cache lives in cacheFolder (for requests that ask for caching).
std::unique_ptr<QNetworkAccessManager> makeNetworkAccessManager(const QString &cacheFolder);

// The base address of a service: the environment variable's value when it holds an absolute
// http or https address, else the fallback.
QUrl serviceBaseUrl(const char *environmentVariable, const QUrl &fallback);

// The path below the base's own path ("/api" + "/v1/x" is "/api/v1/x").
QUrl serviceEndpoint(const QUrl &base, const QString &path);

} // namespace ribbex
