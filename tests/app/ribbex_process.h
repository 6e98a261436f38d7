#pragma once

// Runs the real ribbex binary the way a user or a script would, in a temporary home.

#include "support/temp_home.h"

#include <QByteArray>
#include <QProcessEnvironment>
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
    // The home's folders, no display and no scoreboard service, then the "NAME=value"
    // assignments given; "NAME=" removes NAME.
    QProcessEnvironment environment(const QStringList &assignments = {}) const;
    // Runs ribbex to its end while this thread's event loop keeps serving; a run still going after
    // the limit fails the test.
    ProcessResult ribbex(const QStringList &arguments, const QStringList &extraEnvironment = {}, int limitMs = 60000);

    QString settingsPath() const { return home.ribbexConfigDir() + QStringLiteral("/ribbex.settings.v1.json"); }

    TempHome home;
};

} // namespace ribbex::test
