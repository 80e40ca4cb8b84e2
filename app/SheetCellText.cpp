#include "app/SheetCellText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace mofeng::app {
namespace {

constexpr int kMaxSignificantDigits = 15;

// Civil date of a day count from 1970-01-01 (proleptic Gregorian).
void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2));
}

std::string DateText(int year, int month, int day) {
    return std::to_string(year) + "/" + std::to_string(month) + "/" + std::to_string(day);
}

}  // namespace

std::string NumberCellText(double value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::general, kMaxSignificantDigits);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string PercentCellText(double value) {
    return NumberCellText(value * 100) + "%";
}

std::optional<std::string> SerialDateText(double serial, bool date1904) {
    // Days from 1970-01-01 back to each system's day 0 (1899-12-30 keeps the
    // 1900 system's phantom leap day out of every date after February 1900).
    constexpr double kEpoch1900 = -25569.0;
    constexpr double kEpoch1904 = -24107.0;
    if (!std::isfinite(serial) || serial < 1.0 || serial > 2958465.0) {
        return std::nullopt;
    }
    double whole = 0.0;
    const double fraction = std::modf(serial, &whole);
    auto seconds = static_cast<std::int64_t>(std::llround(fraction * 86400.0));
    auto days = static_cast<std::int64_t>(whole + (date1904 ? kEpoch1904 : kEpoch1900));
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    int year = 0, month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    std::string text = DateText(year, month, day);
    if (seconds > 0) {
        char time[16];
        std::snprintf(time, sizeof time, " %02d:%02d:%02d", static_cast<int>(seconds / 3600),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
        text += time;
    }
    return text;
}

std::string IsoDateText(std::string_view iso) {
    int year = 0, month = 0, day = 0;
    const char* begin = iso.data();
    const char* end = begin + iso.size();
    auto [p, e1] = std::from_chars(begin, end, year);
    if (e1 != std::errc() || p - begin != 4 || p == end || *p != '-') {
        return std::string(iso);
    }
    auto [q, e2] = std::from_chars(p + 1, end, month);
    if (e2 != std::errc() || q - p != 3 || q == end || *q != '-') {
        return std::string(iso);
    }
    auto [r, e3] = std::from_chars(q + 1, end, day);
    if (e3 != std::errc() || r - q != 3 || month < 1 || month > 12 || day < 1 || day > 31) {
        return std::string(iso);
    }
    std::string text = DateText(year, month, day);
    if (r != end && (*r == 'T' || *r == ' ')) {
        std::string_view time(r + 1, static_cast<std::size_t>(end - r - 1));
        time = time.substr(0, time.find('.'));
        if (time != "00:00:00") {
            text += ' ';
            text += time;
        }
    }
    return text;
}

namespace {

// True when the format code shows one of `letters` itself: outside quotes,
// escaped characters and [bracketed] parts (colours, conditions, locales).
bool ShowsAnyOf(std::string_view code, std::string_view letters) {
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // the next character is shown as it is
        } else if (c == '[') {
            ++bracket;
        } else if (c == ']') {
            bracket = bracket > 0 ? bracket - 1 : 0;
        } else if (bracket == 0 && letters.find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsDateFormatCode(std::string_view code) {
    if (code.find("eneral") != std::string_view::npos) {
        return false;  // "General" (any case of its G) shows numbers
    }
    return ShowsAnyOf(code, "yYdDmM");
}

bool IsBuiltinDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
}

bool IsPercentFormatCode(std::string_view code) {
    return !IsDateFormatCode(code) && ShowsAnyOf(code, "%");
}

bool IsBuiltinPercentFormat(int id) {
    return id == 9 || id == 10;
}

}  // namespace mofeng::app
