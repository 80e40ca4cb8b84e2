#pragma once

#include <string>
#include <vector>

#include "cli/CommonOptions.h"

namespace mofeng::cli {

// mofeng-cli query [options] KEYWORD_FILE: imports the keyword file as the
// main window does, runs the index query over it and writes the list as a
// UTF-8 table on out (tab-separated, a header line of the column captions) or,
// with --out, as a spreadsheet file. args excludes the word "query". Returns
// the process exit code (kExitOk, kExitFailure, kExitUsage).
int RunQueryCommand(const std::vector<std::string>& args, const CommandStreams& io);

std::string QueryCommandHelp();

}  // namespace mofeng::cli
