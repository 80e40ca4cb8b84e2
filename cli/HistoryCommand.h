#pragma once

#include <string>
#include <vector>

#include "cli/CommonOptions.h"

namespace mofeng::cli {

std::string HistoryCommandHelp();
// mofeng-cli history [--db FILE] [--keyword K] [--since DATE] [--out FILE]
int RunHistoryCommand(const std::vector<std::string>& args, const CommandStreams& io);

}  // namespace mofeng::cli
