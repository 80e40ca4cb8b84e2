// Related-search and suggestion extraction from any page or reply: every
// candidate is whole GBK characters on one line, never more candidates than
// the text has entries, and no highlight tag survives in a suggestion.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "mining/KeywordSources.h"

namespace {

std::size_t CountIgnoringCase(std::string_view text, std::string_view sought) {
    std::size_t count = 0;
    for (std::size_t at = 0; at + sought.size() <= text.size(); ++at) {
        if (mofeng::fuzz::ContainsIgnoringAsciiCase(text.substr(at, sought.size()), sought)) {
            ++count;
        }
    }
    return count;
}

void CheckCandidates(const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates) {
        FUZZ_CHECK(mofeng::fuzz::IsWellFormedGbk(candidate));
        FUZZ_CHECK(candidate.find('\n') == std::string::npos);
        FUZZ_CHECK(candidate.find('\0') == std::string::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> related = mining::RelatedCandidatesFromPage(bytes);
    CheckCandidates(related);
    FUZZ_CHECK(related.size() <= CountIgnoringCase(bytes, "relatedSearch"));

    const std::string replyText = mining::SuggestionReplyText(bytes);
    FUZZ_CHECK(fuzz::IsWellFormedGbk(replyText));
    FUZZ_CHECK(replyText.find('\0') == std::string::npos);
    for (std::string_view text : {bytes, std::string_view(replyText)}) {
        const std::vector<std::string> suggestions = mining::SuggestionCandidatesFromText(text);
        CheckCandidates(suggestions);
        FUZZ_CHECK(suggestions.size() <= CountIgnoringCase(text, "[\""));
    }
    return 0;
}
