#include "runtime/platform/ProcessStartup.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <io.h>

#include <cstdio>

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

}  // namespace

void PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
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
