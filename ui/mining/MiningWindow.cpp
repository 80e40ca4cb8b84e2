#include "ui/mining/MiningWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include <string>

#include "mining/KeywordExport.h"
#include "mining/MiningCommands.h"
#include "mining/MiningRun.h"
#include "mining/MiningTexts.h"
#include "runtime/Notifier.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/ListPopupMenu.h"
#include "ui/common/ModelTable.h"
#include "ui/common/QueuedCall.h"
#include "ui/common/UiNotifier.h"
#include "ui/common/UiResources.h"
#include "ui/main/MainWindow.h"
#include "ui/mining/MiningListFeed.h"
#include "ui/startup/AppContext.h"

namespace mofeng::ui {

MiningWindow::MiningWindow(AppContext& context, MainWindow* mainWindow)
    : QWidget(nullptr), m_context(context), m_mainWindow(mainWindow) {
    InitUiResources();
    setWindowTitle(QStringLiteral("淘关键词，我最简单"));
    setGeometry(kMiningWindowGeometry);
    setFixedSize(kMiningWindowGeometry.size());

    m_model = new KeywordListModel(MiningListModelColumns(), this);
    m_controls = CreateMiningWindowControls(this, m_model);
    m_table = std::make_unique<ModelTable>(m_model);
    m_feed = std::make_unique<MiningListFeed>(m_model, m_controls.status, m_controls.progress);
    m_inputs.SetMustContainText(ToGbk(m_controls.mustContain->text()));
    m_inputs.SetLevelIndex(m_controls.levels->currentIndex());
    m_notifier = std::make_unique<UiNotifier>(this);

    m_menu = CreateListPopupMenu(this, m_controls.list, QStringLiteral("菜单"));
    m_actions.clearKeywords = AddMenuAction(m_menu, QStringLiteral("清空关键词"), "clearKeywords");
    m_actions.exportKeywords =
        AddMenuAction(m_menu, QStringLiteral("导出关键词"), "exportKeywords");
    m_actions.sendToMainWindow =
        AddMenuAction(m_menu, QStringLiteral("传送至主窗口"), "sendToMainWindow");
    connect(m_actions.clearKeywords, &QAction::triggered, this, &MiningWindow::ClearKeywords);
    connect(m_actions.exportKeywords, &QAction::triggered, this, &MiningWindow::ExportKeywords);
    connect(m_actions.sendToMainWindow, &QAction::triggered, this, &MiningWindow::SendToMainWindow);
    connect(m_controls.start, &QPushButton::clicked, this, &MiningWindow::StartMining);
    connect(m_controls.mustContain, &QLineEdit::textChanged, this,
            &MiningWindow::MustContainChanged);
    connect(m_controls.levels, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_inputs.SetLevelIndex(index); });
}

MiningWindow::~MiningWindow() {
    Shutdown();
}

runtime::Table& MiningWindow::MiningTable() {
    return *m_table;
}

QAction* MiningWindow::MenuAction(const QString& text) const {
    return MenuActionByText(m_menu, text);
}

void MiningWindow::StartMining() {
    if (m_controls.mustContain->text().isEmpty()) {
        m_notifier->ShowMessage(mining::MustContainMissingMessage(), runtime::kMessageInformation);
        return;
    }
    // The lease is what keeps two workers off the shared state.
    auto lease =
        std::make_shared<std::unique_ptr<mining::MiningRunLease>>(m_context.Mining().TryBeginRun());
    if (!*lease) {
        m_notifier->ShowMessage(mining::RunInProgressMessage(), runtime::kMessageInformation);
        return;
    }
    m_running = true;
    const std::string seed = ToGbk(m_controls.seed->text());
    const mining::MiningRunInput input{m_context.Endpoints(), m_context.Jobs()};
    m_feed->StartRun();
    MiningListFeed* feed = m_feed.get();
    const mining::MiningInputs* inputs = &m_inputs;
    // Both stages run on this one worker, one after the other. The window
    // joins it before the feed and the inputs go.
    m_tasks.Start([this, lease, seed, input, feed, inputs](const runtime::CancelToken& cancel) {
        mining::RunMining(**lease, input, *inputs, *feed, seed, cancel);
        lease->reset();
        QueueOnTargetThread(this, [this] {
            m_running = false;
            emit RunEnded();
        });
    });
}

void MiningWindow::MustContainChanged(const QString& text) {
    const std::string gbk = ToGbk(text);
    if (!mining::IsMustContainTooLong(gbk)) {
        m_inputs.SetMustContainText(gbk);
        return;
    }
    m_controls.mustContain->clear();  // comes back here with "", which passes
    m_notifier->ShowMessage(mining::MustContainTooLongMessage(), runtime::kMessageInformation);
}

void MiningWindow::ClearKeywords() {
    m_feed->ClearList();
}

void MiningWindow::ExportKeywords() {
    m_feed->Flush();  // the rows accepted so far, queued ones included
    const bool saved =
        mining::ExportKeywords(m_context.RunDirectory(), ToGbk(m_controls.seed->text()), *m_table);
    m_notifier->ShowMessage(saved ? mining::SaveSucceededMessage() : mining::SaveFailedMessage(),
                            runtime::kMessagePlain);
}

void MiningWindow::SendToMainWindow() {
    m_feed->Flush();
    if (m_mainWindow) {
        mining::SendKeywords(*m_table, m_mainWindow->KeywordTable());
    }
    m_notifier->ShowMessage(mining::SentToMainWindowMessage(), runtime::kMessageInformation);
}

void MiningWindow::closeEvent(QCloseEvent* event) {
    Shutdown();
    QWidget::closeEvent(event);
}

void MiningWindow::Shutdown() {
    m_tasks.CancelAll();
    m_table->Detach();
    m_feed->Close();
    m_notifier->Detach();
    m_tasks.JoinAll();
}

}  // namespace mofeng::ui
