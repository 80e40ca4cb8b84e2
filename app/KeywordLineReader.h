#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mofeng::app {

// Splits GBK keyword-file bytes into lines the way the keyword import reads
// them. A line runs up to the next LF, NUL or SUB (0x1A) byte or the end of
// the data; one CR directly before the line's end is dropped, other CRs stay.
// A LF is consumed; NUL and SUB are not, so they end the data for good.
// A byte >= 0x80 takes the byte after it along as its trail byte, so the
// trail byte is never read as a line end. LF, NUL and SUB can never be GBK
// trail bytes, though: a lead byte followed by one of them (or standing last)
// is a lone byte, kept in the line, and the line ends as usual — a stray high
// byte never merges two lines. Lines have no length limit.
// The view must outlive the reader.
class KeywordLineReader final {
public:
    explicit KeywordLineReader(std::string_view gbk) : m_data(gbk) {}

    // True at the end of the data or on a NUL or SUB byte.
    bool AtEnd() const;

    // The next line; empty when AtEnd().
    std::string ReadLine();

    // Bytes consumed so far.
    std::size_t Position() const { return m_position; }

private:
    std::string_view m_data;
    std::size_t m_position = 0;
};

}  // namespace mofeng::app
