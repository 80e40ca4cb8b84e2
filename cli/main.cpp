#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CheckCommand.h"
#include "cli/CommonOptions.h"
#include "cli/HistoryCommand.h"
#include "cli/MineCommand.h"
#include "cli/QueryCommand.h"
#include "runtime/BuildInfo.h"
#include "runtime/platform/ProcessStartup.h"

namespace {

using mofeng::cli::CommandStreams;

struct Command {
    std::string_view name;
    std::string_view summary;
    int (*run)(const std::vector<std::string>& args, const CommandStreams& io);
};

const Command kCommands[] = {
    {"query", "fill in the index figures of a keyword file", mofeng::cli::RunQueryCommand},
    {"mine", "expand a seed into related keywords that contain a given text",
     mofeng::cli::RunMineCommand},
    {"check", "ask each endpoint once and say whether it still answers as expected",
     mofeng::cli::RunCheckCommand},
    {"history", "print the observations recorded by query --record and the GUI",
     mofeng::cli::RunHistoryCommand},
};

void PrintHelp(std::ostream& out) {
    out << "Usage: mofeng-cli COMMAND [options] ...\n\nCommands:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.name << std::string(10 - command.name.size(), ' ') << command.summary
            << "\n";
    }
    out << "\n'mofeng-cli COMMAND --help' describes a command and its options.\n"
           "'mofeng-cli --version' prints the version.\n";
}

}  // namespace

int main(int argc, char** argv) {
    mofeng::runtime::platform::PrepareConsole();
    const std::vector<std::string> args = mofeng::runtime::platform::Utf8Arguments(argc, argv);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(args.empty() ? std::cerr : std::cout);
        return args.empty() ? mofeng::cli::kExitUsage : mofeng::cli::kExitOk;
    }
    if (args[0] == "--version") {
        std::cout << "mofeng-cli " << mofeng::runtime::kVersion << "\n";
        return mofeng::cli::kExitOk;
    }
    const CommandStreams io{std::cout, std::cerr,
                            mofeng::runtime::platform::StandardErrorIsTerminal()};
    for (const Command& command : kCommands) {
        if (args[0] == command.name) {
            return command.run({args.begin() + 1, args.end()}, io);
        }
    }
    std::cerr << "mofeng-cli: unknown command '" << args[0] << "'\n";
    PrintHelp(std::cerr);
    return mofeng::cli::kExitUsage;
}
