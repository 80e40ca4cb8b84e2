#include "net/H5Reply.h"

#include "runtime/Utf8Append.h"

namespace mofeng::net {
namespace {

// Where a value sits: the member names from the top object down, as far as
// they matter (only data.mainInfo.totalResults and ret are taken).
enum class Place { Other, Top, Ret, Data, MainInfo, TotalResults };

class Reader {
public:
    Reader(std::string_view text, H5Reply& reply) : m_text(text), m_reply(reply) {}

    bool ReadTop() {
        SkipSpace();
        if (!Peek('{')) {
            return false;
        }
        return Value(Place::Top, 0);
    }
    std::size_t Position() const { return m_at; }

private:
    bool Peek(char c) const { return m_at < m_text.size() && m_text[m_at] == c; }
    void SkipSpace() {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' ||
                                        m_text[m_at] == '\n' || m_text[m_at] == '\r')) {
            ++m_at;
        }
    }

    static Place Member(Place parent, const std::string& name) {
        if (parent == Place::Top && name == "ret") {
            return Place::Ret;
        }
        if (parent == Place::Top && name == "data") {
            return Place::Data;
        }
        if (parent == Place::Data && name == "mainInfo") {
            return Place::MainInfo;
        }
        if (parent == Place::MainInfo && name == "totalResults") {
            return Place::TotalResults;
        }
        return Place::Other;
    }

    bool Value(Place place, int depth) {
        if (depth > kMaxH5Depth) {
            return false;
        }
        SkipSpace();
        if (m_at >= m_text.size()) {
            return false;
        }
        const char c = m_text[m_at];
        if (c == '{') {
            return Object(place, depth);
        }
        if (c == '[') {
            return Array(place, depth);
        }
        if (c == '"') {
            std::string text;
            if (!String(text)) {
                return false;
            }
            if (place == Place::TotalResults) {
                m_reply.totalResults = Digits(text);
            }
            return true;
        }
        return Scalar(place);
    }

    bool Object(Place place, int depth) {
        ++m_at;  // '{'
        SkipSpace();
        if (Peek('}')) {
            ++m_at;
            return true;
        }
        for (;;) {
            SkipSpace();
            std::string name;
            if (!Peek('"') || !String(name)) {
                return false;
            }
            SkipSpace();
            if (!Peek(':')) {
                return false;
            }
            ++m_at;
            if (!Value(Member(place, name), depth + 1)) {
                return false;
            }
            SkipSpace();
            if (Peek(',')) {
                ++m_at;
                continue;
            }
            if (Peek('}')) {
                ++m_at;
                return true;
            }
            return false;
        }
    }

    bool Array(Place place, int depth) {
        ++m_at;  // '['
        SkipSpace();
        if (Peek(']')) {
            ++m_at;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (place == Place::Ret && Peek('"')) {
                std::string entry;
                if (!String(entry)) {
                    return false;
                }
                if (m_reply.ret.size() < kMaxH5Ret) {
                    m_reply.ret.push_back(std::move(entry));
                }
            } else if (!Value(Place::Other, depth + 1)) {
                return false;
            }
            SkipSpace();
            if (Peek(',')) {
                ++m_at;
                continue;
            }
            if (Peek(']')) {
                ++m_at;
                return true;
            }
            return false;
        }
    }

    // A number, true, false or null: the run of bytes up to a delimiter.
    bool Scalar(Place place) {
        const std::size_t start = m_at;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == ',' || c == '}' || c == ']' || c == ' ' || c == '\t' || c == '\n' ||
                c == '\r') {
                break;
            }
            ++m_at;
        }
        if (m_at == start) {
            return false;
        }
        if (place == Place::TotalResults) {
            m_reply.totalResults = Digits(m_text.substr(start, m_at - start));
        }
        return true;
    }

    // The leading integer of a count ("123", "-5", "12.0" gives "12");
    // nullopt without a digit.
    static std::optional<std::string> Digits(std::string_view text) {
        std::size_t end = text.size() > 0 && text[0] == '-' ? 1 : 0;
        const std::size_t first = end;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            ++end;
        }
        if (end == first) {
            return std::nullopt;
        }
        return std::string(text.substr(0, end));
    }

    bool Hex4(unsigned& code) {
        if (m_at + 4 > m_text.size()) {
            return false;
        }
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_at++];
            code <<= 4;
            if (c >= '0' && c <= '9') {
                code |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                code |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                code |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return false;
            }
        }
        return true;
    }

    // A string literal at m_at; out keeps its first kMaxH5Text bytes, with
    // escapes decoded (a lone surrogate becomes U+FFFD).
    bool String(std::string& out) {
        ++m_at;  // '"'
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"') {
                return true;
            }
            if (c != '\\') {
                if (out.size() < kMaxH5Text) {
                    out += c;
                }
                continue;
            }
            if (m_at >= m_text.size()) {
                return false;
            }
            const char escaped = m_text[m_at++];
            std::string decoded;
            switch (escaped) {
                case 'n':
                    decoded = "\n";
                    break;
                case 't':
                    decoded = "\t";
                    break;
                case 'r':
                    decoded = "\r";
                    break;
                case 'b':
                    decoded = "\b";
                    break;
                case 'f':
                    decoded = "\f";
                    break;
                case 'u': {
                    unsigned code = 0;
                    if (!Hex4(code)) {
                        return false;
                    }
                    if (code >= 0xD800 && code <= 0xDFFF) {
                        unsigned low = 0;
                        if (code < 0xDC00 && m_at + 1 < m_text.size() && m_text[m_at] == '\\' &&
                            m_text[m_at + 1] == 'u') {
                            m_at += 2;
                            if (!Hex4(low)) {
                                return false;
                            }
                        }
                        if (low >= 0xDC00 && low <= 0xDFFF) {
                            runtime::AppendUtf8(decoded,
                                                0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                        } else {
                            runtime::AppendUtf8(decoded, 0xFFFD);
                        }
                    } else {
                        runtime::AppendUtf8(decoded, code);
                    }
                    break;
                }
                default:
                    decoded = std::string(1, escaped);  // \" \\ \/
            }
            if (out.size() + decoded.size() <= kMaxH5Text) {
                out += decoded;
            }
        }
        return false;
    }

    std::string_view m_text;
    H5Reply& m_reply;
    std::size_t m_at = 0;
};

// The object of "callback({...})" or of a bare "{...}": from the first '{'
// (the reader stops at its end, so the closing ")" is never read).
std::string_view Payload(std::string_view body) {
    const std::size_t brace = body.find('{');
    return brace == body.npos ? std::string_view() : body.substr(brace);
}

}  // namespace

std::string_view H5Reply::Code() const {
    if (ret.empty()) {
        return {};
    }
    const std::string_view first = ret.front();
    return first.substr(0, first.find("::"));
}

std::string_view H5Reply::Message() const {
    if (ret.empty()) {
        return {};
    }
    const std::string_view first = ret.front();
    const std::size_t colons = first.find("::");
    return colons == first.npos ? std::string_view() : first.substr(colons + 2);
}

H5Reply ReadH5Reply(std::string_view body) {
    H5Reply reply;
    Reader reader(Payload(body), reply);
    reply.readable = reader.ReadTop();
    if (!reply.readable) {
        reply.ret.clear();
        reply.totalResults.reset();
    }
    return reply;
}

}  // namespace mofeng::net
