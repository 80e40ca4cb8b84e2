#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommonOptions.h"
#include "runtime/Table.h"

namespace mofeng::cli {

// The database the GUI keeps its session and history in: the per-user data
// folder's mofeng/session.sqlite (XDG_DATA_HOME or ~/.local/share; %APPDATA%
// on Windows).
std::filesystem::path DefaultHistoryDatabase();

// --db FILE, else the GUI's.
std::filesystem::path HistoryDatabaseOption(const ParsedArguments& parsed);

// Records the rows of a finished query run (stored cells) as observations of
// `day`, with each row's suggestion weight from weights (empty: none), and returns, per row, its
// 宝贝数量变化 text (empty when the row was not recorded or has no earlier count). nullopt, with
// the reason in `why`, when the database cannot be opened or written.
std::optional<std::vector<std::string>> RecordRows(const std::filesystem::path& database,
                                                   const std::vector<runtime::Row>& rows,
                                                   const std::vector<std::string>& weights,
                                                   const std::string& day, std::string& why);

}  // namespace mofeng::cli
