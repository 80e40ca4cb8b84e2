#include "sim/SimulatorProgram.h"

#include <cstdio>
#include <functional>
#include <map>

#include "runtime/BuildInfo.h"
#include "runtime/platform/ProcessStartup.h"

namespace mofeng::sim {
namespace {

bool ParseInteger(const std::string& text, long long low, long long high, long long& out) {
    if (text.empty()) {
        return false;
    }
    std::size_t used = 0;
    try {
        out = std::stoll(text, &used, 10);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size() && out >= low && out <= high;
}

bool ParseRate(const std::string& text, double& out) {
    if (text.empty()) {
        return false;
    }
    std::size_t used = 0;
    try {
        out = std::stod(text, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size() && out >= 0.0 && out <= 1.0;
}

}  // namespace

std::string SimulatorUsage() {
    return "Usage: mofeng-sim [options]\n"
           "Serves the search page, trend index and suggestion endpoints and the signed h5\n"
           "search call on 127.0.0.1\n"
           "with deterministic data, until SIGINT or SIGTERM.\n\n"
           "  --port N          port to listen on; 0 (default) picks a free one\n"
           "  --seed N          data seed (default 1)\n"
           "  --fanout N        1..8, size of the keyword graph (default 1)\n"
           "  --latency-ms N    delay before every reply (default 0)\n"
           "  --log FILE        one line per request: seconds since start, method, target,\n"
           "                    version, User-Agent, Accept, Cookie, outcome (tab-separated)\n"
           "  --fail-rate R     fraction of endpoint requests answered with 500\n"
           "  --drop-rate R     fraction whose connection is closed mid-body\n"
           "  --stall-rate R    fraction that get headers, then silence\n"
           "  --garbage-rate R  fraction answered with random bytes\n"
           "  --rate-limit R    above R endpoint requests per second: 429, Retry-After 1\n"
           "  --block-after N   endpoint requests after the Nth are redirected to the\n"
           "                    login page " +
           std::string(kSimLoginPath) +
           "\n"
           "  --require-cookie NAME=VALUE\n"
           "                    requests without this cookie are redirected to it too\n"
           "  --h5-token-ttl S  h5 search tokens older than S seconds are refused as\n"
           "                    expired (default 0: never); past --block-after the h5\n"
           "                    call answers RGV587_ERROR\n"
           "  --suggest-counts integer|decimal\n"
           "                    how suggestion counts are written (default integer)\n"
           "  --suggest-self on|off\n"
           "                    suggestion replies start with the keyword itself and its\n"
           "                    weight, as 联想热度 reads it (default off)\n"
           "  --tls-cert FILE   serve HTTPS with this PEM certificate chain (and --tls-key)\n"
           "  --tls-key FILE    the certificate's PEM private key\n"
           "  --upgrade-port N  with TLS: also plain HTTP on port N (0: a free one) that\n"
           "                    redirects every request to the same target over HTTPS\n"
           "  --today           answer as today's servers do: HTTPS (a test authority made\n"
           "                    at start unless --tls-cert is given; its file is printed)\n"
           "                    with an upgrade port (a free one unless --upgrade-port),\n"
           "                    the trend path gone (404), the search page behind a login\n"
           "                    (any cookie but mfsim, or --require-cookie) and without\n"
           "                    the listing count, suggestions with decimals and tags\n"
           "  --help            show this text\n"
           "  --version         show the version\n\n"
           "Prints \"listening on http://127.0.0.1:PORT\" (https:// with TLS) once it serves,\n"
           "then \"upgrading on http://127.0.0.1:PORT\" for an upgrade port. Log lines end in\n"
           "\"conn=N\", the number of the connection the request came on.\n";
}

ParsedArguments ParseSimulatorArguments(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    SimulatorOptions& o = parsed.options;
    auto integer = [](long long low, long long high, auto assign) {
        return [=](const std::string& value) {
            long long n = 0;
            if (!ParseInteger(value, low, high, n)) {
                return false;
            }
            assign(n);
            return true;
        };
    };
    auto rate = [](double& target) {
        return [&target](const std::string& value) { return ParseRate(value, target); };
    };
    const std::map<std::string, std::function<bool(const std::string&)>> setters = {
        {"--port", integer(0, 65535, [&o](long long n) { o.port = static_cast<int>(n); })},
        {"--seed",
         [&o](const std::string& value) {
             if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) {
                 return false;
             }
             try {
                 o.seed = std::stoull(value);
             } catch (const std::exception&) {
                 return false;
             }
             return true;
         }},
        {"--fanout", integer(1, 8, [&o](long long n) { o.fanout = static_cast<int>(n); })},
        {"--latency-ms",
         integer(0, 600000, [&o](long long n) { o.latencyMs = static_cast<int>(n); })},
        {"--log",
         [&o](const std::string& value) {
             o.logPath = value;
             return !value.empty();
         }},
        {"--fail-rate", rate(o.failRate)},
        {"--drop-rate", rate(o.dropRate)},
        {"--stall-rate", rate(o.stallRate)},
        {"--garbage-rate", rate(o.garbageRate)},
        {"--rate-limit",
         [&o](const std::string& value) {
             char* end = nullptr;
             o.rateLimit = std::strtod(value.c_str(), &end);
             return !value.empty() && end != nullptr && *end == '\0';
         }},
        {"--block-after",
         integer(0, 1000000000LL,
                 [&o](long long n) { o.blockAfter = static_cast<std::uint64_t>(n); })},
        {"--require-cookie",
         [&o](const std::string& value) {
             o.requireCookie = value;
             return !value.empty();
         }},
        {"--h5-token-ttl",
         integer(0, 86400, [&o](long long n) { o.h5TokenTtlS = static_cast<int>(n); })},
        {"--tls-cert",
         [&o](const std::string& value) {
             o.tlsCertFile = value;
             return !value.empty();
         }},
        {"--tls-key",
         [&o](const std::string& value) {
             o.tlsKeyFile = value;
             return !value.empty();
         }},
        {"--upgrade-port",
         integer(0, 65535, [&o](long long n) { o.upgradePort = static_cast<int>(n); })},
        {"--suggest-counts",
         [&o](const std::string& value) {
             o.decimalCounts = value == "decimal";
             return value == "decimal" || value == "integer";
         }},
        {"--suggest-self",
         [&o](const std::string& value) {
             o.suggestSelf = value == "on";
             return value == "on" || value == "off";
         }},
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        if (name == "--help" || name == "-h") {
            parsed.help = true;
            continue;
        }
        if (name == "--version") {
            parsed.version = true;
            continue;
        }
        if (name == "--today") {
            o.today = true;
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (const std::size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        }
        const auto setter = setters.find(name);
        if (setter == setters.end()) {
            parsed.error = "unknown option " + arguments[i];
            return parsed;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                parsed.error = "missing value for " + name;
                return parsed;
            }
            value = arguments[++i];
        }
        if (!setter->second(value)) {
            parsed.error = "bad value for " + name + ": " + value;
            return parsed;
        }
    }
    if (o.today) {
        o.testAuthority = o.tlsCertFile.empty();
        o.upgradePort = o.upgradePort < 0 ? 0 : o.upgradePort;
    }
    if (parsed.error.empty()) {
        parsed.error = ValidateSimulatorOptions(o);
    }
    return parsed;
}

int RunSimulatorProgram(int argc, char** argv) {
    const ParsedArguments parsed =
        ParseSimulatorArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (parsed.help) {
        std::fputs(SimulatorUsage().c_str(), stdout);
        return 0;
    }
    if (parsed.version) {
        std::printf("mofeng-sim %s\n", runtime::kVersion);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "mofeng-sim: %s\n\n%s", parsed.error.c_str(),
                     SimulatorUsage().c_str());
        return 2;
    }
    runtime::platform::PrepareConsole();
    // Before any thread starts, so that only the wait below sees them.
    runtime::platform::BlockStopRequests();

    Simulator simulator(parsed.options);
    if (!simulator.Start()) {
        std::fprintf(stderr,
                     "mofeng-sim: cannot listen on 127.0.0.1:%d, open the log or use the TLS "
                     "files\n",
                     parsed.options.port);
        return 1;
    }
    std::printf("listening on %s\n", simulator.BaseUrl().c_str());
    if (!simulator.UpgradeBaseUrl().empty()) {
        std::printf("upgrading on %s\n", simulator.UpgradeBaseUrl().c_str());
    }
    if (!simulator.TestAuthorityCaFile().empty()) {
        std::printf("trust %s (--ca-file)\n", simulator.TestAuthorityCaFile().c_str());
    }
    std::fflush(stdout);
    runtime::platform::WaitForStopRequest();
    simulator.Stop();
    return 0;
}

}  // namespace mofeng::sim
