#pragma once

#include <string>
#include <vector>

// What a program sets up before its work, where POSIX systems and Windows
// differ.
namespace mofeng::runtime::platform {

// First thing in main() of the command-line programs: their texts are UTF-8,
// so on Windows the console is switched to code page 65001; nothing to do
// elsewhere.
void PrepareConsole();

// The program's arguments (without its name) as UTF-8: on Windows read
// from the UTF-16 command line, since argv holds them in the ANSI code page,
// which cannot hold every file name.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// True when standard error is a terminal (progress is drawn only there).
bool StandardErrorIsTerminal();

// For a program that serves until it is told to stop (Ctrl-C, SIGTERM, the
// console closing). Call BlockStopRequests() before any thread starts, so
// that only WaitForStopRequest() sees them; writes to a closed socket then
// fail instead of ending the process.
void BlockStopRequests();
void WaitForStopRequest();

}  // namespace mofeng::runtime::platform
