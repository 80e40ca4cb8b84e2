#include "net/LookupOutcome.h"

#include <array>

namespace mofeng::net {
namespace {

constexpr std::array<std::string_view, kLookupOutcomeCount> kTexts = {
    "\xD5\xFD\xB3\xA3",          // 正常
    "\xCE\xDE\xCA\xFD\xBE\xDD",  // 无数据
    "\xB2\xBF\xB7\xD6",          // 部分
    "\xCA\xA7\xB0\xDC",          // 失败
    "\xB1\xBB\xC0\xB9\xBD\xD8",  // 被拦截
    "\xCE\xB4\xB2\xE9\xD1\xAF",  // 未查询
};

}  // namespace

std::string_view OutcomeText(LookupOutcome outcome) {
    return kTexts[static_cast<std::size_t>(outcome)];
}

std::optional<LookupOutcome> OutcomeFromText(std::string_view text) {
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (kTexts[i] == text) {
            return static_cast<LookupOutcome>(i);
        }
    }
    return std::nullopt;
}

LookupOutcome Worse(LookupOutcome a, LookupOutcome b) {
    return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

}  // namespace mofeng::net
