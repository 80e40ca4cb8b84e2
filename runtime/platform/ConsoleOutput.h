#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

// Windows only: the programs' UTF-8 text shown in a console whatever its
// code page. A console takes UTF-16 through WriteConsoleW; bytes written to
// a console are read in its code page (936 on a Chinese system), and code
// page 65001 is not honoured by every console host.
namespace mofeng::runtime::platform {

// A stream buffer that gathers UTF-8 bytes and hands them on as UTF-16 in
// whole characters (a character split between two writes waits for its
// rest; malformed bytes become U+FFFD).
class Utf8ConsoleBuffer final : public std::streambuf {
public:
    // sink writes the text to the console; false fails the stream.
    using Sink = std::function<bool(std::wstring_view)>;
    explicit Utf8ConsoleBuffer(Sink sink);
    ~Utf8ConsoleBuffer() override;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override;

private:
    // Hands on every whole character gathered so far.
    bool Drain();

    Sink m_sink;
    std::string m_pending;
};

}  // namespace mofeng::runtime::platform
