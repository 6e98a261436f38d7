#include "platform/xdg_paths.h"

#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <optional>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

// Sets or clears one environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::optional<QString> &value)
        : m_name(name)
        , m_old(qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt)
    {
        set(value ? std::optional<QByteArray>(value->toLocal8Bit()) : std::nullopt);
    }
    ~ScopedEnv() { set(m_old); }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    void set(const std::optional<QByteArray> &value)
    {
        if (value)
            qputenv(m_name, *value);
        else
            qunsetenv(m_name);
    }

    const char *m_name;
    std::optional<QByteArray> m_old;
};

TEST(XdgPaths, useTheBaseFoldersOnlyWhenTheyAreAbsolute)
{
    // "~" stands for the temporary home.
    const struct {
        const char *name;
        std::optional<QString> config, cache;
        QString expectedConfig, expectedCache;
    } cases[] = {
        {"set", u"~/xdg/config"_s, u"~/xdg/cache"_s, u"~/xdg/config"_s, u"~/xdg/cache"_s},
        {"empty", u""_s, u""_s, u"~/.config"_s, u"~/.cache"_s},
        {"relative", u"xdg/config"_s, u"xdg/cache"_s, u"~/.config"_s, u"~/.cache"_s},
        {"unset", std::nullopt, std::nullopt, u"~/.config"_s, u"~/.cache"_s},
    };
    const test::TempHome home;
    const auto inHome = [&](QString path) { return path.replace(u'~', home.path()); };
    const ScopedEnv homeVariable("HOME", home.path());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ScopedEnv config("XDG_CONFIG_HOME", c.config.transform(inHome));
        const ScopedEnv cache("XDG_CACHE_HOME", c.cache.transform(inHome));

        EXPECT_EQ(ribbexConfigFolder().toStdString(), inHome(c.expectedConfig + u"/ribbex"_s).toStdString());
        EXPECT_EQ(autostartFolder().toStdString(), inHome(c.expectedConfig + u"/autostart"_s).toStdString());
        EXPECT_EQ(ribbexCacheFolder().toStdString(), inHome(c.expectedCache + u"/ribbex"_s).toStdString());
    }
}

} // namespace
} // namespace ribbex
