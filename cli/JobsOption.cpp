#include "cli/JobsOption.h"

#include "runtime/NumberOps.h"
#include "runtime/ParallelRun.h"

namespace mofeng::cli {

OptionSpec JobsOptionSpec() {
    return {"jobs", "N",
            "fetches under way at a time, 1 to 16 (default 1: one request after the other); "
            "the results are the same for every N"};
}

std::optional<int> ParseJobs(const ParsedArguments& parsed, std::string& error) {
    const std::string* value = parsed.Value("jobs");
    if (value == nullptr) {
        return 1;
    }
    // At most two digits: "008" is refused.
    const auto jobs = runtime::DigitsValue(*value, runtime::kMaxJobs);
    if (!jobs || value->size() > 2 || static_cast<int>(*jobs) < runtime::kMinJobs) {
        error = "--jobs takes a whole number from 1 to 16, not '" + *value + "'";
        return std::nullopt;
    }
    return static_cast<int>(*jobs);
}

}  // namespace mofeng::cli
