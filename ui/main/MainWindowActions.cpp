#include "ui/main/MainWindowActions.h"

#include <QKeySequence>
#include <QMenu>

#include "ui/common/ListPopupMenu.h"

namespace mofeng::ui {

MainWindowActions CreateMainWindowActions(QMenu* menu, QWidget* window) {
    MainWindowActions a;
    a.clearList = AddMenuAction(menu, QStringLiteral("清空数据"), "clearList");
    a.importKeywords = AddMenuAction(menu, QStringLiteral("导入关键词"), "importKeywords");
    a.exportSelection = AddMenuAction(menu, QStringLiteral("导出选中到表格"), "exportSelection");
    a.startQuery = AddMenuAction(menu, QStringLiteral("开始查询指数"), "startQuery");
    menu->addSeparator();
    a.openMining = AddMenuAction(menu, QStringLiteral("自动淘词"), "openMining");
    menu->addSeparator();
    a.openSite = AddMenuAction(menu, QStringLiteral("青禾软件官网"), "openSite");
    // The program's own commands.
    menu->addSeparator();
    a.undo = AddMenuAction(menu, QStringLiteral("撤销"), "undo", QKeySequence::Undo, window);
    a.saveList = AddMenuAction(menu, QStringLiteral("保存列表…"), "saveList");
    a.openList = AddMenuAction(menu, QStringLiteral("打开列表…"), "openList");
    a.retryFailed = AddMenuAction(menu, QStringLiteral("重试失败行"), "retryFailed");
    a.addKeywords = AddMenuAction(menu, QStringLiteral("添加关键词…"), "addKeywords",
                                  QKeySequence(Qt::Key_Insert), window);
    a.deleteRows = AddMenuAction(menu, QStringLiteral("删除选中行"), "deleteRows",
                                 QKeySequence(QKeySequence::Delete), window);
    a.removeDuplicates = AddMenuAction(menu, QStringLiteral("删除重复关键词"), "removeDuplicates");
    a.redo = AddMenuAction(menu, QStringLiteral("重做"), "redo", QKeySequence::Redo, window);
    a.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    a.showFilter =
        AddMenuAction(menu, QStringLiteral("筛选…"), "showFilter", QKeySequence::Find, window);
    a.showTrendChart = AddMenuAction(menu, QStringLiteral("七日趋势图"), "showTrendChart",
                                     QKeySequence(Qt::CTRL | Qt::Key_T), window);
    a.settings = AddMenuAction(menu, QStringLiteral("设置"), "settings",
                               QKeySequence(Qt::CTRL | Qt::Key_Comma), window);
    return a;
}

}  // namespace mofeng::ui
