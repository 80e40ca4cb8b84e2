// GBK <-> UTF-8 <-> UTF-16 conversions: never fail, never split a character,
// and what converted cleanly converts back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "runtime/CodePage.h"

namespace {

std::string ReplacementsAsQuestionMarks(std::string_view utf8) {
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        if (utf8.substr(at, 3) == "\xEF\xBF\xBD") {
            out += '?';
            at += 3;
        } else {
            out += utf8[at++];
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = runtime::GbkToUtf8(bytes);
    FUZZ_CHECK(runtime::IsValidUtf8(utf8));
    const std::string gbk = runtime::Utf8ToGbk(utf8);
    FUZZ_CHECK(fuzz::IsWellFormedGbk(gbk));
    // Only the replacement characters change on the way back (to "?").
    FUZZ_CHECK(runtime::GbkToUtf8(gbk) == ReplacementsAsQuestionMarks(utf8));
    if (fuzz::IsWellFormedGbk(bytes) && utf8.find("\xEF\xBF\xBD") == std::string::npos) {
        FUZZ_CHECK(gbk == bytes);
    }

    FUZZ_CHECK(fuzz::IsWellFormedGbk(runtime::Utf8ToGbk(bytes)));
    if (runtime::IsValidUtf8(bytes)) {
        // Every character becomes one GBK character or "?", so never longer.
        FUZZ_CHECK(runtime::Utf8ToGbk(bytes).size() <= bytes.size());
    }

    std::u16string utf16(size / 2, u'\0');
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        utf16[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    const std::string fromUtf16 = runtime::Utf16ToGbk(utf16);
    FUZZ_CHECK(fuzz::IsWellFormedGbk(fromUtf16));
    FUZZ_CHECK(fromUtf16.size() <= 2 * utf16.size());
    return 0;
}
