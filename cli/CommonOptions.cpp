#include "cli/CommonOptions.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "sim/Simulator.h"

namespace mofeng::cli {
namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, std::string_view name) {
    const auto found = std::find_if(specs.begin(), specs.end(),
                                    [&](const OptionSpec& wanted) { return wanted.name == name; });
    return found == specs.end() ? nullptr : &*found;
}

struct EndpointSource {
    std::string option;    // without "--"
    const char* variable;  // environment
    std::string net::EndpointConfig::*base;
};

const EndpointSource kEndpointSources[] = {
    {"search-url", "MOFENG_SEARCH_URL", &net::EndpointConfig::searchBase},
    {"index-url", "MOFENG_INDEX_URL", &net::EndpointConfig::indexBase},
    {"suggest-url", "MOFENG_SUGGEST_URL", &net::EndpointConfig::suggestBase},
};

}  // namespace

bool ParsedArguments::Has(std::string_view name) const {
    return flags.count(std::string(name)) > 0 || values.count(std::string(name)) > 0;
}

const std::string* ParsedArguments::Value(std::string_view name) const {
    const auto found = values.find(std::string(name));
    return found == values.end() ? nullptr : &found->second;
}

ParsedArguments ParseArguments(const std::vector<std::string>& args,
                               const std::vector<OptionSpec>& specs) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg[1] != '-') {
            parsed.error = "unknown option '" + arg + "'";
            return parsed;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? arg.npos : equals - 2);
        const OptionSpec* wanted = FindSpec(specs, name);
        if (wanted == nullptr) {
            parsed.error = "unknown option '--" + name + "'";
            return parsed;
        }
        if (wanted->valueName.empty()) {
            if (equals != std::string::npos) {
                parsed.error = "option '--" + name + "' takes no value";
                return parsed;
            }
            parsed.flags.insert(name);
        } else if (equals != std::string::npos) {
            parsed.values[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            parsed.values[name] = args[++i];
        } else {
            parsed.error = "option '--" + name + "' needs a value (" + wanted->valueName + ")";
            return parsed;
        }
    }
    return parsed;
}

std::string OptionsHelp(const std::vector<OptionSpec>& specs) {
    std::size_t width = 0;
    for (const OptionSpec& wanted : specs) {
        width = std::max(width, wanted.name.size() +
                                    (wanted.valueName.empty() ? 0 : 1 + wanted.valueName.size()));
    }
    std::string help;
    for (const OptionSpec& wanted : specs) {
        std::string left = "--" + wanted.name;
        if (!wanted.valueName.empty())
            left += " " + wanted.valueName;
        help += "  " + left + std::string(width + 2 + 3 - left.size(), ' ') + wanted.help + "\n";
    }
    return help;
}

std::vector<OptionSpec> CommonOptionSpecs() {
    return {
        {"search-url", "URL", "base URL of the search page server (http[s]://host[:port])"},
        {"index-url", "URL", "base URL of the trend index server"},
        {"suggest-url", "URL", "base URL of the suggestion server"},
        {"demo", "", "serve all three from a simulator inside this process (127.0.0.1)"},
        {"help", "", "show this help and exit"},
    };
}

std::string EndpointHelp() {
    const net::EndpointConfig defaults;
    return "Endpoints: the built-in defaults (" + defaults.searchBase + ", " + defaults.indexBase +
           ", " + defaults.suggestBase +
           ") are replaced by the variables MOFENG_SEARCH_URL, MOFENG_INDEX_URL and "
           "MOFENG_SUGGEST_URL, and those by the options; --demo overrides all three.\n";
}

EndpointSession::~EndpointSession() = default;

std::unique_ptr<EndpointSession> EndpointSession::Open(const ParsedArguments& args,
                                                       std::ostream& err,
                                                       std::string_view commandName,
                                                       int& exitCode) {
    std::unique_ptr<EndpointSession> session(new EndpointSession());
    for (const EndpointSource& source : kEndpointSources) {
        std::string given;
        std::string origin;
        if (const std::string* value = args.Value(source.option)) {
            given = *value;
            origin = "--" + source.option;
        } else if (const char* variable = std::getenv(source.variable);
                   variable != nullptr && !args.Has("demo")) {
            given = variable;
            origin = source.variable;
        } else {
            continue;
        }
        std::string base = net::NormalizeBaseUrl(given);
        if (base.empty()) {
            err << "mofeng-cli " << commandName << ": " << origin << ": '" << given
                << "' is not a usable base URL (expected http[s]://host[:port])\n";
            exitCode = kExitUsage;
            return nullptr;
        }
        session->m_config.*source.base = std::move(base);
    }
    if (args.Has("demo")) {
        session->m_simulator = std::make_unique<sim::Simulator>();
        if (!session->m_simulator->Start()) {
            err << "mofeng-cli " << commandName
                << ": the demo simulator could not listen on 127.0.0.1\n";
            exitCode = kExitFailure;
            return nullptr;
        }
        const std::string base = session->m_simulator->BaseUrl();
        session->m_config.searchBase = base;
        session->m_config.indexBase = base;
        session->m_config.suggestBase = base;
    }
    exitCode = kExitOk;
    return session;
}

}  // namespace mofeng::cli
