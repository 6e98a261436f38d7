#pragma once

// What the command line asks for.

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace ribbex {

// Refresh every enabled source once, then print the ticker and/or paint it into a PNG.
struct RunOnce {
    enum class Format { text, json };

    bool print = true;
    Format format = Format::text;
    std::optional<QString> renderFile;
    std::optional<int> renderWidth; // logical pixels; the width setting when absent
    double renderScale = 1.0;
    bool refresh = true; // --render alone paints what is stored, without refreshing
};
// Keep running and print the ticker each time it changes, for a status bar.
struct RunFollow {
    enum class Format { text, json, waybar };

    Format format = Format::text;
    double interval = 5; // seconds between the items Waybar's line rotates through

    bool operator==(const RunFollow &) const = default;
};
struct ShowHelp {
    QString text;
};
struct ShowVersion {
    QString text;
};
// Start the strip, or hand over to the one running; urls are ribbex:// links to handle.
struct StartStrip {
    QStringList urls;
};
struct CommandLineError {
    QString message;
};

using Command = std::variant<StartStrip, RunOnce, RunFollow, ShowHelp, ShowVersion, CommandLineError>;

Command parseCommandLine(const QStringList &arguments);

} // namespace ribbex
