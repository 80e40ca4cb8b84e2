#include "ui/main/MainWindow.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "app/ClipboardText.h"
#include "app/ColumnSort.h"
#include "app/ExportFormats.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/ListFile.h"
#include "app/MarketCells.h"
#include "app/SessionStore.h"
#include "app/SpreadsheetExport.h"
#include "ui/common/ClickArea.h"
#include "ui/common/FileDialogSettings.h"
#include "ui/common/FilePath.h"
#include "ui/common/GbkQt.h"
#include "ui/common/HyperlinkLabel.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/ListPopupMenu.h"
#include "ui/common/ModelTable.h"
#include "ui/common/QueuedCall.h"
#include "ui/common/ReportListView.h"
#include "ui/common/SessionKeeper.h"
#include "ui/common/UiNotifier.h"
#include "ui/common/UiResources.h"
#include "ui/common/UiThreadBridge.h"
#include "ui/common/WriteProblemText.h"
#include "ui/main/FilterBar.h"
#include "ui/main/ImportFeed.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/KeywordFilterProxy.h"
#include "ui/main/ListHeaderMenu.h"
#include "ui/main/MainStatusBar.h"
#include "ui/main/MainWindowMemory.h"
#include "ui/main/SheetChooser.h"
#include "ui/main/TrendChartDialog.h"
#include "ui/main/TrendRowLookup.h"
#include "ui/mining/MiningWindowManager.h"
#include "ui/settings/SettingsDialog.h"
#include "ui/startup/AppContext.h"

namespace mofeng::ui {
namespace {

// The columns of figures (宝贝数量 … 趋势比(斜率)): right-aligned, and rows
// without a figure sort last.
bool IsFigureColumn(int column) {
    const columns::ColumnInfo* info = columns::InfoAt(column);
    return info != nullptr && info->shown && info->figure;
}

// 需求供给比 computed from our 宝贝数量 says so.
QVariant DemandSupplyTip(const runtime::TableData& data, int row, int column) {
    if (column != columns::Index(columns::Column::DemandSupply) ||
        data.Cell(row, columns::Index(columns::Column::DemandSupplyOurs)).empty()) {
        return {};
    }
    return QStringLiteral("%1（搜索人气 ÷ 本软件查到的宝贝数量，表中没有在线商品数）")
        .arg(FromGbk(data.Cell(row, column)));
}

// Message flags: OK button, warning icon.
constexpr int kMessageWarning = 48;

}  // namespace

MainWindow::MainWindow(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context) {
    InitUiResources();
    setWindowTitle(QStringLiteral("墨枫V1.1"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    m_content = CreateChrome();

    m_model = new KeywordListModel(MainListColumns(), app::kKeywordListColumnCount, this);
    m_controls = CreateMainWindowControls(m_content, m_model);
    m_filter = new KeywordFilterProxy(m_model, this);
    ShowThroughProxy(m_controls.list, m_filter);
    m_table = std::make_unique<ModelTable>(m_model);
    m_notifier = std::make_unique<UiNotifier>(this);

    m_importDialog =
        new FileDialogSettings(QFileDialog::AcceptOpen, QStringLiteral("通用对话框1"), this);
    m_importDialog->Options().nameFilter =
        QStringLiteral("关键词文件 (*.txt *.csv *.tsv *.xlsx *.xls *.ods);;所有文件 (*)");
    m_exportDialog =
        new FileDialogSettings(QFileDialog::AcceptSave, QStringLiteral("通用对话框2"), this);

    m_menu = CreateListPopupMenu(this, m_controls.list, QStringLiteral("菜单"));
    m_actions = CreateMainWindowActions(m_menu, this, m_context);
    FillMainMenuBar(m_menuBar, m_actions);
    FillMainToolBar(m_toolBar, m_actions);
    ConnectMenu();
    QHeaderView* header = m_controls.list->horizontalHeader();
    header->setSortIndicatorShown(true);
    ForgetSortOrder();
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { SortByColumn(m_model->StorageColumn(section)); });
    SetUpListHeader(m_controls.list, m_model);
    m_model->SetCellTip(DemandSupplyTip);
    connect(m_model, &QAbstractItemModel::columnsInserted, this,
            &MainWindow::OptionalColumnsChanged);
    connect(m_model, &QAbstractItemModel::columnsRemoved, this,
            &MainWindow::OptionalColumnsChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &MainWindow::OptionalColumnsChanged);
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        m_keywordWidthSet = m_keywordWidthSet || (column == kKeywordColumn && !m_fittingKeyword);
    });
    connect(m_model, &KeywordListModel::Cleared, this, &MainWindow::ForgetSortOrder);
    connect(m_model, &QAbstractItemModel::modelReset, this, &MainWindow::QueueSortCheck);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &MainWindow::QueueSortCheck);
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& first, const QModelIndex& last) {
                const int sorted = m_model->ViewColumn(m_sortColumn);
                if (first.column() <= sorted && sorted <= last.column()) {
                    QueueSortCheck();
                }
            });
    connect(m_controls.tutorialLink, &HyperlinkLabel::pressed, this, &MainWindow::OpenTutorial);
    for (int step = 0; step < static_cast<int>(m_controls.stepCards.size()); ++step) {
        for (ClickArea* area : {m_controls.stepCards[step], m_controls.bannerSteps[step]}) {
            connect(area, &ClickArea::clicked, this, [this, step] { StartStep(step); });
        }
    }

    // The seven-day chart of a row: double-click on it, or Ctrl+T for the current row.
    const auto showTrendChart = [this](const QModelIndex& index) {
        if (!ShowTrendChart(this, m_model->Data(), KeywordListRowOf(index).row)) {
            SetStatusText(QStringLiteral("这一行没有七日指数，没有趋势图"));
        }
    };
    connect(m_actions.showTrendChart, &QAction::triggered, this,
            [this, showTrendChart] { showTrendChart(m_controls.list->currentIndex()); });
    connect(m_controls.list, &QTableView::doubleClicked, this, showTrendChart);

    m_listDialog =
        new FileDialogSettings(QFileDialog::AcceptSave, QStringLiteral("列表对话框"), this);
    m_statusBar = new MainStatusBar(*m_controls.list, *m_model,
                                    [this] { return static_cast<int>(SelectedRows().size()); });
    m_statusBar->MessageLabel().setOpenExternalLinks(true);
    m_controls.list->installEventFilter(this);
    m_filterBar = new FilterBar(m_controls.list->parentWidget());
    m_filterBar->hide();
    connect(m_filterBar, &FilterBar::CriteriaChanged, this, &MainWindow::ApplyFilter);
    connect(m_filterBar, &FilterBar::CloseRequested, this, &MainWindow::HideFilter);
    connect(m_actions.showFilter, &QAction::triggered, this, &MainWindow::ShowFilter);
    if (QSettings().value(QLatin1String(kFilterVisibleKey), false).toBool()) {
        SetFilterVisible(true);
    }
    ConnectEditCommands();

    m_query =
        new IndexQueryController(*m_model, m_tasks, m_context, m_statusBar->ProgressLabel(), *this);
    connect(m_actions.startQuery, &QAction::triggered, m_query,
            &IndexQueryController::StartOrOfferStop);
    connect(m_actions.stopQuery, &QAction::triggered, m_query, &IndexQueryController::Stop);
    connect(m_actions.retryFailed, &QAction::triggered, m_query,
            &IndexQueryController::RetryFailedRows);
    connect(m_query, &IndexQueryController::StatusMessage, this, &MainWindow::SetStatusText);
    connect(m_query, &IndexQueryController::RunningChanged, this, &MainWindow::ShowRunState);
    // Before the window joins its workers, so a stalled fetch is abandoned at once.
    connect(this, &MainWindow::ShuttingDown, m_query, &IndexQueryController::StopRun);
    m_miningWindows = new MiningWindowManager(m_context, *m_table, *this);
    connect(m_miningWindows, &MiningWindowManager::ListOpened, this, &MainWindow::AdoptMiningList);
    connect(m_miningWindows, &MiningWindowManager::StatusMessage, this, &MainWindow::SetStatusText);
    connect(m_actions.openMining, &QAction::triggered, m_miningWindows, &MiningWindowManager::Open);
}

MainWindow::~MainWindow() {
    Shutdown();
}

runtime::Table& MainWindow::KeywordTable() {
    return *m_table;
}

runtime::Notifier& MainWindow::Notifier() {
    return *m_notifier;
}

std::vector<int> MainWindow::SelectedRows() const {
    std::vector<int> rows;
    const QAbstractItemModel* shown = m_controls.list->model();
    // Ranges may overlap and need not cover whole rows: collect, then unique.
    for (const QItemSelectionRange& range : m_controls.list->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(KeywordListRowOf(shown->index(row, 0)).row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase(rows, -1);
    return rows;
}

std::vector<int> MainWindow::StorageColumnWidths() const {
    const QHeaderView* header = m_controls.list->horizontalHeader();
    std::vector<int> widths(static_cast<std::size_t>(columns::kColumnCount), 0);
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const auto stored = static_cast<std::size_t>(m_model->StorageColumn(column));
        widths[stored] = header->isSectionHidden(column) ? 0 : header->sectionSize(column);
    }
    return widths;
}

std::vector<int> MainWindow::ExportedColumns(const std::vector<int>& rows) const {
    return app::LeadingAndPresentColumns(*m_table, rows, columns::kExportedColumnCount);
}

void MainWindow::OptionalColumnsChanged() {
    std::vector<int> optional;
    for (int column : m_model->ShownColumns()) {
        if (m_model->IsOptional(column)) {
            optional.push_back(column);
        }
    }
    m_filterBar->SetOptionalColumns(optional);
    LayOutList();
    if (m_sortColumn >= 0 && m_model->ViewColumn(m_sortColumn) < 0) {
        ForgetSortOrder();
    } else if (m_sortColumn >= 0) {
        ShowSortIndicator();
    }
}

std::vector<int> MainWindow::ColumnWidths() const {
    const QHeaderView* header = m_controls.list->horizontalHeader();
    std::vector<int> widths;
    for (int column = 0; column < app::kKeywordListColumnCount; ++column) {
        widths.push_back(header->isSectionHidden(column) ? 0 : header->sectionSize(column));
    }
    return widths;
}

QAction* MainWindow::MenuAction(const QString& text) const {
    return MenuActionByText(m_menu, text);
}

void MainWindow::ConnectMenu() {
    // A command on the list, chosen while 首页 is in front, shows the list it
    // works on, before its dialog opens.
    for (QAction* action :
         {m_actions.importKeywords, m_actions.exportSelection, m_actions.startQuery,
          m_actions.openList, m_actions.addKeywords, m_actions.showFilter}) {
        connect(action, &QAction::triggered, this, &MainWindow::ShowListPage);
    }
    const std::pair<QAction*, void (MainWindow::*)()> commands[] = {
        {m_actions.clearList, &MainWindow::ClearList},
        {m_actions.importKeywords, &MainWindow::ChooseAndImportFile},
        {m_actions.exportSelection, &MainWindow::ChooseAndExportSelection},
        {m_actions.openSite, &MainWindow::OpenSite},
        {m_actions.undo, &MainWindow::Undo},
        {m_actions.saveList, &MainWindow::ChooseAndSaveList},
        {m_actions.openList, &MainWindow::ChooseAndOpenList},
        {m_actions.addKeywords, &MainWindow::ChooseAndAddKeywords},
        {m_actions.deleteRows, &MainWindow::DeleteSelectedRows},
        {m_actions.removeDuplicates, &MainWindow::RemoveDuplicateKeywords},
        {m_actions.redo, &MainWindow::Redo},
        {m_actions.openTutorial, &MainWindow::OpenTutorial},
    };
    for (const auto& [action, slot] : commands) {
        connect(action, &QAction::triggered, this, slot);
    }
    connect(m_actions.quit, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::CopySelection() {
    const std::vector<int> rows = SelectedRows();
    if (!rows.empty()) {
        QGuiApplication::clipboard()->setText(FromGbk(app::CopiedRowsText(
            *m_table, rows,
            app::LeadingAndPresentColumns(*m_table, rows, app::kKeywordListColumnCount))));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_content && event->type() == QEvent::Resize) {
        LayOutList();
    }
    if (watched == m_controls.list && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            CopySelection();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            PasteKeywords();
            return true;
        }
        if (key->matches(QKeySequence::Undo)) {
            Undo();
            return true;
        }
        if (key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
            Redo();
            return true;
        }
        // Also the actions' shortcuts, for when the window is not the active one.
        if (key->matches(QKeySequence::Delete)) {
            DeleteSelectedRows();
            return true;
        }
        if (key->keyCombination() == QKeyCombination(Qt::Key_Insert)) {
            ChooseAndAddKeywords();
            return true;
        }
        if (key->matches(QKeySequence::SelectAll)) {
            m_controls.list->selectAll();  // the rows the filter shows
            return true;
        }
        if (key->key() == Qt::Key_Escape && m_query->IsRunning()) {
            m_query->Stop();
            return true;
        }
        if (key->key() == Qt::Key_Escape && IsFilterShown()) {
            HideFilter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::AttachSession(std::unique_ptr<SessionKeeper> session,
                               std::vector<runtime::Row> restoredMainRows,
                               std::vector<runtime::Row> restoredMiningRows,
                               const QString& statusText) {
    m_session = std::move(session);
    m_query->RecordHistoryIn(m_session.get());
    m_model->AppendRows(std::move(restoredMainRows));
    if (m_session) {
        m_session->Track(m_model, app::kSessionMainList);
    }
    m_pendingMiningRows = std::move(restoredMiningRows);
    SetStatusText(statusText);
}

void MainWindow::AdoptMiningList(KeywordListModel& miningModel) {
    if (!m_session || m_session->Tracks(app::kSessionMiningList)) {
        return;
    }
    miningModel.AppendRows(std::exchange(m_pendingMiningRows, {}));
    m_session->Track(&miningModel, app::kSessionMiningList);
}

QString MainWindow::StatusText() const {
    return m_statusBar->MessageLabel().text();
}

void MainWindow::SetStatusText(const QString& text) {
    m_statusBar->MessageLabel().setTextFormat(Qt::PlainText);
    m_statusBar->MessageLabel().setText(text);
}

void MainWindow::ReportSaved(const QString& what, const QString& path, bool saved) {
    if (!saved) {
        SetStatusText(NotSavedText(path));
        m_notifier->ShowMessage(ToGbk(NotSavedText(path)), kMessageWarning);
        return;
    }
    // The path links to its folder, opened by the desktop.
    const QFileInfo file(path);
    QLabel& label = m_statusBar->MessageLabel();
    label.setTextFormat(Qt::RichText);
    label.setText(QStringLiteral("%1 <a href=\"%2\">%3</a>")
                      .arg(what.toHtmlEscaped(),
                           QUrl::fromLocalFile(file.absolutePath()).toString(QUrl::FullyEncoded),
                           QDir::toNativeSeparators(file.absoluteFilePath()).toHtmlEscaped()));
}

bool MainWindow::SaveListTo(const QString& path) {
    std::vector<runtime::Row> rows;
    rows.reserve(static_cast<std::size_t>(m_model->rowCount()));
    for (int r = 0; r < m_model->rowCount(); ++r) {
        rows.push_back(m_model->StoredRow(r));
    }
    return app::SaveListFile(ToFilePath(path), rows);
}

bool MainWindow::OpenListFrom(const QString& path) {
    std::vector<runtime::Row> rows;
    if (!app::LoadListFile(ToFilePath(path), rows)) {
        return false;
    }
    m_table->AppendRows(std::move(rows));
    return true;
}

void MainWindow::ChooseAndSaveList() {
    FileDialogOptions& options = m_listDialog->Options();
    options.title = QStringLiteral("保存列表");
    options.nameFilter = QStringLiteral("墨枫列表（*.mofeng）(*.mofeng)");
    options.defaultSuffix = QStringLiteral("mofeng");
    options.fileMustExist = false;
    options.confirmOverwrite = true;
    if (m_listDialog->Show(this, QFileDialog::AcceptSave)) {
        ReportSaved(QStringLiteral("列表已保存到"), m_listDialog->FileName(),
                    SaveListTo(m_listDialog->FileName()));
    }
}

void MainWindow::ChooseAndOpenList() {
    FileDialogOptions& options = m_listDialog->Options();
    options.title = QStringLiteral("打开列表");
    options.fileMustExist = true;
    if (m_listDialog->Show(this, QFileDialog::AcceptOpen) &&
        !OpenListFrom(m_listDialog->FileName())) {
        const QString text = QStringLiteral("无法打开列表 %1：不是墨枫列表文件，或文件已损坏")
                                 .arg(QDir::toNativeSeparators(m_listDialog->FileName()));
        SetStatusText(text);
        m_notifier->ShowMessage(ToGbk(text), kMessageWarning);
    }
}

void MainWindow::OfferImportFile(const QString& path) {
    m_importDialog->OfferFileName(path);
}

void MainWindow::ChooseAndImportFile() {
    if (!m_actions.importKeywords->isEnabled()) {
        return;  // a run is on
    }
    if (m_importDialog->Show(this)) {
        ImportFile(m_importDialog->FileName());
    }
}

void MainWindow::ImportFile(const QString& path) {
    // The rows are read and numbered on the worker and handed over in batches;
    // the worker never waits for the UI thread per batch.
    auto feed = std::make_shared<ImportFeed>(m_model, [this](int rowsAdded) {
        SetStatusText(QStringLiteral("已导入 %1 个关键词").arg(rowsAdded));
    });
    feed->SetMerge([this](std::vector<runtime::Row>& rows) {
        app::MergeMarketRows(*m_table, rows, kKeywordColumn);
    });
    m_tasks.RunThenCallback(
        this,
        [feed = std::move(feed),
         sheets = SheetChoiceAskingOn(std::make_shared<UiThreadBridge>(this)),
         file = ToFilePath(path)](const runtime::CancelToken& cancel) mutable {
            const app::ImportResult result = app::ImportKeywordFile(
                file,
                [&feed](std::vector<runtime::Row> rows) { return feed->Append(std::move(rows)); },
                kKeywordColumn, true, sheets, &cancel);
            if (result.opened) {
                feed->FinishAndWait(cancel);
            }
            // The feed goes back with the result: it goes on the UI thread, where its flush runs.
            return std::pair(result, std::move(feed));
        },
        [this](auto finished) {
            if (!finished) {
                return;
            }
            const app::ImportResult& result = finished->first;
            if (result.unrepresentable > 0) {
                SetStatusText(QStringLiteral("已导入 %1 个关键词，").arg(result.rowsAdded) +
                              FromGbk(app::UnrepresentableText(result.unrepresentable)));
            }
            if (const std::string why = app::ImportResultText(result); !why.empty()) {
                ShowMessageBox(this, FromGbk(why), QMessageBox::Information);
            }
        });
}

void MainWindow::ChooseAndExportSelection() {
    // The rows are the ones selected when the command was chosen.
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        SetStatusText(QStringLiteral("请先在列表中选中要导出的行"));
        return;
    }
    FileDialogOptions& options = m_exportDialog->Options();
    options.title = QStringLiteral("复制记录到xls");
    options.nameFilter = QStringLiteral(
        "Microsoft Excel（*.xls）(*.xls);;Excel 工作簿（*.xlsx）(*.xlsx);;CSV "
        "UTF-8（*.csv）(*.csv)");
    options.defaultSuffix = QStringLiteral("xls");
    options.fileMustExist = false;
    options.confirmOverwrite = true;
    if (m_exportDialog->Show(this)) {
        const QString path = m_exportDialog->FileName();
        ReportSaved(QStringLiteral("已导出 %1 行到").arg(rows.size()), path,
                    app::ExportRows(ToFilePath(path), *m_table, rows, StorageColumnWidths(),
                                    ExportedColumns(rows)));
    }
}

bool MainWindow::ExportSelectedTo(const QString& path) {
    const std::vector<int> rows = SelectedRows();
    return !rows.empty() && app::ExportRows(ToFilePath(path), *m_table, rows, StorageColumnWidths(),
                                            ExportedColumns(rows));
}

void MainWindow::OpenSettings() {
    OpenSettingsDialog(m_context, this);
}

void MainWindow::OpenSite() {
    OpenWebPage(m_context.Web().site);
}

void MainWindow::OpenTutorial() {
    OpenWebPage(m_context.Web().tutorial);
}

void MainWindow::OpenWebPage(const QUrl& url) {
    if (!QDesktopServices::openUrl(url)) {
        SetStatusText(QStringLiteral("没有能打开网页的浏览器，请手动打开：") +
                      url.toString(QUrl::PreferLocalFile));
    }
}

void MainWindow::SortByColumn(int column) {
    const bool reverse = column == m_sortColumn && m_sortOrder == app::SortOrder::LargestFirst;
    const app::SortOrder order =
        reverse ? app::SortOrder::SmallestFirst : app::SortOrder::LargestFirst;
    // Selected positions stay where they are, also when the filter is reset.
    std::vector<std::pair<int, int>> positions;
    for (const QItemSelectionRange& range : m_controls.list->selectionModel()->selection()) {
        positions.emplace_back(range.top(), range.bottom());
    }
    if (m_model->ViewColumn(column) < 0) {
        return;
    }
    app::SortByColumn(*m_table, column, order, IsFigureColumn(column));
    if (m_filter->IsFiltering()) {
        m_filter->JudgeAllRows();  // a small list's change would wait for the event loop
        QItemSelection selection;
        const int last = m_filter->rowCount() - 1;
        for (const auto& [top, bottom] : positions) {
            if (top <= last) {
                selection.select(m_filter->index(top, 0),
                                 m_filter->index(std::min(bottom, last), 0));
            }
        }
        m_controls.list->selectionModel()->select(
            selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    m_sortColumn = column;
    m_sortOrder = order;
    ShowSortIndicator();
    m_controls.list->scrollToTop();
}

void MainWindow::RestoreSortOrder(int column, app::SortOrder order) {
    if (column < 0 || column >= app::kKeywordListColumnCount) {
        return;
    }
    m_sortColumn = column;
    m_sortOrder = order;
    ShowSortIndicator();
    QueueSortCheck();
}

void MainWindow::ShowSortIndicator() {
    // The header draws Qt::AscendingOrder as a downward arrow: ▼ for largest first.
    m_controls.list->horizontalHeader()->setSortIndicator(
        m_model->ViewColumn(m_sortColumn),
        m_sortOrder == app::SortOrder::LargestFirst ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void MainWindow::CheckSortOrder() {
    m_sortCheckQueued = false;
    if (m_sortColumn >= 0 &&
        !app::IsInOrder(app::SortKeyTexts(m_sortColumn, m_model->Data().ColumnTexts(m_sortColumn)),
                        m_sortOrder, IsFigureColumn(m_sortColumn))) {
        ForgetSortOrder();
    }
}

void MainWindow::QueueSortCheck() {
    if (m_sortColumn >= 0 && !std::exchange(m_sortCheckQueued, true)) {
        QMetaObject::invokeMethod(this, &MainWindow::CheckSortOrder, Qt::QueuedConnection);
    }
}

void MainWindow::ForgetSortOrder() {
    m_sortColumn = -1;
    m_sortOrder = app::SortOrder::LargestFirst;
    // No section: the header shows no arrow.
    m_controls.list->horizontalHeader()->setSortIndicator(-1, Qt::DescendingOrder);
}

void MainWindow::ApplyFilter() {
    // The reset drops the selection: the selected rows still shown get it back.
    const std::vector<int> selected = SelectedRows();
    m_filter->SetCriteria(m_filterBar->Criteria());
    QItemSelection selection;
    int first = -1;
    int last = -2;
    auto flush = [&] {
        if (first >= 0) {
            selection.select(m_filter->index(first, 0), m_filter->index(last, 0));
        }
    };
    for (int row : selected) {  // ascending model rows give ascending shown rows
        const int shown = m_filter->mapFromSource(m_model->index(row, 0)).row();
        if (shown < 0) {
            continue;
        }
        if (shown != last + 1) {
            flush();
            first = shown;
        }
        last = shown;
    }
    flush();
    m_controls.list->selectionModel()->select(
        selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool MainWindow::IsFilterShown() const {
    return !m_filterBar->isHidden();
}

void MainWindow::ShowFilter() {
    SetFilterVisible(true);
    m_filterBar->FocusKeyword();
}

void MainWindow::HideFilter() {
    m_filterBar->Clear();
    SetFilterVisible(false);
    m_controls.list->setFocus(Qt::OtherFocusReason);
}

void MainWindow::SetFilterVisible(bool visible) {
    m_filterBar->setVisible(visible);
    LayOutList();
    QSettings().setValue(QLatin1String(kFilterVisibleKey), visible);
}

void MainWindow::LayOutList() {
    FitMainWindowControls(m_controls, m_content->size());
    if (!m_keywordWidthSet) {
        // The keyword column takes what the list grew by, less what the
        // optional columns shown take, until the seller sets its width.
        const QHeaderView* header = m_controls.list->horizontalHeader();
        int optional = 0;
        for (int column = app::kKeywordListColumnCount; column < m_model->columnCount(); ++column) {
            optional += header->isSectionHidden(column) ? 0 : header->sectionSize(column);
        }
        const QScopedValueRollback fitting(m_fittingKeyword, true);
        m_controls.list->horizontalHeader()->resizeSection(
            kKeywordColumn,
            app::KeywordListColumns()[kKeywordColumn].second +
                std::max(0, m_content->width() - kMainWindowGeometry.width() - optional));
    }
    if (IsFilterShown()) {
        const QRect list = m_controls.list->geometry();
        m_filterBar->setGeometry(list.left(), list.top(), list.width(), FilterBar::kHeight);
        m_controls.list->setGeometry(list.adjusted(0, FilterBar::kHeight, 0, 0));
    }
}

void MainWindow::ShowListPage() {
    if (m_controls.tabs->currentIndex() != 1) {
        m_controls.tabs->setCurrentIndex(1);  // 指数查询
        // The keys that follow (Ctrl+A, Delete, Ctrl+C) are meant for the list.
        m_controls.list->setFocus();
    }
}

void MainWindow::StartStep(int step) {
    QAction* const steps[] = {m_actions.importKeywords, m_actions.startQuery,
                              m_actions.exportSelection};
    if (step >= 0 && step < static_cast<int>(std::size(steps))) {
        steps[step]->trigger();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_miningWindows->CloseAll();
    Shutdown();
    QWidget::closeEvent(event);
}

void MainWindow::RememberBetweenRuns() {
    m_remembers = true;
    m_importDialog->RememberFolder(QLatin1String(kImportFolderKey));
    m_exportDialog->RememberFolder(QLatin1String(kExportFolderKey));
    m_listDialog->RememberFolder(QLatin1String(kListFolderKey));
    RestoreMainWindowState(*this);
}

void MainWindow::Shutdown() {
    if (std::exchange(m_remembers, false)) {
        SaveMainWindowState(*this);
    }
    emit ShuttingDown();
    m_tasks.CancelAll();
    m_table->Detach();
    m_notifier->Detach();
    m_tasks.JoinAll();
    if (m_session) {
        m_session->FlushNow();
    }
}

}  // namespace mofeng::ui
