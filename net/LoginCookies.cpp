#include "net/LoginCookies.h"

#include <algorithm>
#include <ctime>
#include <fstream>

#include "net/HeaderText.h"
#include "runtime/TextOps.h"

namespace mofeng::net {
namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

// A byte a Cookie header cannot carry (it would end or split the header).
bool HasControlByte(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == ';';
    });
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == line.npos ? line.npos : tab - start));
        if (tab == line.npos) {
            return fields;
        }
        start = tab + 1;
    }
}

std::string LowerDomain(std::string_view domain) {
    std::string lower = runtime::AsciiLower(domain);
    if (!lower.empty() && lower.front() == '.') {
        lower.erase(0, 1);
    }
    return lower;
}

}  // namespace

bool ReadCookieFile(const std::filesystem::path& path, std::vector<Cookie>& cookies,
                    std::string& error) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(path, code)) {
        error = "not a readable file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot be opened";
        return false;
    }
    cookies.clear();
    const std::time_t now = std::time(nullptr);
    std::string text;
    for (int number = 1; std::getline(file, text); ++number) {
        std::string_view line = TrimHeaderText(text);
        if (line.substr(0, kHttpOnlyPrefix.size()) == kHttpOnlyPrefix) {
            line.remove_prefix(kHttpOnlyPrefix.size());
        } else if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::vector<std::string_view> fields = SplitTabs(line);
        if (fields.size() != 7 || fields[0].empty() || fields[5].empty() ||
            HasControlByte(fields[5]) || HasControlByte(fields[6])) {
            error = "line " + std::to_string(number) +
                    " is not a cookie (seven tab-separated fields expected)";
            return false;
        }
        const long long expiry = std::atoll(std::string(fields[4]).c_str());
        if (expiry > 0 && expiry < now) {
            continue;
        }
        Cookie cookie;
        cookie.domain = LowerDomain(fields[0]);
        cookie.includeSubdomains = fields[1] == "TRUE" || fields[1] == "true";
        cookie.name = std::string(fields[5]);
        cookie.value = std::string(fields[6]);
        cookies.push_back(std::move(cookie));
    }
    return true;
}

bool ParseCookieHeader(std::string_view text, std::vector<Cookie>& cookies, std::string& error) {
    cookies.clear();
    text = TrimHeaderText(text);
    if (text.size() >= 7 && (text.substr(0, 7) == "Cookie:" || text.substr(0, 7) == "cookie:")) {
        text = TrimHeaderText(text.substr(7));
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::string_view pair = TrimHeaderText(text.substr(start, end - start));
        start = end + 1;
        if (pair.empty()) {
            continue;
        }
        const std::size_t equals = pair.find('=');
        if (equals == 0 || equals == std::string_view::npos) {
            error = "cookie " + std::to_string(cookies.size() + 1) + " has no name=value form";
            return false;
        }
        Cookie cookie;
        cookie.name = std::string(TrimHeaderText(pair.substr(0, equals)));
        cookie.value = std::string(TrimHeaderText(pair.substr(equals + 1)));
        if (HasControlByte(cookie.name) || HasControlByte(cookie.value)) {
            error = "cookie " + std::to_string(cookies.size() + 1) + " holds a control byte";
            return false;
        }
        cookies.push_back(std::move(cookie));
    }
    return true;
}

}  // namespace mofeng::net
