#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "cli/CommonOptions.h"

namespace mofeng::cli {

// How one command reports what stops it, on its err stream as
// "mofeng-cli COMMAND: message", and the exit code that goes with it.
class CommandErrors final {
public:
    CommandErrors(std::string_view command, const CommandStreams& io)
        : m_command(command), m_io(io) {}

    // A wrong command line: the message and where the help is; kExitUsage.
    int Usage(const std::string& message) const;
    // The command could not do its work; kExitFailure.
    int Failure(const std::string& message) const;

private:
    std::string_view m_command;
    const CommandStreams& m_io;
};

// Empty when path can be created or replaced; otherwise why not. Checked
// before a run so that a long run is not wasted on an unwritable path.
std::string WhyUnwritable(const std::filesystem::path& path);

}  // namespace mofeng::cli
