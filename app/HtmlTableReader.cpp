#include "app/HtmlTableReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

#include "runtime/CodePage.h"
#include "runtime/TextOps.h"
#include "runtime/Utf8Append.h"

namespace mofeng::app {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kCharsetProbeBytes = 4096;
constexpr std::size_t kMaxColumns = 16384;

char Lower(char c) {
    return runtime::AsciiLower(c);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return Lower(a) == Lower(b); });
}

std::size_t FindNoCase(std::string_view text, std::string_view sought, std::size_t from = 0) {
    for (std::size_t i = from; i + sought.size() <= text.size(); ++i) {
        if (StartsWithNoCase(text.substr(i), sought)) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool DeclaresGbk(std::string_view head) {
    const std::size_t at = FindNoCase(head, "charset=");
    if (at == std::string_view::npos) {
        return false;
    }
    std::string_view value = head.substr(at + 8);
    value.remove_prefix(std::min(value.find_first_not_of("\"' "), value.size()));
    return StartsWithNoCase(value, "gb") || StartsWithNoCase(value, "x-gbk") ||
           StartsWithNoCase(value, "cp936");
}

// A reference to no character (NUL, a surrogate, past U+10FFFF) reads as U+FFFD.
void AppendCharacter(std::string& out, char32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
    }
    runtime::AppendUtf8(out, cp);
}

// Decodes the character reference at text[0] == '&' into out; the bytes used.
std::size_t DecodeReference(std::string_view text, std::string& out) {
    static constexpr std::pair<std::string_view, char32_t> kNamed[] = {
        {"&amp;", '&'},  {"&lt;", '<'},    {"&gt;", '>'},
        {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
    for (const auto& [name, cp] : kNamed) {
        if (StartsWithNoCase(text, name)) {
            AppendCharacter(out, cp);
            return name.size();
        }
    }
    if (text.starts_with("&#")) {
        const bool hex = text.size() > 2 && Lower(text[2]) == 'x';
        const std::size_t digits = hex ? 3 : 2;
        std::uint32_t value = 0;
        const auto [end, error] =
            std::from_chars(text.data() + digits, text.data() + text.size(), value, hex ? 16 : 10);
        if (error == std::errc() && end != text.data() + digits) {
            std::size_t used = static_cast<std::size_t>(end - text.data());
            used += used < text.size() && text[used] == ';' ? 1 : 0;
            AppendCharacter(out, static_cast<char32_t>(value));
            return used;
        }
    }
    out += '&';
    return 1;
}

class TableCollector final {
public:
    void StartTable() {
        if (m_depth++ == 0) {
            m_workbook.sheets.emplace_back();
            m_inRow = false;
            m_inCell = false;
        }
    }
    void EndTable() {
        if (m_depth > 0 && --m_depth == 0) {
            EndCell();
        }
    }
    void StartRow() {
        if (m_depth != 1) {
            return;
        }
        EndCell();
        m_workbook.sheets.back().rows.emplace_back();
        m_inRow = true;
    }
    void EndRow() {
        if (m_depth == 1) {
            EndCell();
            m_inRow = false;
        }
    }
    void StartCell(std::size_t span) {
        if (m_depth != 1) {
            return;
        }
        if (!m_inRow) {
            StartRow();
        }
        EndCell();
        m_inCell = true;
        m_span = std::clamp<std::size_t>(span, 1, kMaxColumns);
        m_text.clear();
        m_pendingSpace = false;
    }
    void EndCell() {
        if (!m_inCell) {
            return;
        }
        m_inCell = false;
        SheetRow& row = m_workbook.sheets.back().rows.back();
        for (std::size_t at = m_text.find(kNoBreakSpace); at != std::string::npos;
             at = m_text.find(kNoBreakSpace, at)) {
            m_text.replace(at, kNoBreakSpace.size(), " ");  // GBK has no U+00A0
        }
        while (m_text.ends_with('\n') || m_text.ends_with(' ')) {
            m_text.pop_back();
        }
        if (row.size() < kMaxColumns) {
            row.push_back(runtime::Utf8ToGbk(m_text, runtime::kNoGbkFormMark));
            row.resize(std::min(row.size() + m_span - 1, kMaxColumns));
        }
    }
    // Text between tags: blanks collapse to one space, none at the cell's edges.
    void Text(std::string_view text) {
        if (!m_inCell) {
            return;
        }
        for (std::size_t i = 0; i < text.size();) {
            const char c = text[i];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                m_pendingSpace = !m_text.empty() && m_text.back() != '\n';
                ++i;
                continue;
            }
            if (m_pendingSpace) {
                m_text += ' ';
                m_pendingSpace = false;
            }
            if (c == '&') {
                i += DecodeReference(text.substr(i), m_text);
            } else {
                m_text += c;
                ++i;
            }
        }
    }
    void LineBreak() {
        if (m_inCell) {
            m_text += '\n';
            m_pendingSpace = false;
        }
    }
    Workbook Take() {
        EndCell();
        return std::move(m_workbook);
    }

private:
    static constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

    Workbook m_workbook;
    int m_depth = 0;
    bool m_inRow = false;
    bool m_inCell = false;
    std::size_t m_span = 1;
    std::string m_text;
    bool m_pendingSpace = false;
};

std::size_t SpanOf(std::string_view tag) {
    const std::size_t at = FindNoCase(tag, "colspan");
    if (at == std::string_view::npos) {
        return 1;
    }
    std::string_view value = tag.substr(at + 7);
    value.remove_prefix(std::min(value.find_first_of("0123456789"), value.size()));
    std::size_t span = 1;
    std::from_chars(value.data(), value.data() + value.size(), span);
    return span;
}

}  // namespace

bool LooksLikeHtml(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    bytes.remove_prefix(std::min(bytes.find_first_not_of(" \t\r\n"), bytes.size()));
    for (const std::string_view start :
         {"<!doctype html", "<!--", "<html", "<head", "<body", "<meta", "<table"}) {
        if (StartsWithNoCase(bytes, start)) {
            return true;
        }
    }
    return false;
}

Workbook ReadHtmlTables(std::string_view bytes) {
    std::string utf8;
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    } else if (DeclaresGbk(bytes.substr(0, kCharsetProbeBytes)) || !runtime::IsValidUtf8(bytes)) {
        utf8 = runtime::GbkToUtf8(bytes);
        bytes = utf8;
    }
    TableCollector tables;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t open = bytes.find('<', at);
        tables.Text(bytes.substr(at, open == std::string_view::npos ? open : open - at));
        if (open == std::string_view::npos) {
            break;
        }
        const std::string_view rest = bytes.substr(open);
        if (rest.starts_with("<!--")) {
            const std::size_t end = bytes.find("-->", open + 4);
            at = end == std::string_view::npos ? bytes.size() : end + 3;
            continue;
        }
        const std::size_t close = bytes.find('>', open);
        if (close == std::string_view::npos) {
            break;
        }
        const std::string_view tag = bytes.substr(open + 1, close - open - 1);
        at = close + 1;
        const bool ending = tag.starts_with('/');
        const std::string_view body = tag.substr(ending ? 1 : 0);
        std::size_t nameLength = 0;
        while (nameLength < body.size() &&
               std::isalnum(static_cast<unsigned char>(body[nameLength]))) {
            ++nameLength;
        }
        std::string name(body.substr(0, nameLength));
        std::transform(name.begin(), name.end(), name.begin(), Lower);
        if (!ending && (name == "script" || name == "style" || name == "title")) {
            const std::size_t end = FindNoCase(bytes, "</" + name, at);
            at = end == std::string_view::npos ? bytes.size() : end;
        } else if (name == "table") {
            ending ? tables.EndTable() : tables.StartTable();
        } else if (name == "tr") {
            ending ? tables.EndRow() : tables.StartRow();
        } else if (name == "td" || name == "th") {
            ending ? tables.EndCell() : tables.StartCell(SpanOf(body));
        } else if (name == "br" || (ending && (name == "p" || name == "div"))) {
            tables.LineBreak();
        }
    }
    return tables.Take();
}

}  // namespace mofeng::app
