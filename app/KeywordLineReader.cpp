#include "app/KeywordLineReader.h"

namespace mofeng::app {
namespace {

constexpr unsigned char kLineFeed = 0x0A;
constexpr unsigned char kCarriageReturn = 0x0D;
constexpr unsigned char kNul = 0x00;
constexpr unsigned char kSub = 0x1A;

bool EndsData(unsigned char b) {
    return b == kNul || b == kSub;
}
bool EndsLine(unsigned char b) {
    return b == kLineFeed || EndsData(b);
}

}  // namespace

bool KeywordLineReader::AtEnd() const {
    return m_position >= m_data.size() || EndsData(static_cast<unsigned char>(m_data[m_position]));
}

std::string KeywordLineReader::ReadLine() {
    const std::size_t size = m_data.size();
    const std::size_t start = m_position;
    std::size_t i = start;
    while (i < size) {
        const auto b = static_cast<unsigned char>(m_data[i]);
        if (EndsLine(b)) {
            break;
        }
        if (b >= 0x80 && i + 1 < size && !EndsLine(static_cast<unsigned char>(m_data[i + 1]))) {
            i += 2;
        } else {
            ++i;
        }
    }
    std::size_t end = i;
    if (i < size && static_cast<unsigned char>(m_data[i]) == kLineFeed) {
        m_position = i + 1;
    } else {
        m_position = i;  // stays on NUL / SUB, or at the end
    }
    if (end > start && static_cast<unsigned char>(m_data[end - 1]) == kCarriageReturn) {
        --end;
    }
    return std::string(m_data.substr(start, end - start));
}

}  // namespace mofeng::app
