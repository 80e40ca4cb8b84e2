// TextBetween over any text with any key and delimiters, and the listing
// count of any page: the value is a piece of the text at the position given
// back, and the count is never negative.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "query/SearchResultCount.h"
#include "query/TextBetween.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    FuzzedDataProvider input(data, size);
    const bool useLeft = input.ConsumeBool();
    const bool ignoreCase = input.ConsumeBool();
    const bool includeKey = input.ConsumeBool();
    const int searchFrom = input.ConsumeIntegral<int>();
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string left = input.ConsumeRandomLengthString(8);
    const std::string right = input.ConsumeRandomLengthString(8);
    const std::string text = input.ConsumeRemainingBytesAsString();

    int start = searchFrom;
    const std::string value =
        query::TextBetween(text, start, key, left, useLeft, right, ignoreCase, includeKey);
    if (start == -1) {
        FUZZ_CHECK(value.empty());
    } else {
        FUZZ_CHECK(start >= 1);
        FUZZ_CHECK(static_cast<std::size_t>(start) <= text.size() + 1);
        FUZZ_CHECK(text.compare(static_cast<std::size_t>(start) - 1, value.size(), value) == 0);
    }

    FUZZ_CHECK(query::ListingCountFromPage(text) >= 0);
    return 0;
}
