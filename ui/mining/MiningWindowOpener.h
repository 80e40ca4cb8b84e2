#pragma once

namespace mofeng::ui {

class AppContext;

// Makes "自动淘词" of every main window of this context open a new mining
// window (non-modal, no parent, deleted when closed) each time. Closing a
// main window closes the mining windows opened from it, which stops their
// runs, so the program can end.
void InstallMiningWindow(AppContext& context);

}  // namespace mofeng::ui
