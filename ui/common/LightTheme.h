#pragma once

class QApplication;

namespace mofeng::ui {

// The program's look: the Fusion style with a light, quiet palette and a
// style sheet for the tab row, the lists and the menus. Sizes and fonts of
// the controls are left to the windows. Selected rows keep WCAG AA contrast
// (4.5:1) between their text and their colour, whether the window is active
// or not. Call once, before any window exists.
void ApplyLightTheme(QApplication& app);

}  // namespace mofeng::ui
