#include "app/Observation.h"

#include <cmath>
#include <limits>
#include <optional>

#include "runtime/NumberOps.h"

namespace mofeng::app {
namespace {

std::optional<double> Count(const std::string& text) {
    const auto value = runtime::DigitsValue(text, std::numeric_limits<long long>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<double>(*value);
}

}  // namespace

std::string ListingChangeText(const std::string& before, const std::string& now) {
    const std::optional<double> from = Count(before);
    const std::optional<double> to = Count(now);
    if (!from || !to || *from == 0) {
        return {};
    }
    const double percent = runtime::RoundHalfAway((*to - *from) / *from * 100.0, 1);
    if (percent == 0) {
        return "0.0%";
    }
    return (percent > 0 ? "+" : "") + runtime::FormatNumber(percent, 1) + "%";
}

bool IsIsoDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month != 2 || day < 29 || leap;
}

}  // namespace mofeng::app
