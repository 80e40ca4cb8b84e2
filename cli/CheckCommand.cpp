#include "cli/CheckCommand.h"

#include <ostream>

#include "app/EndpointCheck.h"
#include "cli/CommandErrors.h"
#include "cli/InterruptScope.h"
#include "net/FetchSettings.h"
#include "runtime/CodePage.h"

namespace mofeng::cli {
namespace {

constexpr std::string_view kCommand = "check";

std::vector<OptionSpec> CheckOptionSpecs() {
    std::vector<OptionSpec> specs = CommonOptionSpecs();
    specs.insert(specs.end() - 1, {"json", "", "print the verdicts as one JSON array"});
    return specs;
}

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& utf8) {
    std::string quoted = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            quoted += "\\u00";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 15];
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Utf8(std::string_view gbk) {
    return runtime::GbkToUtf8(std::string(gbk));
}

void WriteLines(const std::vector<app::EndpointCheckResult>& results, std::ostream& out) {
    for (const app::EndpointCheckResult& result : results) {
        out << Utf8(app::EndpointName(result.endpoint)) << "\t"
            << Utf8(app::VerdictText(result.verdict)) << "\t" << Utf8(result.reason) << "\t"
            << result.url << "\n";
    }
}

void WriteJson(const std::vector<app::EndpointCheckResult>& results, std::ostream& out) {
    out << "[";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const app::EndpointCheckResult& result = results[i];
        out << (i == 0 ? "\n" : ",\n")
            << "  {\"endpoint\": " << JsonString(std::string(app::EndpointKey(result.endpoint)))
            << ", \"url\": " << JsonString(result.url)
            << ", \"verdict\": " << JsonString(Utf8(app::VerdictText(result.verdict)))
            << ", \"usable\": "
            << (result.verdict == app::EndpointVerdict::Usable ? "true" : "false")
            << ", \"reason\": " << JsonString(Utf8(result.reason)) << "}";
    }
    out << "\n]\n";
}

}  // namespace

std::string CheckCommandHelp() {
    return "Usage: mofeng-cli check [options]\n"
           "\n"
           "Asks the search page, the trend index and the suggestion endpoint once each for\n"
           "the keyword 女装 and prints one line per endpoint: its name, the verdict, the\n"
           "reason and the address asked (tab-separated). The verdicts: 可用 (the value the\n"
           "query reads is there), 需要登录 (a login or verification page: give your login\n"
           "with --cookie-file or --cookie), 格式已变 (a reply without that value), 无法连接\n"
           "(no usable reply, with the reason), 已停用 (the host does not resolve, or the\n"
           "address answers 404). Nothing else is sent, nothing is retried, and no cookie\n"
           "is printed.\n"
           "\n"
           "Options:\n" +
           OptionsHelp(CheckOptionSpecs()) + "\n" + EndpointHelp() +
           "\n"
           "Exit codes: 0 all three are usable, 1 the demo server cannot start, 2 a usage\n"
           "error, 3 at least one endpoint is not usable, 130 interrupted.\n";
}

int RunCheckCommand(const std::vector<std::string>& args, const CommandStreams& io) {
    const ParsedArguments parsed = ParseArguments(args, CheckOptionSpecs());
    const CommandErrors errors("check", io);
    if (!parsed.error.empty()) {
        return errors.Usage(parsed.error);
    }
    if (!parsed.positionals.empty()) {
        return errors.Usage("unexpected argument '" + parsed.positionals[0] + "'");
    }
    if (parsed.Has("help")) {
        io.out << CheckCommandHelp();
        return kExitOk;
    }
    int exitCode = kExitOk;
    const auto endpoints = EndpointSession::Open(parsed, io.err, kCommand, exitCode);
    if (!endpoints) {
        return exitCode;
    }

    runtime::CancelToken cancel;
    std::vector<app::EndpointCheckResult> results;
    {
        InterruptScope interrupt(cancel);
        results = app::CheckEndpoints(endpoints->Config(), *net::CurrentFetchSettings(), &cancel);
    }
    if (cancel.IsCancelled()) {
        return kExitInterrupted;
    }
    if (parsed.Has("json")) {
        WriteJson(results, io.out);
    } else {
        WriteLines(results, io.out);
    }
    return app::AllUsable(results) ? kExitOk : kExitTrouble;
}

}  // namespace mofeng::cli
