#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "net/EndpointConfig.h"

namespace mofeng::sim {
class Simulator;
}

namespace mofeng::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;        // the command could not do its work
inline constexpr int kExitUsage = 2;          // the command line is wrong
inline constexpr int kExitTrouble = 3;        // done, but some fetches failed or were blocked
inline constexpr int kExitInterrupted = 130;  // stopped by Ctrl-C

// Where a command writes. Texts on both streams are UTF-8.
struct CommandStreams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;  // progress is drawn only on a terminal
};

// One option of a command: "--name" alone (a flag, when valueName is empty)
// or "--name VALUE" / "--name=VALUE".
struct OptionSpec {
    std::string name;  // without the leading "--"
    std::string valueName;
    std::string help;
};

// A command line split by a command's options. "--" ends the options; a lone
// "-" is a positional argument. Later values of an option replace earlier ones.
struct ParsedArguments {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> positionals;
    std::string error;  // non-empty: the line is unusable (unknown option, missing value)

    bool Has(std::string_view name) const;
    // nullptr when the option was not given.
    const std::string* Value(std::string_view name) const;
};

ParsedArguments ParseArguments(const std::vector<std::string>& args,
                               const std::vector<OptionSpec>& specs);

// The options as help lines: "  --name VALUE   help", one per option.
std::string OptionsHelp(const std::vector<OptionSpec>& specs);

// Options every network command takes: the three URLs, --demo, the fetch
// settings (retries, pacing, cookies, proxy, timeouts) and --help.
std::vector<OptionSpec> CommonOptionSpecs();
// What the endpoint options and variables mean, for a command's --help.
std::string EndpointHelp();

// The endpoints a command talks to and the fetch settings of the process, by
// net::ResolveRunSettings (explicit options over --demo over the environment
// over the defaults). With --demo a simulator runs inside this process
// (127.0.0.1, an ephemeral port) for as long as the session lives and serves
// the endpoints no URL option names.
class EndpointSession final {
public:
    ~EndpointSession();
    EndpointSession(const EndpointSession&) = delete;
    EndpointSession& operator=(const EndpointSession&) = delete;

    // Validates every setting, applies the fetch settings and empties the
    // process's cookie jar (the login cookies come from the settings). On failure
    // returns nullptr, writes the reason to err and sets exitCode: kExitUsage
    // for a malformed value, kExitFailure when the simulator cannot start.
    static std::unique_ptr<EndpointSession> Open(const ParsedArguments& args, std::ostream& err,
                                                 std::string_view commandName, int& exitCode);

    const net::EndpointConfig& Config() const { return m_config; }

private:
    EndpointSession() = default;

    net::EndpointConfig m_config;
    std::unique_ptr<sim::Simulator> m_simulator;
};

}  // namespace mofeng::cli
