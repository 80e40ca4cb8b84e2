#include "cli/JobsOption.h"

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
    int jobs = 0;
    bool digits = !value->empty() && value->size() <= 2;
    for (const char c : *value) {
        digits = digits && c >= '0' && c <= '9';
        jobs = jobs * 10 + (c - '0');
    }
    if (!digits || jobs < runtime::kMinJobs || jobs > runtime::kMaxJobs) {
        error = "--jobs takes a whole number from 1 to 16, not '" + *value + "'";
        return std::nullopt;
    }
    return jobs;
}

}  // namespace mofeng::cli
