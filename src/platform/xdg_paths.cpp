#include "platform/xdg_paths.h"

#include <QDir>

namespace ribbex {

namespace {

// A base folder given as an empty or relative path is invalid and must be ignored.
QString baseFolder(const char *variable, const QString &fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + u'/' + fallbackBelowHome);
}

QString configBase()
{
    return baseFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

} // namespace

QString ribbexConfigFolder()
{
    return configBase() + QStringLiteral("/ribbex");
}

QString ribbexCacheFolder()
{
    return baseFolder("XDG_CACHE_HOME", QStringLiteral(".cache")) + QStringLiteral("/ribbex");
}

QString autostartFolder()
{
    return configBase() + QStringLiteral("/autostart");
}

} // namespace ribbex
