#pragma once

namespace mofeng::ui {

// The desktop program from start to exit: the current directory becomes the
// program's folder, the options are read (a bad one: message on stderr, exit
// code 2), the program-wide objects are made, the main window is shown and
// the event loop runs until the last window has closed; then the program-wide
// objects are released. Returns the exit code.
int RunGuiProgram(int argc, char** argv);

}  // namespace mofeng::ui
