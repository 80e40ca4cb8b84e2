#include "runtime/platform/ProcessStartup.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <iostream>

#include "runtime/platform/ConsoleOutput.h"

namespace mofeng::runtime::platform {
namespace {

HANDLE StopEvent() {
    static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

// Runs on a thread of the system's own: it only raises the event.
BOOL WINAPI OnConsoleControl(DWORD) {
    SetEvent(StopEvent());
    return TRUE;
}

// Sends stream's text to the console as UTF-16 when handle is a console;
// a pipe or a file receives the UTF-8 bytes unchanged (binary mode: no CR is
// added before LF, so the output equals the other systems' byte for byte).
void WriteAsUtf16WhenConsole(std::ostream& stream, DWORD handleId, std::FILE* cStream) {
    const HANDLE handle = GetStdHandle(handleId);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode)) {
        std::fflush(cStream);
        _setmode(_fileno(cStream), _O_BINARY);
        return;
    }
    // Lives until the process ends: the streams may be used by destructors
    // of static objects.
    auto* buffer = new Utf8ConsoleBuffer([handle](std::wstring_view text) {
        while (!text.empty()) {
            DWORD written = 0;
            if (!WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written,
                               nullptr) ||
                written == 0) {
                return false;
            }
            text.remove_prefix(written);
        }
        return true;
    });
    stream.flush();
    stream.rdbuf(buffer);
}

}  // namespace

void PrepareConsole() {
    // For what goes through C's stdio (byte writes in the console's code page).
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    WriteAsUtf16WhenConsole(std::cout, STD_OUTPUT_HANDLE, stdout);
    WriteAsUtf16WhenConsole(std::cerr, STD_ERROR_HANDLE, stderr);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        const int units = lstrlenW(wide[i]);
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], units, nullptr, 0, nullptr, nullptr);
        std::string argument(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], units, argument.data(), bytes, nullptr, nullptr);
        arguments.push_back(std::move(argument));
    }
    LocalFree(wide);
    return arguments;
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

void BlockStopRequests() {
    StopEvent();
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void WaitForStopRequest() {
    WaitForSingleObject(StopEvent(), INFINITE);
}

}  // namespace mofeng::runtime::platform
