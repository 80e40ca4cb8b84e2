#include "app/CsvRecords.h"

#include <algorithm>

namespace mofeng::app {

bool CsvRecords::Next(std::vector<std::string>& fields) {
    fields.clear();
    const std::size_t size = m_text.size();
    if (m_position >= size) {
        return false;
    }
    std::size_t i = m_position;
    std::string field;
    for (;;) {
        field.clear();
        if (i < size && m_text[i] == '"') {
            ++i;
            for (;;) {
                const std::size_t quote = m_text.find('"', i);
                if (quote == std::string_view::npos) {  // unterminated: the rest is the field
                    field.append(m_text.substr(i));
                    i = size;
                    break;
                }
                field.append(m_text.substr(i, quote - i));
                i = quote + 1;
                if (i < size && m_text[i] == '"') {
                    field += '"';
                    ++i;
                    continue;
                }
                break;
            }
        }
        // Unquoted text, or anything after a closing quote, up to the field's end.
        while (i < size && m_text[i] != m_delimiter && m_text[i] != '\n' && m_text[i] != '\r') {
            field += m_text[i++];
        }
        fields.push_back(field);
        if (i < size && m_text[i] == m_delimiter) {
            ++i;
            continue;
        }
        if (i < size && m_text[i] == '\r') {
            ++i;
        }
        if (i < size && m_text[i] == '\n') {
            ++i;
        }
        break;
    }
    m_position = i;
    return true;
}

std::optional<std::size_t> KeywordCaptionColumn(const std::vector<std::string>& fields) {
    const auto caption = std::find(fields.begin(), fields.end(), kKeywordCaption);
    if (caption == fields.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(caption - fields.begin());
}

}  // namespace mofeng::app
