#include "ui/main/MainWindowActions.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "ui/common/ListPopupMenu.h"
#include "ui/settings/SettingsAction.h"

namespace mofeng::ui {
namespace {

// The theme's icon when the desktop has one, else Qt's own.
void SetIcon(QAction* action, const char* themeName, QStyle::StandardPixmap fallback) {
    action->setIcon(
        QIcon::fromTheme(QLatin1String(themeName), QApplication::style()->standardIcon(fallback)));
}

QAction* WithKey(QAction* action, const QKeySequence& key, QWidget* window) {
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

}  // namespace

MainWindowActions CreateMainWindowActions(QMenu* menu, QWidget* window, AppContext& context) {
    MainWindowActions a;
    a.clearList = AddMenuAction(menu, QStringLiteral("清空数据"), "clearList");
    a.importKeywords = AddMenuAction(menu, QStringLiteral("导入关键词"), "importKeywords",
                                     QKeySequence::Open, window);
    a.exportSelection = AddMenuAction(menu, QStringLiteral("导出选中到表格"), "exportSelection",
                                      QKeySequence(Qt::CTRL | Qt::Key_E), window);
    a.startQuery = AddMenuAction(menu, QStringLiteral("开始查询指数"), "startQuery",
                                 QKeySequence(Qt::Key_F5), window);
    menu->addSeparator();
    a.openMining = AddMenuAction(menu, QStringLiteral("自动淘词"), "openMining");
    menu->addSeparator();
    a.openSite = AddMenuAction(menu, QStringLiteral("青禾软件官网"), "openSite");

    // The program's own commands. Edit:
    menu->addSeparator();
    a.undo = AddMenuAction(menu, QStringLiteral("撤销"), "undo", QKeySequence::Undo, window);
    a.redo = AddMenuAction(menu, QStringLiteral("重做"), "redo", QKeySequence::Redo, window);
    a.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    a.addKeywords = AddMenuAction(menu, QStringLiteral("添加关键词…"), "addKeywords",
                                  QKeySequence(Qt::Key_Insert), window);
    a.deleteRows = AddMenuAction(menu, QStringLiteral("删除选中行"), "deleteRows",
                                 QKeySequence(QKeySequence::Delete), window);
    a.removeDuplicates = AddMenuAction(menu, QStringLiteral("删除重复关键词"), "removeDuplicates");
    // List files:
    menu->addSeparator();
    a.openList = AddMenuAction(menu, QStringLiteral("打开列表…"), "openList");
    a.saveList =
        AddMenuAction(menu, QStringLiteral("保存列表…"), "saveList", QKeySequence::Save, window);
    // Query:
    menu->addSeparator();
    a.stopQuery = AddMenuAction(menu, QStringLiteral("停止查询"), "stopQuery",
                                QKeySequence(Qt::SHIFT | Qt::Key_F5), window);
    a.stopQuery->setEnabled(false);
    a.retryFailed = AddMenuAction(menu, QStringLiteral("重试失败行"), "retryFailed");
    // View:
    menu->addSeparator();
    a.showFilter =
        AddMenuAction(menu, QStringLiteral("筛选…"), "showFilter", QKeySequence::Find, window);
    a.showTrendChart = AddMenuAction(menu, QStringLiteral("七日趋势图"), "showTrendChart",
                                     QKeySequence(Qt::CTRL | Qt::Key_T), window);
    // Tools:
    menu->addSeparator();
    a.settings = CreateSettingsAction(context, window);
    menu->addAction(a.settings);

    // Only in the menu bar.
    a.openTutorial = WithKey(new QAction(QStringLiteral("视频教程"), window),
                             QKeySequence::HelpContents, window);
    a.openTutorial->setObjectName(QStringLiteral("openTutorial"));
    a.quit = WithKey(new QAction(QStringLiteral("退出"), window),
                     QKeySequence(Qt::CTRL | Qt::Key_Q), window);
    a.quit->setObjectName(QStringLiteral("quit"));

    SetIcon(a.importKeywords, "document-open", QStyle::SP_DialogOpenButton);
    SetIcon(a.exportSelection, "document-save-as", QStyle::SP_DialogSaveButton);
    SetIcon(a.startQuery, "media-playback-start", QStyle::SP_MediaPlay);
    SetIcon(a.stopQuery, "media-playback-stop", QStyle::SP_MediaStop);
    SetIcon(a.showFilter, "edit-find", QStyle::SP_FileDialogContentsView);
    SetIcon(a.openMining, "system-search", QStyle::SP_FileDialogDetailedView);
    SetIcon(a.undo, "edit-undo", QStyle::SP_ArrowBack);
    SetIcon(a.redo, "edit-redo", QStyle::SP_ArrowForward);
    SetIcon(a.deleteRows, "edit-delete", QStyle::SP_TrashIcon);
    SetIcon(a.clearList, "edit-clear", QStyle::SP_DialogResetButton);
    SetIcon(a.openTutorial, "help-browser", QStyle::SP_DialogHelpButton);
    SetIcon(a.openList, "document-open", QStyle::SP_DirOpenIcon);
    SetIcon(a.saveList, "document-save", QStyle::SP_DialogSaveButton);
    SetIcon(a.retryFailed, "view-refresh", QStyle::SP_BrowserReload);
    // Short captions on the toolbar.
    a.importKeywords->setIconText(QStringLiteral("导入"));
    a.exportSelection->setIconText(QStringLiteral("导出"));
    a.startQuery->setIconText(QStringLiteral("开始查询"));
    a.showFilter->setIconText(QStringLiteral("筛选"));
    for (QAction* action : window->actions()) {
        if (!action->shortcut().isEmpty()) {
            action->setToolTip(QStringLiteral("%1 (%2)").arg(
                action->text(), action->shortcut().toString(QKeySequence::NativeText)));
        }
    }
    return a;
}

void FillMainMenuBar(QMenuBar* bar, const MainWindowActions& a) {
    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->addActions({a.importKeywords, a.openList, a.saveList, a.exportSelection});
    file->addSeparator();
    file->addAction(a.quit);
    QMenu* edit = bar->addMenu(QStringLiteral("编辑(&E)"));
    edit->addActions({a.undo, a.redo});
    edit->addSeparator();
    edit->addActions({a.addKeywords, a.deleteRows, a.removeDuplicates, a.clearList});
    QMenu* query = bar->addMenu(QStringLiteral("查询(&Q)"));
    query->addActions({a.startQuery, a.stopQuery, a.retryFailed});
    QMenu* view = bar->addMenu(QStringLiteral("视图(&V)"));
    view->addActions({a.showFilter, a.showTrendChart});
    QMenu* tools = bar->addMenu(QStringLiteral("工具(&T)"));
    tools->addActions({a.openMining, a.settings});
    QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->addActions({a.openTutorial, a.openSite});
}

void FillMainToolBar(QToolBar* bar, const MainWindowActions& a) {
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(16, 16));
    bar->addActions({a.importKeywords, a.startQuery, a.stopQuery, a.exportSelection});
    bar->addSeparator();
    bar->addActions({a.showFilter, a.openMining});
}

}  // namespace mofeng::ui
