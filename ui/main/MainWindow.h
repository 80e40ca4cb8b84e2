#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ClipboardText.h"
#include "app/ColumnSort.h"
#include "ui/common/BackgroundTasks.h"
#include "ui/main/MainWindowActions.h"
#include "ui/main/MainWindowLayout.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QTableView;
class QToolBar;
class QUndoCommand;
class QUndoStack;
class QUrl;

namespace mofeng::runtime {
class Notifier;
class Table;
}  // namespace mofeng::runtime

namespace mofeng::ui {

class AppContext;
class FileDialogSettings;
class FilterBar;
class IndexQueryController;
class KeywordFilterProxy;
class AddKeywordsDialog;
class ImportFeed;
class KeywordListModel;
class MainStatusBar;
class MiningWindowManager;
class RowIdTrail;
class ModelTable;
class SessionKeeper;
class UiNotifier;

// The program's first window: the keyword list with its pop-up menu on the
// "指数查询" tab, the home picture on "首页". UI thread only, except where
// noted. Closing it cancels its workers, releases any of them waiting on the
// window, and joins them before the window goes.
class MainWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    AppContext& Context() { return m_context; }
    // The file the next 导入关键词 dialog offers.
    void OfferImportFile(const QString& path);
    // The keyword list as the core logic sees it; any thread.
    runtime::Table& KeywordTable();
    // Message boxes for runs started from this window; any thread.
    runtime::Notifier& Notifier();
    // Workers of this window: imports, query runs.
    BackgroundTasks& Tasks() { return m_tasks; }
    KeywordListModel& Model() { return *m_model; }
    // The list shows the rows of Model() that pass the filter, through this
    // proxy: its row r is model row Filter().mapToSource(...).row().
    QTableView& List() { return *m_controls.list; }
    KeywordFilterProxy& Filter() { return *m_filter; }
    FilterBar& FilterControls() { return *m_filterBar; }
    bool IsFilterShown() const;
    // The list's rows (model rows, ascending) the seller has selected and the
    // filter shows.
    std::vector<int> SelectedRows() const;
    // The widths in pixels the list shows its columns at, in column order (0
    // for a hidden column): what the export writes.
    std::vector<int> ColumnWidths() const;
    // The width of every stored column as the list shows it (0: not shown).
    std::vector<int> StorageColumnWidths() const;
    // What an export of these rows writes: the eight, 状态, the optional
    // columns the rows hold.
    std::vector<int> ExportedColumns(const std::vector<int>& rows) const;
    // The commands of the pop-up menu, the menu bar and the toolbar.
    const MainWindowActions& Actions() const { return m_actions; }
    QMenuBar& MenuBar() { return *m_menuBar; }
    QToolBar& ToolBar() { return *m_toolBar; }
    // Below the menu bar and the toolbar: the tab control and the hyperlink,
    // placed as in the window definition (initially 904 x 468).
    QWidget& Content() { return *m_content; }
    // The pop-up menu's action with this text; null if none.
    QAction* MenuAction(const QString& text) const;
    // "开始查询指数" and "重试失败行" of this window.
    IndexQueryController& Query() { return *m_query; }
    // The mining windows "自动淘词" opened from this window.
    MiningWindowManager& MiningWindows() { return *m_miningWindows; }

    // "导入关键词" after its dialog: imports path (numbered from 1, keyword in
    // column 1) on a new worker and returns at once.
    void ImportFile(const QString& path);
    // "导出选中到表格" after its dialog: writes the selected rows (the eight
    // shown columns) to path in the format its extension names (.xlsx, .csv,
    // else .xls), as a whole or not at all. False, and no file touched, when
    // no row is selected; false when the file cannot be written.
    bool ExportSelectedTo(const QString& path);

    // The session that keeps this window's lists; restoredRows go into the
    // list first. The status line then says how many rows came back.
    void AttachSession(std::unique_ptr<SessionKeeper> session,
                       std::vector<std::vector<std::string>> restoredMainRows,
                       std::vector<std::vector<std::string>> restoredMiningRows,
                       const QString& statusText);
    // Null without a session.
    SessionKeeper* Session() { return m_session.get(); }
    // The first mining window opened gets the restored mining list and is
    // kept in the session; later ones are not. Nothing without a session.
    void AdoptMiningList(KeywordListModel& miningModel);
    // The message of the status bar under the list.
    QString StatusText() const;
    void SetStatusText(const QString& text);
    // After a save or an export to path: where it went, as a link that
    // opens its folder; or, when it failed, what and why (also in a box).
    void ReportSaved(const QString& what, const QString& path, bool saved);
    MainStatusBar& StatusBar() { return *m_statusBar; }
    // The list's edits ("添加关键词…", deletes, "清空数据", pastes), for undo.
    QUndoStack& UndoStack() { return *m_undoStack; }
    // "添加关键词…" after its dialog: the keywords as numbered rows at the end.
    void AddKeywords(std::vector<std::string> keywords);
    // From now on the window keeps its geometry, column widths and dialog
    // folders between runs (QSettings): they are restored now and saved when
    // the window closes. The program does this; tests leave it off.
    void RememberBetweenRuns();
    FileDialogSettings& ImportDialog() { return *m_importDialog; }
    // The add dialog while it is open; null otherwise.
    AddKeywordsDialog* OpenAddDialog() const;
    // "保存列表…" / "打开列表…" after their dialogs: every row with every cell;
    // opening appends the file's rows. False on failure.
    bool SaveListTo(const QString& path);
    bool OpenListFrom(const QString& path);

public slots:
    void ClearList();                // "清空数据", undoable
    void Undo();                     // "撤销", Ctrl+Z: the last edit of the list
    void Redo();                     // "重做", Ctrl+Shift+Z / Ctrl+Y
    void ChooseAndAddKeywords();     // "添加关键词…", Insert
    void DeleteSelectedRows();       // "删除选中行", Delete
    void RemoveDuplicateKeywords();  // "删除重复关键词": later repeats of column 1
    void CopySelection();            // Ctrl+C: captions and selected rows, tab-separated
    void PasteKeywords();            // Ctrl+V: the clipboard's keywords as numbered rows
    void ChooseAndSaveList();        // "保存列表…"
    void ChooseAndOpenList();        // "打开列表…"
    void ChooseAndImportFile();
    void ChooseAndExportSelection();
    void OpenSettings();  // "设置", Ctrl+,: window-modal, returns at once
    void OpenSite();
    void OpenTutorial();  // "视频教程", F1; the status line says when no browser opened it
    // A header click: largest first, or smallest first when the last sort
    // was largest first on the same column; then the view's top.
    void SortByColumn(int column);
    // The column of the arrow (-1: none) and its direction.
    int SortColumn() const { return m_sortColumn; }
    app::SortOrder SortOrder() const { return m_sortOrder; }
    // The seller (or a remembered run) set the keyword column's width; until
    // then it takes the width the list grows by.
    bool KeywordWidthSet() const { return m_keywordWidthSet; }
    // The arrow of an earlier run, kept while the rows are in its order.
    void RestoreSortOrder(int column, app::SortOrder order);
    void ShowFilter();  // "筛选…", Ctrl+F: the bar with its keyword field focused
    void HideFilter();  // Esc, the bar's close button: every row shown again
    // A step card of the home tab: 指数查询 shown, then its command.
    void StartStep(int step);
    void ShowListPage();

signals:
    // Emitted on the UI thread when the window starts to shut down (closed or
    // destroyed), before its workers are cancelled and joined.
    void ShuttingDown();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Pasted rows of a seller's table: new keywords added as one edit, the
    // others' figures merged onto their rows.
    void PasteMarketRows(std::vector<app::PastedMarketRow> pasted);
    // The optional columns shown changed: the filter bar offers them.
    void OptionalColumnsChanged();
    // The menu bar, the toolbar and the content widget below them, at the
    // initial geometry; returns the content widget.
    QWidget* CreateChrome();
    // While a run is on: 停止查询 enabled; 清空数据, 导入 and 打开列表 not.
    void ShowRunState(bool running);
    void OpenWebPage(const QUrl& url);
    // The list below the filter bar when it shows, then the status line.
    void LayOutList();
    void SetFilterVisible(bool visible);
    // The bar's criteria to the proxy; the selected rows still shown stay selected.
    void ApplyFilter();
    void ForgetSortOrder();
    void ShowSortIndicator();
    // The arrow goes once the rows are no longer in the order it shows
    // (a run's results, added rows); checked once per event-loop pass.
    void QueueSortCheck();
    void CheckSortOrder();
    void ConnectMenu();
    void ConnectEditCommands();
    // Pushes an edit of the list onto the undo stack, which carries it out.
    void PushEdit(QUndoCommand* command);
    // Cancels, detaches and joins; safe to call more than once.
    void Shutdown();

    AppContext& m_context;
    KeywordListModel* m_model = nullptr;
    KeywordFilterProxy* m_filter = nullptr;  // what the list shows
    MainWindowControls m_controls;
    FilterBar* m_filterBar = nullptr;
    int m_sortColumn = -1;  // of the last header click; -1 before any
    app::SortOrder m_sortOrder = app::SortOrder::LargestFirst;
    bool m_sortCheckQueued = false;
    bool m_keywordWidthSet = false;  // by the seller (or their last run): no longer fitted
    bool m_fittingKeyword = false;   // the window is setting it
    QMenu* m_menu = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QToolBar* m_toolBar = nullptr;
    QWidget* m_content = nullptr;
    MainWindowActions m_actions;
    IndexQueryController* m_query = nullptr;         // child of the window
    MiningWindowManager* m_miningWindows = nullptr;  // child of the window
    FileDialogSettings* m_importDialog = nullptr;
    FileDialogSettings* m_exportDialog = nullptr;
    std::unique_ptr<ModelTable> m_table;
    std::unique_ptr<UiNotifier> m_notifier;
    MainStatusBar* m_statusBar = nullptr;  // on the list's page
    QUndoStack* m_undoStack = nullptr;
    std::shared_ptr<RowIdTrail> m_idTrail;  // shared by the stack's commands
    bool m_remembers = false;               // saved at the first Shutdown
    QPointer<AddKeywordsDialog> m_addDialog;
    FileDialogSettings* m_listDialog = nullptr;
    std::vector<std::vector<std::string>> m_pendingMiningRows;
    std::unique_ptr<SessionKeeper> m_session;
    BackgroundTasks m_tasks;  // last member: joined before the rest goes
};

}  // namespace mofeng::ui
