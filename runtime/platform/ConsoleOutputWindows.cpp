#include "runtime/platform/ConsoleOutput.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace mofeng::runtime::platform {
namespace {

// Length of the leading part of bytes that ends on a character boundary:
// an incomplete UTF-8 sequence at the end (at most three bytes) is left out.
std::size_t WholeCharacters(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back for its lead
        }
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

}  // namespace

Utf8ConsoleBuffer::Utf8ConsoleBuffer(Sink sink) : m_sink(std::move(sink)) {}

Utf8ConsoleBuffer::~Utf8ConsoleBuffer() {
    Drain();
}

Utf8ConsoleBuffer::int_type Utf8ConsoleBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    m_pending += traits_type::to_char_type(c);
    if (c == '\n' && !Drain()) {
        return traits_type::eof();
    }
    return c;
}

std::streamsize Utf8ConsoleBuffer::xsputn(const char* bytes, std::streamsize count) {
    m_pending.append(bytes, static_cast<std::size_t>(count));
    return Drain() ? count : 0;
}

int Utf8ConsoleBuffer::sync() {
    return Drain() ? 0 : -1;
}

bool Utf8ConsoleBuffer::Drain() {
    const std::size_t whole = WholeCharacters(m_pending);
    if (whole == 0) {
        return true;
    }
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, m_pending.data(), static_cast<int>(whole), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, m_pending.data(), static_cast<int>(whole), wide.data(), units);
    m_pending.erase(0, whole);
    return m_sink(wide);
}

}  // namespace mofeng::runtime::platform
