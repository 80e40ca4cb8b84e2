#include "net/LookupOutcome.h"

#include <array>

#include "net/FetchTexts.h"

namespace mofeng::net {
namespace {

constexpr std::array<const std::string& (*)(), kLookupOutcomeCount> kTexts = {
    NormalOutcome, NoDataOutcome, PartialOutcome, FailedOutcome, BlockedOutcome, NotQueriedOutcome,
};

}  // namespace

std::string_view OutcomeText(LookupOutcome outcome) {
    return kTexts[static_cast<std::size_t>(outcome)]();
}

std::optional<LookupOutcome> OutcomeFromText(std::string_view text) {
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (kTexts[i]() == text) {
            return static_cast<LookupOutcome>(i);
        }
    }
    return std::nullopt;
}

LookupOutcome Worse(LookupOutcome a, LookupOutcome b) {
    return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

}  // namespace mofeng::net
