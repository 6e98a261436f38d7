#pragma once

// What the command line asks for.

#include <QString>
#include <QStringList>

#include <variant>

namespace ribbex {

struct PrintOnce {
    enum class Format { json };
    Format format = Format::json;
};
struct ShowHelp {
    QString text;
};
struct ShowVersion {
    QString text;
};
struct StartStrip {};
struct CommandLineError {
    QString message;
};

using Command = std::variant<StartStrip, PrintOnce, ShowHelp, ShowVersion, CommandLineError>;

Command parseCommandLine(const QStringList &arguments);

} // namespace ribbex
