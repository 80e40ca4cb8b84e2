#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "columns/KeywordListSchema.h"

namespace mofeng::app {

// Splits delimited text (RFC 4180: CSV with ',', TSV with '\t') into records.
// A field that starts with '"' is quoted: it runs to the next lone '"', a
// doubled '""' inside stands for one '"', and delimiters and line breaks
// inside are kept. Records end at LF, CR LF or a lone CR outside quotes.
// Bytes are GBK (or any ASCII-compatible code): the delimiters, quotes and
// line ends are below 0x40 and so never GBK trail bytes. The view must
// outlive the reader.
class CsvRecords final {
public:
    CsvRecords(std::string_view text, char delimiter) : m_text(text), m_delimiter(delimiter) {}

    // The next record into fields; false once the text is used up. A line
    // with nothing on it gives one empty field.
    bool Next(std::vector<std::string>& fields);

    std::size_t Position() const { return m_position; }

private:
    std::string_view m_text;
    char m_delimiter;
    std::size_t m_position = 0;
};

// The caption of the keyword column (GBK) in a file's first record.
inline constexpr std::string_view kKeywordCaption = columns::Caption(columns::Column::Keyword);

// Position of the field equal to kKeywordCaption; nullopt when none is.
std::optional<std::size_t> KeywordCaptionColumn(const std::vector<std::string>& fields);

}  // namespace mofeng::app
