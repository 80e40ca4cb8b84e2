#pragma once

class QAction;
class QMenu;
class QWidget;

namespace mofeng::ui {

// The main list's pop-up menu commands. The first section is the original
// program's menu in its order; the program's own commands follow in one
// section after "青禾软件官网". Object names are ASCII; texts are the seller's.
struct MainWindowActions {
    QAction* clearList = nullptr;         // 清空数据
    QAction* importKeywords = nullptr;    // 导入关键词
    QAction* exportSelection = nullptr;   // 导出选中到表格
    QAction* startQuery = nullptr;        // 开始查询指数
    QAction* openMining = nullptr;        // 自动淘词
    QAction* openSite = nullptr;          // 青禾软件官网
    QAction* undo = nullptr;              // 撤销 (Ctrl+Z): the last edit of the list
    QAction* saveList = nullptr;          // 保存列表…
    QAction* openList = nullptr;          // 打开列表…
    QAction* retryFailed = nullptr;       // 重试失败行
    QAction* addKeywords = nullptr;       // 添加关键词… (Insert)
    QAction* deleteRows = nullptr;        // 删除选中行 (Delete)
    QAction* removeDuplicates = nullptr;  // 删除重复关键词
    QAction* redo = nullptr;              // 重做 (Ctrl+Shift+Z, Ctrl+Y)
    QAction* showFilter = nullptr;        // 筛选… (Ctrl+F)
    QAction* showTrendChart = nullptr;    // 七日趋势图 (Ctrl+T): the current row's chart
    QAction* settings = nullptr;          // 设置 (Ctrl+,)
};

// Fills menu with the actions, in menu order; shortcuts act in window.
MainWindowActions CreateMainWindowActions(QMenu* menu, QWidget* window);

}  // namespace mofeng::ui
