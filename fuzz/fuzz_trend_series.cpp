// The trend series of any reply text: either no values at all or seven runs
// of ASCII digits that the text carries in that order before "lastdate".
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "query/TrendSeries.h"
#include "regex/RegexObject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    regex::RegexObject regex;
    const query::TrendSeries series = query::ParseTrendSeries(text, regex);

    const bool found = !series.values[0].empty();
    std::string joined;
    for (const std::string& value : series.values) {
        FUZZ_CHECK(value.empty() != found);
        FUZZ_CHECK(value.find_first_not_of("0123456789") == std::string::npos);
        joined += value;
        joined += ',';
    }
    if (found) {
        FUZZ_CHECK(fuzz::ContainsIgnoringAsciiCase(text, joined + "0],\"lastdate\":"));
    }
    return 0;
}
