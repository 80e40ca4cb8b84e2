// RegexObject search with any GBK pattern and subject and any options: no
// match splits a character, the groups agree with the matches, a clone sees
// the same results, and replacing every match by itself gives the subject.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "regex/RegexObject.h"
#include "runtime/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    FuzzedDataProvider input(data, size);
    const bool caseSensitive = input.ConsumeBool();
    const bool multiLine = input.ConsumeBool();
    const bool global = input.ConsumeBool();
    const std::string pattern = input.ConsumeRandomLengthString(64);
    const std::string subject = input.ConsumeRemainingBytesAsString();

    regex::RegexObject regex;
    const bool complete = regex.Search(pattern, subject, caseSensitive, multiLine, global);
    FUZZ_CHECK(regex.PatternText() == pattern);
    const int count = regex.MatchCount();
    FUZZ_CHECK(count >= 0);
    FUZZ_CHECK(global || count <= 1);
    FUZZ_CHECK(count > 0 || regex.SubMatchCount() == 0);
    for (int i = 1; i <= count; ++i) {
        FUZZ_CHECK(fuzz::IsWellFormedGbk(regex.MatchText(i)));
        for (int group = 1; group <= regex.SubMatchCount(); ++group) {
            FUZZ_CHECK(fuzz::IsWellFormedGbk(regex.SubMatchText(i, group)));
        }
    }
    FUZZ_CHECK(regex.MatchText(count + 1).empty());
    FUZZ_CHECK(regex.SubMatchText(1, regex.SubMatchCount() + 1).empty());

    const regex::RegexObject clone = regex.Clone();
    FUZZ_CHECK(clone.MatchCount() == count);
    if (count > 0) {
        FUZZ_CHECK(clone.MatchText(count) == regex.MatchText(count));
    }
    if (complete) {
        FUZZ_CHECK(regex.Replace("$&") == runtime::Utf8ToGbk(runtime::GbkToUtf8(subject)));
    } else {
        FUZZ_CHECK(regex.Replace("$&").empty());
    }
    return 0;
}
