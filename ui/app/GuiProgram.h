#pragma once

#include <QString>

#include "app/RunFolder.h"

namespace mofeng::ui {

class AppContext;

// The desktop program from start to exit: --help and --version answer without
// a display; without one, one line on stderr and exit code 1; a bad option:
// message on stderr, exit code 2. Then the program-wide objects are made, the
// run folder becomes the current directory, the main window is shown and the
// event loop runs until the last window has closed; then the program-wide
// objects are released. Returns the exit code.
int RunGuiProgram(int argc, char** argv);

// Chooses the run folder (app::ChooseRunFolder) of the program in programDir
// and makes it both the current directory, where the file dialogs first
// look, and the context's RunDirectory(), where the mining export writes.
app::RunFolder EnterRunFolder(AppContext& context, const QString& programDir,
                              const QString& documentsDir,
                              const app::FolderWritableCheck& isWritable);

}  // namespace mofeng::ui
