#include "regex/RegexObject.h"

#include "regex/CompiledPattern.h"
#include "regex/MatchList.h"
#include "regex/ReplacementTemplate.h"
#include "runtime/CodePage.h"

namespace mofeng::regex {

// One search and its results. Never changed after Search has filled it, so
// clones share it and a new Search builds a fresh one.
struct RegexObject::State {
    std::string pattern;                              // GBK, as given
    std::shared_ptr<const CompiledPattern> compiled;  // reused by the next Search if it fits
    std::string subject;                              // UTF-8 form of the subject
    MatchList matches;                                // offsets into subject
    bool complete = false;  // false: invalid pattern, or a limit ended the search
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(RegexObject&&) noexcept = default;
RegexObject& RegexObject::operator=(RegexObject&&) noexcept = default;

bool RegexObject::Search(std::string_view pattern, std::string_view subject, bool caseSensitive,
                         bool multiLine, bool global) {
    auto state = std::make_shared<State>();
    state->pattern = pattern;
    if (m_state && m_state->compiled->IsSameAs(pattern, caseSensitive, multiLine)) {
        state->compiled = m_state->compiled;
    } else {
        state->compiled =
            std::make_shared<const CompiledPattern>(pattern, caseSensitive, multiLine);
    }
    // The last subject goes before the next is converted: one search's
    // subject at a time.
    m_state.reset();
    if (state->compiled->IsValid()) {
        state->subject = runtime::GbkToUtf8(subject);
        state->complete = state->matches.Collect(*state->compiled, state->subject, global) ==
                          MatchList::Outcome::Complete;
    }
    m_state = std::move(state);
    return m_state->complete;
}

int RegexObject::MatchCount() const {
    return m_state ? m_state->matches.Count() : 0;
}

std::string RegexObject::MatchText(int match) const {
    return SubMatchTextAt(match, 0);
}

std::string RegexObject::SubMatchText(int match, int group) const {
    return group < 1 ? std::string() : SubMatchTextAt(match, static_cast<uint32_t>(group));
}

std::string RegexObject::SubMatchTextAt(int match, uint32_t group) const {
    if (match < 1 || match > MatchCount() || group > m_state->matches.GroupCount()) {
        return {};
    }
    const MatchList& matches = m_state->matches;
    if (!matches.IsSet(match - 1, group)) {
        return {};
    }
    const size_t start = matches.Start(match - 1, group);
    const size_t length = matches.End(match - 1, group) - start;
    return runtime::Utf8ToGbk(std::string_view(m_state->subject).substr(start, length));
}

int RegexObject::SubMatchCount() const {
    return MatchCount() > 0 ? static_cast<int>(m_state->matches.GroupCount()) : 0;
}

std::string RegexObject::PatternText() const {
    return m_state ? m_state->pattern : std::string();
}

std::string RegexObject::Replace(std::string_view replacement) const {
    if (!m_state || !m_state->complete) {
        return {};
    }
    const std::string_view subject = m_state->subject;
    const MatchList& matches = m_state->matches;
    const ReplacementTemplate pieces(runtime::GbkToUtf8(replacement), matches.GroupCount());
    std::string out;
    out.reserve(subject.size());
    size_t copied = 0;
    for (int i = 0; i < matches.Count(); ++i) {
        out.append(subject.substr(copied, matches.Start(i, 0) - copied));
        pieces.AppendTo(out, subject, matches, i);
        copied = matches.End(i, 0);
    }
    out.append(subject.substr(copied));
    return runtime::Utf8ToGbk(out);
}

RegexObject RegexObject::Clone() const {
    RegexObject copy;
    copy.m_state = m_state;
    return copy;
}

void RegexObject::Release() {
    m_state.reset();
}

void RegexObject::ReleaseSubject() {
    if (!m_state) {
        return;
    }
    auto kept = std::make_shared<State>();
    kept->pattern = m_state->pattern;
    kept->compiled = m_state->compiled;
    m_state = std::move(kept);
}

}  // namespace mofeng::regex
