#pragma once

class QAction;
class QWidget;

namespace mofeng::ui {

class AppContext;

// "设置" for a window: Ctrl+, anywhere in it opens the settings dialog
// (OpenSettingsDialog) over that window. The action is the window's child.
QAction* CreateSettingsAction(AppContext& context, QWidget* window);

}  // namespace mofeng::ui
