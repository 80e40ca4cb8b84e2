#pragma once

#include <string>
#include <vector>

#include "cli/CommonOptions.h"

namespace mofeng::cli {

// mofeng-cli check [options]: asks the search page, the trend index and the
// suggestion endpoint once each for a common keyword and prints a verdict per
// endpoint (可用, 需要登录, 格式已变, 无法连接, 已停用) with its reason, as
// lines or, with --json, as one JSON array. args excludes the word "check".
// Returns kExitOk when all three are usable, kExitTrouble otherwise,
// kExitUsage or kExitFailure as the other commands do.
int RunCheckCommand(const std::vector<std::string>& args, const CommandStreams& io);

std::string CheckCommandHelp();

}  // namespace mofeng::cli
