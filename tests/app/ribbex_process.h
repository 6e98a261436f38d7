#pragma once

// Runs the real ribbex binary the way a user or a script would, in a temporary home.

#include "support/temp_home.h"

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

namespace ribbex::test {

struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class RibbexProcessTest : public testing::Test {
protected:
    // extraEnvironment holds "NAME=value" assignments; "NAME=" removes NAME.
    ProcessResult ribbex(const QStringList &arguments, const QStringList &extraEnvironment = {});
    // Runs --once --format json, expects success and returns the printed object.
    QJsonObject printOnce(const QStringList &extraEnvironment = {});

    QString settingsPath() const { return home.ribbexConfigDir() + QStringLiteral("/ribbex.settings.v1.json"); }
    QString fixtureCachePath() const
    {
        return home.ribbexCacheDir() + QStringLiteral("/ribbex.football.fixtures.v2.json");
    }

    TempHome home;
};

} // namespace ribbex::test
