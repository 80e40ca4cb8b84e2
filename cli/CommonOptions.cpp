#include "cli/CommonOptions.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "net/CookieJar.h"
#include "net/RunSettings.h"
#include "sim/Simulator.h"

namespace mofeng::cli {
namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, std::string_view name) {
    const auto found = std::find_if(specs.begin(), specs.end(),
                                    [&](const OptionSpec& wanted) { return wanted.name == name; });
    return found == specs.end() ? nullptr : &*found;
}

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
        if (!wanted.valueName.empty()) {
            left += " " + wanted.valueName;
        }
        help += "  " + left + std::string(width + 2 + 3 - left.size(), ' ') + wanted.help + "\n";
    }
    return help;
}

std::vector<OptionSpec> CommonOptionSpecs() {
    return {
        {"search-url", "URL", "base URL of the search page server (http[s]://host[:port])"},
        {"index-url", "URL", "base URL of the trend index server"},
        {"suggest-url", "URL", "base URL of the suggestion server"},
        {"search-source", "page|h5", "listing count from the search page (default) or h5 call"},
        {"h5-url", "URL", "base URL of the signed h5 search call's server"},
        {"h5-api", "NAME", "the h5 call's API name"},
        {"h5-app-key", "N", "the h5 call's appKey (default 12574478)"},
        {"h5-app-id", "N", "the h5 call's appId (default 34385)"},
        {"demo", "", "serve all three from a simulator inside this process (127.0.0.1)"},
        {"https", "", "with --demo: serve it over HTTPS, trusting a test authority made at start"},
        {"today", "",
         "with --demo: answer as today's servers do (HTTP upgraded to HTTPS, search behind "
         "a login, no trend endpoint)"},
        {"retries", "N", "extra tries of a failed fetch, 0 to 10 (default 2)"},
        {"delay-ms", "N", "least time between request starts per host, ms (default 0)"},
        {"cookie-file", "FILE", "send the login cookies of this cookies.txt file"},
        {"cookie", "TEXT", "send this Cookie header (\"a=1; b=2\"); never printed"},
        {"proxy", "URL", "fetch through this http://, https:// or socks5:// proxy"},
        {"ca-file", "FILE",
         "trust the certificate authorities of this PEM file too (networks that inspect TLS)"},
        {"connect-timeout-s", "N", "give up a connection after N seconds (default 30)"},
        {"stall-timeout-s", "N",
         "give up a reply that sends under 100 bytes in N seconds (default 60)"},
        {"help", "", "show this help and exit"},
    };
}

std::string EndpointHelp() {
    const net::EndpointConfig defaults;
    return "Endpoints: the built-in defaults (" + defaults.searchBase + ", " + defaults.indexBase +
           ", " + defaults.suggestBase +
           ") are replaced by the variables MOFENG_SEARCH_URL, MOFENG_INDEX_URL and "
           "MOFENG_SUGGEST_URL (and MOFENG_H5_URL for " +
           defaults.h5Base +
           "), those by --demo, and all of these by an explicit URL option.\n"
           "A malformed URL, number, proxy or cookie is a usage error. Cookies are sent to the\n"
           "endpoints only and never printed; a failed fetch is retried with a growing, random\n"
           "pause (honouring Retry-After), and a host that answers 429 or a login page is\n"
           "asked more slowly.\n";
}

EndpointSession::~EndpointSession() = default;

std::unique_ptr<EndpointSession> EndpointSession::Open(const ParsedArguments& args,
                                                       std::ostream& err,
                                                       std::string_view commandName,
                                                       int& exitCode) {
    net::SettingsSources sources;
    auto take = [&](const char* option, std::optional<std::string>& target) {
        if (const std::string* value = args.Value(option)) {
            target = *value;
        }
    };
    take("search-url", sources.searchUrl);
    take("index-url", sources.indexUrl);
    take("suggest-url", sources.suggestUrl);
    take("search-source", sources.searchSource);
    take("h5-url", sources.h5Url);
    take("h5-api", sources.h5Api);
    take("h5-app-key", sources.h5AppKey);
    take("h5-app-id", sources.h5AppId);
    take("retries", sources.retries);
    take("delay-ms", sources.delayMs);
    take("cookie-file", sources.cookieFile);
    take("cookie", sources.cookie);
    take("proxy", sources.proxy);
    take("ca-file", sources.caFile);
    take("connect-timeout-s", sources.connectTimeoutS);
    take("stall-timeout-s", sources.stallTimeoutS);
    sources.demo = args.Has("demo");
    if ((args.Has("https") || args.Has("today")) && !sources.demo) {
        err << "mofeng-cli " << commandName << ": --" << (args.Has("https") ? "https" : "today")
            << " needs --demo\n";
        exitCode = kExitUsage;
        return nullptr;
    }

    std::unique_ptr<EndpointSession> session(new EndpointSession());
    net::RunSettings settings;
    std::string error;
    if (!net::ResolveRunSettings(sources, net::ProcessEnvironment(), settings, error)) {
        err << "mofeng-cli " << commandName << ": " << error << "\n";
        exitCode = kExitUsage;
        return nullptr;
    }
    if (settings.NeedsDemo()) {
        const sim::SimulatorOptions demo = sim::DemoOptions(args.Has("https"), args.Has("today"));
        session->m_simulator = std::make_unique<sim::Simulator>(demo);
        if (!session->m_simulator->Start()) {
            err << "mofeng-cli " << commandName
                << ": the demo simulator could not listen on 127.0.0.1"
                << (demo.testAuthority ? " with its test authority\n" : "\n");
            exitCode = kExitFailure;
            return nullptr;
        }
        settings.UseDemoBase(sim::DemoBase(*session->m_simulator));
        if (demo.testAuthority) {
            settings.fetch.caFile = session->m_simulator->TestAuthorityCaFile();
        }
    }
    settings.Apply();
    // What servers set belongs to one command: a command run after another in
    // the same process (a test, a script host) starts as a new process would.
    net::ProcessCookieJar().Clear();
    session->m_config = settings.endpoints;
    exitCode = kExitOk;
    return session;
}

}  // namespace mofeng::cli
