#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace mofeng::ui {

class AppContext;

// The main window's commands: one QAction each, shared by the list's pop-up
// menu, the menu bar and the toolbar. Object names are ASCII; texts are the
// seller's; icons come from the desktop theme, else from Qt's own style.
struct MainWindowActions {
    QAction* clearList = nullptr;         // 清空数据
    QAction* importKeywords = nullptr;    // 导入关键词 (Ctrl+O)
    QAction* exportSelection = nullptr;   // 导出选中到表格 (Ctrl+E)
    QAction* startQuery = nullptr;        // 开始查询指数 (F5)
    QAction* openMining = nullptr;        // 自动淘词
    QAction* openSite = nullptr;          // 青禾软件官网
    QAction* undo = nullptr;              // 撤销 (Ctrl+Z): the last edit of the list
    QAction* redo = nullptr;              // 重做 (Ctrl+Shift+Z, Ctrl+Y)
    QAction* addKeywords = nullptr;       // 添加关键词… (Insert)
    QAction* deleteRows = nullptr;        // 删除选中行 (Delete)
    QAction* removeDuplicates = nullptr;  // 删除重复关键词
    QAction* openList = nullptr;          // 打开列表…
    QAction* saveList = nullptr;          // 保存列表… (Ctrl+S)
    QAction* stopQuery = nullptr;    // 停止查询 (Shift+F5; Esc in the list): while a run is on
    QAction* retryFailed = nullptr;  // 重试失败行
    QAction* showFilter = nullptr;   // 筛选… (Ctrl+F)
    QAction* showTrendChart = nullptr;  // 七日趋势图 (Ctrl+T): the current row's chart
    QAction* settings = nullptr;        // 设置 (Ctrl+,): opens the settings dialog
    QAction* openTutorial = nullptr;    // 视频教程 (F1)
    QAction* quit = nullptr;            // 退出 (Ctrl+Q)
};

// Fills the list's pop-up menu: first the original program's menu in its
// order (清空数据 … 青禾软件官网), then the program's own commands grouped
// (edit, list files, query, view, tools) between separators. Shortcuts act
// anywhere in window.
MainWindowActions CreateMainWindowActions(QMenu* menu, QWidget* window, AppContext& context);

// The menu bar (文件, 编辑, 查询, 视图, 工具, 帮助) and the toolbar of the
// frequent commands (导入, 开始查询, 停止查询, 导出, 筛选, 自动淘词), over the
// same actions.
void FillMainMenuBar(QMenuBar* bar, const MainWindowActions& actions);
void FillMainToolBar(QToolBar* bar, const MainWindowActions& actions);

}  // namespace mofeng::ui
