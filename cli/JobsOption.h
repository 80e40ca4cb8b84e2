#pragma once

#include <optional>
#include <string>

#include "cli/CommonOptions.h"

namespace mofeng::cli {

// "--jobs N": how many fetches a run keeps under way at a time.
OptionSpec JobsOptionSpec();

// The --jobs value (1 when absent); nullopt, with the reason in error, when
// it is not a whole number from 1 to 16.
std::optional<int> ParseJobs(const ParsedArguments& parsed, std::string& error);

}  // namespace mofeng::cli
