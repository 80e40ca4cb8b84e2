#include "regex/ReplacementTemplate.h"

namespace mofeng::regex {

ReplacementTemplate::ReplacementTemplate(std::string_view utf8Replacement, uint32_t groupCount) {
    std::string literal;
    auto addGroup = [&](int group) {
        if (!literal.empty()) {
            m_pieces.push_back({std::move(literal), -1});
            literal.clear();
        }
        m_pieces.push_back({{}, group});
    };
    for (size_t i = 0; i < utf8Replacement.size(); ++i) {
        const char c = utf8Replacement[i];
        const char next = i + 1 < utf8Replacement.size() ? utf8Replacement[i + 1] : '\0';
        if (c != '$') {
            literal += c;
        } else if (next == '$') {
            literal += '$';
            ++i;
        } else if (next == '&') {
            addGroup(0);
            ++i;
        } else if (next >= '1' && next <= '9' && static_cast<uint32_t>(next - '0') <= groupCount) {
            addGroup(next - '0');
            ++i;
        } else {
            literal += '$';
        }
    }
    if (!literal.empty()) {
        m_pieces.push_back({std::move(literal), -1});
    }
}

void ReplacementTemplate::AppendTo(std::string& out, std::string_view subject,
                                   const MatchList& matches, int match) const {
    for (const Piece& piece : m_pieces) {
        if (piece.group < 0) {
            out += piece.literal;
            continue;
        }
        const auto group = static_cast<uint32_t>(piece.group);
        if (matches.IsSet(match, group)) {
            const size_t start = matches.Start(match, group);
            out.append(subject.substr(start, matches.End(match, group) - start));
        }
    }
}

}  // namespace mofeng::regex
