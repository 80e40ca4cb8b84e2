#include "app/MarketFigures.h"

#include <cmath>
#include <vector>

#include "columns/KeywordListSchema.h"
#include "runtime/CodePage.h"
#include "runtime/NumberOps.h"

namespace mofeng::app {
namespace {

// GBK bytes of the marks the tools write.
constexpr std::string_view kWan = "\xCD\xF2";          // 万
constexpr std::string_view kYi = "\xD2\xDA";           // 亿
constexpr std::string_view kWideTilde = "\xA1\xAB";    // ～
constexpr std::string_view kWidePercent = "\xA3\xA5";  // ％
constexpr std::string_view kWideComma = "\xA3\xAC";    // ，
constexpr std::string_view kTo = "\xD6\xC1";           // 至
constexpr std::string_view kWideDigitLead = "\xA3";    // ０..９ are A3 B0..A3 B9, ． is A3 AE

// The captions of the list's market columns, which name the kinds in order.
const std::array<std::string, kMarketKindCount>& Captions() {
    static const std::array<std::string, kMarketKindCount> captions = [] {
        std::array<std::string, kMarketKindCount> gbk;
        for (std::size_t i = 0; i < kMarketKindCount; ++i) {
            gbk[i] = columns::InfoAt(columns::Index(columns::MarketColumn(i)))->caption;
        }
        return gbk;
    }();
    return captions;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Full-width digits, point, comma and percent as ASCII; the rest as it is
// (double-byte characters kept whole).
std::string Narrow(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80 || i + 1 == text.size()) {
            out += text[i++];
            continue;
        }
        const std::string_view pair = text.substr(i, 2);
        const auto second = static_cast<unsigned char>(pair[1]);
        if (pair[0] == kWideDigitLead[0] && second >= 0xB0 && second <= 0xB9) {
            out += static_cast<char>('0' + (second - 0xB0));
        } else if (pair == "\xA3\xAE") {
            out += '.';
        } else if (pair == kWideComma) {
            out += ',';
        } else if (pair == kWidePercent) {
            out += '%';
        } else if (pair == kWideTilde || pair == kTo) {
            out += '~';
        } else {
            out += pair;
        }
        i += 2;
    }
    return out;
}

struct Single {
    double value = 0;
    bool percent = false;
};

// "12,345", "1.2万", "3.4亿", "3.45%": digits with thousands commas, an
// optional fraction, then at most one mark.
std::optional<Single> ParseSingle(std::string_view text) {
    text = Trim(text);
    std::string digits;
    std::size_t i = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (c == ',' && !point && !digits.empty()) {
            continue;
        } else if (c == '.' && !point && !digits.empty()) {
            point = true;
            digits += c;
        } else {
            break;
        }
    }
    if (digits.empty() || digits.back() == '.') {
        return std::nullopt;
    }
    Single single{runtime::ToNumber(digits), false};
    const std::string_view mark = Trim(text.substr(i));
    if (mark == kWan) {
        single.value *= 1e4;
    } else if (mark == kYi) {
        single.value *= 1e8;
    } else if (mark == "%") {
        single.percent = true;
    } else if (!mark.empty()) {
        return std::nullopt;
    }
    return single;
}

}  // namespace

const std::string& MarketCaption(MarketKind kind) {
    return Captions()[static_cast<std::size_t>(kind)];
}

std::optional<MarketKind> MarketKindOfHeader(std::string_view header) {
    header = Trim(header);
    for (std::size_t i = 0; i < kMarketKindCount; ++i) {
        if (header == Captions()[i]) {
            return static_cast<MarketKind>(i);
        }
    }
    static const std::string tmall = runtime::Utf8ToGbk("天猫商品点击占比");
    if (header == tmall) {
        return MarketKind::MallClickShare;
    }
    return std::nullopt;
}

std::optional<MarketValue> ParseMarketValue(std::string_view text) {
    const std::string narrow = Narrow(Trim(text));
    std::vector<std::string_view> parts;
    std::size_t split = narrow.find('~');
    // A "-" joins a range only between two figures: "-" alone is no figure.
    if (split == std::string::npos && narrow.size() > 1) {
        split = narrow.find('-', 1);
    }
    const std::string_view whole(narrow);
    if (split == std::string::npos) {
        parts = {whole};
    } else {
        parts = {whole.substr(0, split), whole.substr(split + 1)};
    }
    std::vector<Single> values;
    for (std::string_view part : parts) {
        const std::optional<Single> single = ParseSingle(part);
        if (!single) {
            return std::nullopt;
        }
        values.push_back(*single);
    }
    if (values.size() == 2 && (values[0].percent != values[1].percent)) {
        return std::nullopt;
    }
    MarketValue value{values.front().value, values.back().value, values.front().percent};
    if (value.high < value.low) {
        std::swap(value.low, value.high);
    }
    return value;
}

std::string MarketValueText(const MarketValue& value) {
    const auto one = [&](double x) {
        return runtime::FormatNumber(x) + (value.percent ? "%" : "");
    };
    return value.IsRange() ? one(value.low) + "~" + one(value.high) : one(value.low);
}

std::optional<std::string> DemandSupplyRatio(std::string_view searchPopularity,
                                             std::string_view onlineListings) {
    const std::optional<MarketValue> demand = ParseMarketValue(searchPopularity);
    const std::optional<MarketValue> supply = ParseMarketValue(onlineListings);
    if (!demand || !supply || supply->Middle() == 0 || demand->percent || supply->percent) {
        return std::nullopt;
    }
    return runtime::FormatNumber(demand->Middle() / supply->Middle(), 2);
}

}  // namespace mofeng::app
