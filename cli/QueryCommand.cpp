#include "cli/QueryCommand.h"

#include <filesystem>
#include <numeric>
#include <ostream>

#include "app/CellDisplayText.h"
#include "app/ExportFormats.h"
#include "app/HistoryRows.h"
#include "app/HistoryTexts.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/MarketCells.h"
#include "app/MarketFigures.h"
#include "cli/CommandErrors.h"
#include "cli/HistoryDatabase.h"
#include "cli/InterruptScope.h"
#include "cli/JobsOption.h"
#include "cli/Progress.h"
#include "cli/TextField.h"
#include "query/IndexQueryRun.h"
#include "query/ProgressEstimate.h"
#include "query/RowOutcome.h"
#include "query/SuggestWeight.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "runtime/ParallelRun.h"
#include "runtime/PathText.h"
#include "runtime/platform/FileKind.h"
#include "runtime/platform/Files.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCommand = "query";

std::vector<OptionSpec> QueryOptionSpecs() {
    std::vector<OptionSpec> specs = CommonOptionSpecs();
    specs.insert(
        specs.end() - 1,
        {{"out", "FILE", "write the list to FILE instead of stdout: .xlsx, .csv, else .xls"},
         {"sheet", "NAME|N",
          "take the keywords from this sheet of a workbook (its name or 1-based number)"},
         JobsOptionSpec(),
         {"record", "", "record every row with figures in the history (see 'mofeng-cli history')"},
         {"db", "FILE", "the history database for --record (default: the GUI's)"},
         {"as-of", "YYYY-MM-DD", "the day --record files the rows under (default: today)"},
         {"suggest-weight", "", "also ask the suggestion service for each keyword's 联想热度"}});
    return specs;
}

// Empty when the file can be read; otherwise why not. Never opens it, so a
// FIFO cannot block here.
std::string WhyUnreadable(const fs::path& path) {
    std::string problem;
    const runtime::platform::FileKind kind = runtime::platform::KindOfFile(path, &problem);
    if (kind == runtime::platform::FileKind::Missing) {
        return problem;
    }
    if (kind == runtime::platform::FileKind::Directory) {
        return "is a directory";
    }
    if (kind != runtime::platform::FileKind::Regular) {
        return app::ImportProblemEnglish(app::ImportProblem::NotRegularFile);
    }
    return runtime::platform::ReadAccessProblem(path);
}

class ProgressObserver final : public query::QueryObserver {
public:
    ProgressObserver(ProgressLine& line, int total) : m_line(line), m_estimate(total) {
        m_line.Show(ProgressBarText(0, total), true);
    }

    void RowFinished(int rowsDone, int rowsTotal) override {
        m_estimate.Update(rowsDone);
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f rows/s", m_estimate.Rate());
        std::string text = ProgressBarText(rowsDone, rowsTotal) + "  " + rate;
        if (const auto left = m_estimate.TimeLeft()) {
            text += "  " + query::DurationText(*left) + " left";
        }
        m_line.Show(text, rowsDone == rowsTotal);
    }

private:
    ProgressLine& m_line;
    query::ProgressEstimate m_estimate;
};

// A cell of the text table: the list's display text, 未查询 for a row the
// run did not reach, a market figure as plain decimals ("1.2万" is 12000).
std::string TsvCell(const runtime::Row& row, int column) {
    const std::string& text = row[static_cast<std::size_t>(column)];
    if (column == query::kOutcomeColumn && text.empty()) {
        return std::string(query::RowOutcomeText(query::RowOutcome::NotQueried));
    }
    const bool market = column >= columns::Index(columns::MarketColumn(0)) &&
                        column < columns::Index(columns::MarketColumn(0)) +
                                     static_cast<int>(columns::kMarketColumnCount);
    if (market) {
        if (const std::optional<app::MarketValue> value = app::ParseMarketValue(text)) {
            return app::MarketValueText(*value);
        }
    }
    return std::string(app::CellDisplayText(column, text));
}

// The given columns of every row, captions first.
void WriteTsv(runtime::MemoryTable& table, const std::vector<int>& columns, std::ostream& out) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        out << (i ? "\t" : "") << TextField(table.ColumnTitle(columns[i]));
    }
    out << '\n';
    for (const runtime::Row& row : table.Rows()) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            out << (i ? "\t" : "");
            WriteTextField(out, TsvCell(row, columns[i]));
        }
        out << '\n';
    }
    out.flush();
}

// The columns written: the eight, 状态, the market figures the input brought
// (kind order), 宝贝数量变化 when recording, 联想热度 when asked.
std::vector<int> WrittenColumns(runtime::MemoryTable& table, bool record, bool weights) {
    std::vector<int> rows(static_cast<std::size_t>(table.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    std::vector<int> written;
    for (int column : app::LeadingAndPresentColumns(table, rows, columns::kExportedColumnCount)) {
        const bool change = column == columns::Index(columns::Column::ListingChange);
        const bool weight = column == columns::Index(columns::Column::SuggestWeight);
        if (!change && !weight) {
            written.push_back(column);
        }
    }
    if (record) {
        written.push_back(columns::Index(columns::Column::ListingChange));
    }
    if (weights) {
        written.push_back(columns::Index(columns::Column::SuggestWeight));
    }
    return written;
}

// The suggestion weight of every row's keyword, jobs at a time; empty where
// the reply has no entry for it or the run was interrupted.
std::vector<std::string> SuggestWeights(const net::EndpointConfig& endpoints,
                                        runtime::MemoryTable& table, int jobs,
                                        const runtime::CancelToken& cancel) {
    const std::vector<runtime::Row> rows = table.Rows();
    std::vector<std::string> weights(rows.size());
    runtime::ForEachInParallel(rows.size(), jobs, cancel, [&](int, std::size_t i) {
        weights[i] =
            query::LookUpSuggestWeight(endpoints, rows[i][query::kKeywordColumn], &cancel).weight;
    });
    return weights;
}

// "rows: 正常 3, 无数据 1, 失败 0, 被拦截 0, 未查询 0" (UTF-8); 部分 after 无数据
// when a row has it.
std::string SummaryLine(const query::QuerySummary& summary) {
    std::string line = "rows:";
    const char* separator = " ";
    for (std::size_t i = 0; i < net::kLookupOutcomeCount; ++i) {
        const auto outcome = static_cast<query::RowOutcome>(i);
        if (outcome == query::RowOutcome::Partial && summary.Count(outcome) == 0) {
            continue;
        }
        line += separator + runtime::GbkToUtf8(std::string(query::RowOutcomeText(outcome))) + " " +
                std::to_string(summary.Count(outcome));
        separator = ", ";
    }
    return line;
}

}  // namespace

std::string QueryCommandHelp() {
    return "Usage: mofeng-cli query [options] KEYWORD_FILE\n"
           "\n"
           "Reads KEYWORD_FILE as the keyword import does (a plain keyword file, .csv, .tsv,\n"
           "a workbook: .xlsx, .ods, Excel 97-2003 .xls, an exported .xls, an HTML table;\n"
           "the first sheet with a keyword column unless --sheet names one), asks the trend index "
           "and the search page\n"
           "(with --search-source h5 the signed h5 call, which takes the seller's login\n"
           "cookies) for every keyword, in order (with --jobs N, N keywords at a time), and\n"
           "writes the list: as UTF-8 text on stdout\n"
           "(tab-separated, the column captions first; the eight columns and 状态, the row's\n"
           "outcome: 正常, 无数据, 部分, 失败, 被拦截 or 未查询), or with --out as a file of the\n"
           "eight"
           " columns whose extension chooses the format (.xlsx workbook or .csv UTF-8, both\n"
           "with 状态 and the columns after it; else the .xls document of the eight). A figure\n"
           "without a value (a slope or competition multiple\n"
           "divided by zero) reads --. After 状态 come the market figures the keyword file\n"
           "holds (a seller tool's table: 搜索人气, 点击率, 在线商品数 ...), in that tool order,\n"
           "as plain decimals (1.2万 is 12000, 3.45% stays 3.45%, a range 10000~20000);\n"
           "需求供给比 is computed where the file has none, from 在线商品数 or else from the\n"
           "宝贝数量 the run found. A keyword named twice in such a table is one row.\n"
           "A summary of the outcomes goes to stderr. After 3 rows\n"
           "in a row met a login or verification page the run stops; the rows left are\n"
           "未查询. After 5 failed connections in a row an endpoint is not asked again in the\n"
           "run: its cells stay empty, a row whose other endpoint answered is 部分, and the\n"
           "summary names the endpoint. Ctrl-C writes the rows done so far.\n"
           "With --record, every row that ends with figures is kept in the history as the\n"
           "day's observation of its keyword (the latest run of a day wins), and stdout\n"
           "gains the column 宝贝数量变化: the change since the keyword's previous observed day.\n"
           "With --suggest-weight, each keyword is also sent to the suggestion service and\n"
           "the weight of the entry equal to it is written as the last column, 联想热度\n"
           "(rounded; empty when the reply has no such entry); --record keeps it as given.\n"
           "On a terminal, stderr shows a progress bar with the rate and the time left.\n"
           "\n"
           "Options:\n" +
           OptionsHelp(QueryOptionSpecs()) + "\n" + EndpointHelp() +
           "\n"
           "A keyword with a character GBK cannot hold keeps it as 〓 and is not queried\n"
           "(未查询); stderr says how many.\n"
           "\n"
           "Exit codes: 0 done, 1 the keyword file cannot be read, is of a format the import\n"
           "does not read or holds no keywords, the output cannot be\n"
           "written or the demo server cannot start, 2 a usage error (unknown option,\n"
           "malformed value, bad --jobs, missing keyword file argument), 3 done but some rows "
           "failed\n"
           "or were blocked (all rows are still written; 部分 rows do not count), 130\n"
           "interrupted (the rows done\n"
           "are written).\n";
}

int RunQueryCommand(const std::vector<std::string>& args, const CommandStreams& io) {
    const ParsedArguments parsed = ParseArguments(args, QueryOptionSpecs());
    const CommandErrors errors(kCommand, io);
    if (!parsed.error.empty()) {
        return errors.Usage(parsed.error);
    }
    if (parsed.Has("help")) {
        io.out << QueryCommandHelp();
        return kExitOk;
    }
    if (parsed.positionals.empty()) {
        return errors.Usage("missing KEYWORD_FILE");
    }
    if (parsed.positionals.size() > 1) {
        return errors.Usage("one KEYWORD_FILE expected, got '" + parsed.positionals[1] + "' too");
    }
    const std::string* out = parsed.Value("out");
    if (out != nullptr && out->empty()) {
        return errors.Usage("--out needs a file name");
    }

    const bool record = parsed.Has("record");
    if (!record && (parsed.Has("db") || parsed.Has("as-of"))) {
        return errors.Usage("--db and --as-of go with --record");
    }
    const std::string* asOf = parsed.Value("as-of");
    if (asOf != nullptr && !app::IsIsoDate(*asOf)) {
        return errors.Usage("--as-of needs a date YYYY-MM-DD, got '" + *asOf + "'");
    }
    const std::string day = asOf != nullptr ? *asOf : app::LocalToday();

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

    const fs::path keywordFile = runtime::PathFromUtf8(parsed.positionals[0]);
    if (std::string why = WhyUnreadable(keywordFile); !why.empty()) {
        return errors.Failure("cannot read keyword file '" + parsed.positionals[0] + "': " + why);
    }
    if (out != nullptr) {
        if (std::string why = WhyUnwritable(runtime::PathFromUtf8(*out)); !why.empty()) {
            return errors.Failure("cannot write '" + *out + "': " + why);
        }
    }

    runtime::MemoryTable table(app::KeywordListStorageColumns());
    app::SheetChoice sheet;
    if (const std::string* name = parsed.Value("sheet")) {
        sheet.sheet = runtime::Utf8ToGbk(*name);
    }
    const app::ImportResult imported = app::ImportKeywordFile(
        keywordFile,
        [&table](std::vector<runtime::Row> rows) {
            // A keyword named twice with market figures is one row.
            app::MergeMarketRows(table, rows, query::kKeywordColumn);
            return rows.empty() || table.AppendRows(std::move(rows)) >= 0;
        },
        query::kKeywordColumn, true, sheet);
    if (!imported.opened || (imported.problem != app::ImportProblem::None &&
                             imported.problem != app::ImportProblem::Cancelled)) {
        return errors.Failure("cannot read keyword file '" + parsed.positionals[0] +
                              "': " + app::ImportResultEnglish(imported));
    }
    if (imported.unrepresentable > 0) {
        io.err << "mofeng-cli query: " << imported.unrepresentable
               << " keyword(s) hold a character GBK cannot hold (kept as 〓); they are not "
                  "queried\n";
    }

    runtime::CancelToken cancel;
    query::QuerySummary summary;
    {
        InterruptScope interrupt(cancel);
        ProgressLine line(io.err, io.errIsTerminal);
        ProgressObserver observer(line, table.RowCount());
        summary =
            query::IndexQueryRun(endpoints->Config(), table, cancel, &observer, nullptr, *jobs);
    }
    // An interrupted run still hands over the rows it finished.
    if (cancel.IsCancelled()) {
        io.err << "mofeng-cli query: interrupted; the rows not reached are "
               << runtime::GbkToUtf8(
                      std::string(query::RowOutcomeText(query::RowOutcome::NotQueried)))
               << "\n";
    }
    if (summary.stoppedForBlocked) {
        io.err << "mofeng-cli query: stopped: Taobao asks for a login or verification (several "
                  "rows in a row were redirected to it); give your login with --cookie-file or "
                  "--cookie, or query more slowly with --delay-ms. The remaining rows are "
               << runtime::GbkToUtf8(
                      std::string(query::RowOutcomeText(query::RowOutcome::NotQueried)))
               << "\n";
    }
    io.err << "mofeng-cli query: " << SummaryLine(summary) << "\n";
    for (const std::string& notice : summary.unavailableNotices) {
        io.err << "mofeng-cli query: " << runtime::GbkToUtf8(notice) << "\n";
    }
    const int doneCode = cancel.IsCancelled()                                ? kExitInterrupted
                         : summary.AnyTrouble() || summary.stoppedForBlocked ? kExitTrouble
                                                                             : kExitOk;

    // 需求供给比 computed from our 宝贝数量 follows the count the run found.
    for (int row = 0; row < table.RowCount(); ++row) {
        app::RefreshDemandSupply(table, row);
    }

    std::vector<std::string> weights;
    if (parsed.Has("suggest-weight") && !cancel.IsCancelled()) {
        InterruptScope interrupt(cancel);
        weights = SuggestWeights(endpoints->Config(), table, *jobs, cancel);
    }
    if (record) {
        std::string why;
        auto changes = RecordRows(HistoryDatabaseOption(parsed), table.Rows(), weights, day, why);
        if (!why.empty()) {
            io.err << "mofeng-cli query: " << why << "\n";
        }
        if (!changes) {
            return kExitFailure;
        }
        for (std::size_t row = 0; row < changes->size(); ++row) {
            table.SetCell(static_cast<int>(row), columns::Index(columns::Column::ListingChange),
                          std::move((*changes)[row]));
        }
    }
    if (parsed.Has("suggest-weight")) {
        for (int row = 0; row < table.RowCount(); ++row) {
            const auto at = static_cast<std::size_t>(row);
            table.SetCell(row, columns::Index(columns::Column::SuggestWeight),
                          at < weights.size() ? query::SuggestWeightDisplay(weights[at]) : "");
        }
    }

    const std::vector<int> written = WrittenColumns(table, record, parsed.Has("suggest-weight"));
    if (out == nullptr) {
        WriteTsv(table, written, io.out);
        return io.out ? doneCode : errors.Failure("cannot write to stdout");
    }
    std::vector<int> rows(static_cast<std::size_t>(table.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    if (!app::ExportRows(runtime::PathFromUtf8(*out), table, rows,
                         app::InitialWidths(app::KeywordListColumns()), written)) {
        return errors.Failure("cannot write '" + *out + "'");
    }
    if (io.errIsTerminal) {
        io.err << table.RowCount() << " rows written to " << *out << "\n";
    }
    return doneCode;
}

}  // namespace mofeng::cli
