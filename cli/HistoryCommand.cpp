#include "cli/HistoryCommand.h"

#include <numeric>
#include <ostream>

#include "app/CellDisplayText.h"
#include "app/ExportFormats.h"
#include "app/HistoryStore.h"
#include "app/HistoryTable.h"
#include "app/KeywordListColumns.h"
#include "cli/CommandErrors.h"
#include "cli/HistoryDatabase.h"
#include "cli/TextField.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

std::vector<OptionSpec> HistoryOptionSpecs() {
    return {{"db", "FILE", "the history database (default: the GUI's)"},
            {"keyword", "K", "only the observations of keyword K"},
            {"since", "YYYY-MM-DD", "only the observations from that day on"},
            {"out", "FILE", "write a .csv or .xlsx file instead of stdout"},
            {"help", "", "show this help"}};
}

void WriteTsv(const app::HistoryTable& table, std::ostream& out) {
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        out << (c ? "\t" : "") << TextField(table.columns[c].first);
    }
    out << '\n';
    for (const runtime::Row& row : table.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            out << (c ? "\t" : "");
            WriteTextField(out, app::CellDisplayText(static_cast<int>(c), row[c]));
        }
        out << '\n';
    }
    out.flush();
}

}  // namespace

std::string HistoryCommandHelp() {
    return "Usage: mofeng-cli history [options]\n"
           "\n"
           "Prints the observations 'mofeng-cli query --record' and the GUI kept: one per\n"
           "keyword per day, by keyword, then day, as UTF-8 tab-separated text with the\n"
           "captions first (日期, 关键词, the six figures, 状态, 宝贝数量变化, 联想热度,\n"
           "七日指数, then the market figures recorded), or with --out as a .csv or .xlsx\n"
           "file.\n"
           "\n"
           "Options:\n" +
           OptionsHelp(HistoryOptionSpecs()) +
           "\n"
           "Exit codes: 0 done (also with no observations), 1 the database cannot be read\n"
           "or the file cannot be written, 2 a usage error.\n";
}

int RunHistoryCommand(const std::vector<std::string>& args, const CommandStreams& io) {
    const CommandErrors errors("history", io);
    const ParsedArguments parsed = ParseArguments(args, HistoryOptionSpecs());
    if (!parsed.error.empty()) {
        return errors.Usage(parsed.error);
    }
    if (parsed.Has("help")) {
        io.out << HistoryCommandHelp();
        return kExitOk;
    }
    if (!parsed.positionals.empty()) {
        return errors.Usage("unexpected argument '" + parsed.positionals[0] + "'");
    }
    app::history::Filter filter;
    if (const std::string* keyword = parsed.Value("keyword")) {
        filter.keyword = runtime::Utf8ToGbk(*keyword);
    }
    if (const std::string* since = parsed.Value("since")) {
        if (!app::IsIsoDate(*since)) {
            return errors.Usage("--since needs a date YYYY-MM-DD, got '" + *since + "'");
        }
        filter.since = *since;
    }
    const std::string* out = parsed.Value("out");
    if (out != nullptr && app::ExportFormatOf(*out) == app::ExportFormat::Xls) {
        return errors.Usage("--out writes .csv or .xlsx, not '" + *out + "'");
    }

    const fs::path database = HistoryDatabaseOption(parsed);
    std::vector<app::Observation> observations;
    std::error_code error;
    if (fs::exists(database, error)) {
        const auto db = app::SqliteDatabase::Open(database, SQLITE_OPEN_READONLY);
        if (!db) {
            return errors.Failure("cannot open '" + database.string() + "'");
        }
        // Every day is read: the first day shown still has its change.
        if (app::history::Present(db)) {
            observations = app::history::Read(db, {filter.keyword, std::nullopt});
        }
    }
    app::HistoryTable table = app::BuildHistoryTable(observations);
    if (filter.since) {
        std::erase_if(table.rows, [&](const runtime::Row& row) { return row[0] < *filter.since; });
    }
    if (out == nullptr) {
        WriteTsv(table, io.out);
        return io.out ? kExitOk : errors.Failure("cannot write to stdout");
    }
    runtime::MemoryTable memory(table.columns);
    memory.AppendRows(table.rows);
    std::vector<int> rows(table.rows.size());
    std::iota(rows.begin(), rows.end(), 0);
    if (!app::ExportRows(*out, memory, rows, app::InitialWidths(table.columns))) {
        return errors.Failure("cannot write '" + *out + "'");
    }
    return kExitOk;
}

}  // namespace mofeng::cli
