#include "cli/MineCommand.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>

#include "cli/CommandErrors.h"
#include "cli/InterruptScope.h"
#include "cli/JobsOption.h"
#include "cli/Progress.h"
#include "cli/TextField.h"
#include "mining/KeywordExport.h"
#include "mining/MiningCommands.h"
#include "mining/MiningList.h"
#include "mining/MiningRun.h"
#include "mining/MiningTexts.h"
#include "query/SuggestWeight.h"
#include "runtime/AtomicFile.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "runtime/PathText.h"
#include "runtime/platform/Files.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCommand = "mine";

std::vector<OptionSpec> MineOptionSpecs() {
    std::vector<OptionSpec> specs = CommonOptionSpecs();
    specs.insert(specs.end() - 1,
                 {{"must", "TEXT",
                   "text every keyword must contain: one Chinese character, or "
                   "one or two ASCII characters (required)"},
                  {"levels", "1|2|3", "suggestion levels to expand (default 3)"},
                  {"tags", "",
                   "also offer each expanded keyword + each tag of its suggestion reply "
                   "(联想标签)"},
                  {"out", "FILE", "write the keyword file (GBK, CR LF) instead of stdout"},
                  {"weights", "",
                   "add a tab and 联想热度 to each line of stdout: the latest weight a "
                   "suggestion reply of the run gave the keyword, rounded (no request of its "
                   "own; empty when no reply named it)"},
                  JobsOptionSpec()});
    return specs;
}

// "expansions: 正常 3, 无数据 1, 失败 0, 被拦截 0" (UTF-8).
std::string ExpansionSummary(const mining::MiningProgress& progress) {
    std::string line = "expansions:";
    const char* separator = " ";
    for (const auto outcome : {net::LookupOutcome::Normal, net::LookupOutcome::NoData,
                               net::LookupOutcome::Failed, net::LookupOutcome::Blocked}) {
        line += separator + runtime::GbkToUtf8(std::string(net::OutcomeText(outcome))) + " " +
                std::to_string(progress.Count(outcome));
        separator = ", ";
    }
    return line;
}

class ProgressObserver final : public mining::MiningObserver {
public:
    ProgressObserver(ProgressLine& line, int levels) : m_line(line), m_levels(levels) {}
    // The sink whose bar the line shows; set before the run starts.
    void Watch(const mining::TableMiningSink& sink) { m_sink = &sink; }

    void Progressed(const mining::MiningProgress& p) override {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        std::string text;
        if (p.stage == 1) {
            text = "related searches, pass " + std::to_string(p.step) + "/4";
        } else {
            text = "suggestions, level " + std::to_string(p.step) + "/" + std::to_string(m_levels) +
                   " " + ProgressBarText(m_sink->Position(), m_sink->Maximum(), 20);
        }
        char rate[48];
        std::snprintf(rate, sizeof rate, "%.1f requests/s",
                      seconds > 0 ? static_cast<double>(p.requests) / seconds : 0.0);
        text += "  " + std::to_string(p.accepted) + " keywords  " + std::to_string(p.requests) +
                " requests  " + rate;
        m_line.Show(text);
    }

private:
    ProgressLine& m_line;
    const mining::TableMiningSink* m_sink = nullptr;
    const int m_levels;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace

std::string MineCommandHelp() {
    return "Usage: mofeng-cli mine [options] --must TEXT SEED\n"
           "\n"
           "Expands SEED as the mining window does: four passes over the related-search\n"
           "links of the search page, then one to three levels of suggestions, keeping the\n"
           "keywords that contain TEXT. SEED and TEXT are UTF-8 (SEED may be empty).\n"
           "Writes one line per keyword, its running number, a tab and the keyword (UTF-8;\n"
           "with --weights a tab and its 联想热度 after it),\n"
           "or with --out the keyword file (GBK, every keyword ended by CR LF). On a\n"
           "terminal, stderr shows the stage, the level, the keywords and requests so far\n"
           "and the request rate.\n"
           "\n"
           "Options:\n" +
           OptionsHelp(MineOptionSpecs()) + "\n" + EndpointHelp() +
           "\n"
           "A summary of the expansions' outcomes goes to stderr; after 3 expansions in a row\n"
           "met a login or verification page the run stops.\n"
           "Exit codes: 3 done but some expansions failed or were blocked; 0 done, 1 the\n"
           "output cannot be written or the demo server cannot\n"
           "start, 2 a usage error (missing, empty or too long --must, bad --levels,\n"
           "malformed URL, bad --jobs, no SEED), 130 interrupted (the keywords found so far are "
           "still\n"
           "written).\n";
}

int RunMineCommand(const std::vector<std::string>& args, const CommandStreams& io) {
    const ParsedArguments parsed = ParseArguments(args, MineOptionSpecs());
    const CommandErrors errors(kCommand, io);
    if (!parsed.error.empty()) {
        return errors.Usage(parsed.error);
    }
    if (parsed.Has("help")) {
        io.out << MineCommandHelp();
        return kExitOk;
    }
    if (parsed.positionals.size() != 1) {
        return errors.Usage(parsed.positionals.empty() ? "missing SEED" : "one SEED expected");
    }
    const std::string& seedUtf8 = parsed.positionals[0];
    const std::string* mustUtf8 = parsed.Value("must");
    if (!runtime::IsValidUtf8(seedUtf8) || (mustUtf8 && !runtime::IsValidUtf8(*mustUtf8))) {
        return errors.Usage("SEED and --must must be UTF-8");
    }
    const std::string must = mustUtf8 ? runtime::Utf8ToGbk(*mustUtf8) : std::string();
    if (must.empty()) {
        io.err << runtime::GbkToUtf8(mining::MustContainMissingMessage()) << "\n";
        return kExitUsage;
    }
    if (mining::IsMustContainTooLong(must)) {
        io.err << runtime::GbkToUtf8(mining::MustContainTooLongMessage()) << "\n";
        return kExitUsage;
    }
    int levels = 3;
    if (const std::string* value = parsed.Value("levels")) {
        if (*value != "1" && *value != "2" && *value != "3") {
            return errors.Usage("--levels takes 1, 2 or 3");
        }
        levels = (*value)[0] - '0';
    }
    const std::string* out = parsed.Value("out");
    if (out != nullptr && out->empty()) {
        return errors.Usage("--out needs a file name");
    }
    if (out != nullptr) {
        if (std::string why = WhyUnwritable(runtime::PathFromUtf8(*out)); !why.empty()) {
            return errors.Failure("cannot write '" + *out + "': " + why);
        }
    }

    std::string jobsError;
    const std::optional<int> jobs = ParseJobs(parsed, jobsError);
    if (!jobs) {
        return errors.Usage(jobsError);
    }

    int exitCode = kExitOk;
    const auto endpoints = EndpointSession::Open(parsed, io.err, kCommand, exitCode);
    if (!endpoints) {
        return exitCode;
    }

    mining::MiningState state;
    auto lease = state.TryBeginRun();
    runtime::MemoryTable list(mining::MiningListColumns());
    const mining::LiveMiningInputs inputs(must, levels - 1);
    runtime::CancelToken cancel;
    mining::MiningProgress progress;
    std::vector<std::string> weights;  // per row, with --weights
    {
        InterruptScope interrupt(cancel);
        ProgressLine line(io.err, io.errIsTerminal);
        ProgressObserver observer(line, levels);
        mining::TableMiningSink sink(list, &observer);
        if (parsed.Has("weights")) {
            sink.KeepWeights();
        }
        observer.Watch(sink);
        mining::MiningRun run(*lease, {endpoints->Config(), *jobs, parsed.Has("tags")}, inputs,
                              sink, cancel);
        if (run.RelatedSearchStage(runtime::Utf8ToGbk(seedUtf8))) {
            run.SuggestionStage();
        }
        progress = run.Progress();
        if (parsed.Has("weights")) {
            for (const std::string& keyword : list.ColumnTexts(mining::kKeywordColumn)) {
                weights.push_back(query::SuggestWeightDisplay(sink.WeightOf(keyword)));
            }
        }
    }
    if (cancel.IsCancelled()) {
        io.err << "mofeng-cli mine: interrupted\n";
    }
    if (list.RowCount() >= mining::kMaxMiningRows) {
        io.err << "mofeng-cli mine: stopped at the row limit (" << mining::kMaxMiningRows
               << " rows)\n";
    }
    if (progress.stoppedForBlocked) {
        io.err << "mofeng-cli mine: stopped: Taobao asks for a login or verification (several "
                  "expansions in a row were redirected to it); give your login with "
                  "--cookie-file or --cookie, or ask more slowly with --delay-ms\n";
    }
    io.err << "mofeng-cli mine: " << ExpansionSummary(progress) << "\n";
    const int doneCode = cancel.IsCancelled()                                  ? kExitInterrupted
                         : progress.AnyTrouble() || progress.stoppedForBlocked ? kExitTrouble
                                                                               : kExitOk;

    if (out != nullptr) {
        if (!runtime::WriteFileAtomically(runtime::PathFromUtf8(*out), mining::ExportText(list))) {
            return errors.Failure("cannot write '" + *out + "'");
        }
        if (io.errIsTerminal) {
            io.err << list.RowCount() << " keywords written to " << *out << "\n";
        }
    } else {
        const std::vector<runtime::Row> rows = list.Rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            io.out << rows[i][mining::kNumberColumn] << '\t'
                   << TextField(rows[i][mining::kKeywordColumn]);
            if (i < weights.size()) {
                io.out << '\t' << weights[i];
            }
            io.out << '\n';
        }
        io.out.flush();
        if (!io.out) {
            return errors.Failure("cannot write to stdout");
        }
    }
    return doneCode;
}

}  // namespace mofeng::cli
