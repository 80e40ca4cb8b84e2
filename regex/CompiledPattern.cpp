#include "regex/CompiledPattern.h"

#include <memory>

#include "runtime/CodePage.h"

namespace mofeng::regex {
namespace {

struct CompileContextDeleter {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};

// The dialect the callers' patterns are written in: characters, not bytes
// (UTF); \d, \w and \b stay ASCII (no UCP); a backreference to a group that
// did not take part matches the empty text; \uhhhh and \xhh escapes; "$"
// without multi-line means the very end only.
uint32_t CompileOptions(bool caseSensitive, bool multiLine) {
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALT_BSUX;
    if (!caseSensitive) {
        options |= PCRE2_CASELESS;
    }
    options |= multiLine ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
    return options;
}

// Compiled for UTF-8 text with the JIT where it is available; null when the
// pattern is invalid.
pcre2_code* Compile(std::string_view gbkPattern, uint32_t options) {
    std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(
        pcre2_compile_context_create(nullptr));
    if (!context) {
        return nullptr;
    }
    // Only LF ends a line, whatever the library was built with: "." matches CR.
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);

    const std::string utf8 = runtime::GbkToUtf8(gbkPattern);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8.data()), utf8.size(),
                                     options, &errorCode, &errorOffset, context.get());
    if (code != nullptr) {
        // Without JIT support (or on failure) matching falls back to the interpreter.
        pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    }
    return code;
}

}  // namespace

CompiledPattern::CompiledPattern(std::string_view gbkPattern, bool caseSensitive, bool multiLine)
    : m_gbkPattern(gbkPattern), m_caseSensitive(caseSensitive), m_multiLine(multiLine) {
    m_code = Compile(gbkPattern, CompileOptions(caseSensitive, multiLine));
    if (m_code == nullptr) {
        return;
    }
    pcre2_pattern_info(m_code, PCRE2_INFO_CAPTURECOUNT, &m_groupCount);
}

CompiledPattern::~CompiledPattern() {
    pcre2_code_free(m_code);
    pcre2_code_free(m_anchoredCode);
}

const pcre2_code* CompiledPattern::AnchoredCode() const {
    if (m_code == nullptr) {
        return nullptr;
    }
    std::call_once(m_anchoredOnce, [this] {
        m_anchoredCode =
            Compile(m_gbkPattern, CompileOptions(m_caseSensitive, m_multiLine) | PCRE2_ANCHORED);
    });
    return m_anchoredCode;
}

bool CompiledPattern::IsSameAs(std::string_view gbkPattern, bool caseSensitive,
                               bool multiLine) const {
    return m_caseSensitive == caseSensitive && m_multiLine == multiLine &&
           m_gbkPattern == gbkPattern;
}

}  // namespace mofeng::regex
