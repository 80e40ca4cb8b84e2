#pragma once

#include <string>
#include <vector>

#include "cli/CommonOptions.h"

namespace mofeng::cli {

// mofeng-cli mine [options] --must TEXT SEED: the mining run of the mining
// window over an in-memory list, seed and must-contain text given as UTF-8.
// Writes "NUMBER<TAB>KEYWORD" lines (UTF-8) on out or, with --out, the
// keyword file the mining window exports (GBK, CR LF). args excludes the
// word "mine". Returns the process exit code.
int RunMineCommand(const std::vector<std::string>& args, const CommandStreams& io);

std::string MineCommandHelp();

}  // namespace mofeng::cli
