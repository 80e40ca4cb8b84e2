#include "ui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QTableView>

#include <filesystem>

#include "app/ColumnSort.h"
#include "app/KeywordImport.h"
#include "app/SpreadsheetExport.h"
#include "ui/AppContext.h"
#include "ui/FileDialogSettings.h"
#include "ui/HyperlinkLabel.h"
#include "ui/KeywordListModel.h"
#include "ui/ListPopupMenu.h"
#include "ui/ModelTable.h"
#include "ui/UiNotifier.h"
#include "ui/UiResources.h"

namespace mofeng::ui {
namespace {

std::filesystem::path ToNativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

MainWindow::MainWindow(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context) {
    InitUiResources();
    setWindowTitle(QStringLiteral("墨枫V1.1"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    setGeometry(kMainWindowGeometry);

    m_model = new KeywordListModel(MainListColumns(), this);
    m_controls = CreateMainWindowControls(this, m_model);
    m_table = std::make_unique<ModelTable>(m_model, m_controls.list->selectionModel());
    m_notifier = std::make_unique<UiNotifier>(this);

    m_importDialog =
        new FileDialogSettings(QFileDialog::AcceptOpen, QStringLiteral("通用对话框1"), this);
    m_exportDialog =
        new FileDialogSettings(QFileDialog::AcceptSave, QStringLiteral("通用对话框2"), this);

    m_menu = CreateListPopupMenu(
        this, m_controls.list, QStringLiteral("菜单"),
        {QStringLiteral("清空数据"), QStringLiteral("导入关键词"), QStringLiteral("导出选中到表格"),
         QStringLiteral("开始查询指数"), QLatin1String(kMenuSeparator), QStringLiteral("自动淘词"),
         QLatin1String(kMenuSeparator), QStringLiteral("青禾软件官网")});
    ConnectMenu();
    connect(m_controls.list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MainWindow::SortByColumn);
    connect(m_controls.tutorialLink, &HyperlinkLabel::pressed, this, &MainWindow::OpenTutorial);
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

QAction* MainWindow::MenuAction(const QString& name) const {
    return m_menu->findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void MainWindow::ConnectMenu() {
    const std::pair<const char16_t*, void (MainWindow::*)()> commands[] = {
        {u"清空数据", &MainWindow::ClearList},
        {u"导入关键词", &MainWindow::ChooseAndImportFile},
        {u"导出选中到表格", &MainWindow::ChooseAndExportSelection},
        {u"开始查询指数", &MainWindow::StartIndexQuery},
        {u"自动淘词", &MainWindow::OpenMiningWindow},
        {u"青禾软件官网", &MainWindow::OpenSite},
    };
    for (const auto& [name, slot] : commands) {
        connect(MenuAction(QString::fromUtf16(name)), &QAction::triggered, this, slot);
    }
}

void MainWindow::ClearList() {
    m_table->Clear();
}

void MainWindow::OfferImportFile(const QString& path) {
    m_importDialog->OfferFileName(path);
}

void MainWindow::ChooseAndImportFile() {
    if (m_importDialog->Show(this)) {
        ImportFile(m_importDialog->FileName());
    }
}

void MainWindow::ImportFile(const QString& path) {
    runtime::Table* table = m_table.get();
    m_tasks.Start([table, file = ToNativePath(path)](const runtime::CancelToken& cancel) {
        app::ImportKeywordFile(file, *table, kKeywordColumn, true, &cancel);
    });
}

std::optional<std::string> MainWindow::BuildSelectionDocument() {
    const std::vector<int> rows = m_table->SelectedRows();
    if (rows.empty()) {
        return std::nullopt;
    }
    return app::BuildSpreadsheetDocument(*m_table, rows);
}

void MainWindow::ChooseAndExportSelection() {
    // The document shows the list as it was when the command was chosen.
    const std::optional<std::string> document = BuildSelectionDocument();
    if (!document) {
        return;
    }
    FileDialogOptions& options = m_exportDialog->Options();
    options.title = QStringLiteral("复制记录到xls");
    options.nameFilter = QStringLiteral("Microsoft Excel（*.xls）(*.xls)");
    options.defaultSuffix = QStringLiteral("xls");
    options.fileMustExist = false;
    options.confirmOverwrite = true;
    if (m_exportDialog->Show(this)) {
        app::WriteWholeFile(ToNativePath(m_exportDialog->FileName()), *document);
    }
}

bool MainWindow::ExportSelectedTo(const QString& path) {
    const std::optional<std::string> document = BuildSelectionDocument();
    return document && app::WriteWholeFile(ToNativePath(path), *document);
}

void MainWindow::StartIndexQuery() {
    if (const auto& hook = m_context.Hooks().startIndexQuery) {
        hook(*this);
    }
}

void MainWindow::OpenMiningWindow() {
    if (const auto& hook = m_context.Hooks().openMiningWindow) {
        hook(*this);
    }
}

void MainWindow::OpenSite() {
    QDesktopServices::openUrl(m_context.Web().site);
}

void MainWindow::OpenTutorial() {
    QDesktopServices::openUrl(m_context.Web().tutorial);
}

void MainWindow::SortByColumn(int column) {
    app::SortByColumn(*m_table, column);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Shutdown();
    QWidget::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    FitMainWindowControls(m_controls, size());
    QWidget::resizeEvent(event);
}

void MainWindow::Shutdown() {
    emit ShuttingDown();
    m_tasks.CancelAll();
    m_table->Detach();
    m_notifier->Detach();
    m_tasks.JoinAll();
}

}  // namespace mofeng::ui
