#include "ui/mining/MiningWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QSettings>
#include <QTableView>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "mining/KeywordExport.h"
#include "mining/MiningCommands.h"
#include "mining/MiningRun.h"
#include "mining/MiningTexts.h"
#include "runtime/Notifier.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/ListPopupMenu.h"
#include "ui/common/ModelTable.h"
#include "ui/common/UiNotifier.h"
#include "ui/common/UiResources.h"
#include "ui/mining/ExcludeWordsDialog.h"
#include "ui/mining/MiningListFeed.h"
#include "ui/settings/SettingsAction.h"
#include "ui/settings/SettingsDialog.h"
#include "ui/startup/AppContext.h"

namespace mofeng::ui {

MiningWindow::MiningWindow(AppContext& context) : QWidget(nullptr), m_context(context) {
    InitUiResources();
    setWindowTitle(QStringLiteral("淘关键词，我最简单"));
    setGeometry(kMiningWindowGeometry);
    setMinimumSize(kMiningWindowGeometry.size());

    m_model = new KeywordListModel(MiningListModelColumns(), this);
    m_controls = CreateMiningWindowControls(this, m_model);
    m_table = std::make_unique<ModelTable>(m_model);
    m_feed = std::make_unique<MiningListFeed>(
        m_model, m_controls.status, m_controls.progress, m_controls.counts, this,
        [this](std::function<void()> reask) {
            OpenSettingsDialog(m_context, this, std::move(reask));
        });
    m_inputs.SetMustContainText(ToGbk(m_controls.mustContain->text()));
    m_inputs.SetLevelIndex(m_controls.levels->currentIndex());
    SetExcludeWords(QSettings().value(QLatin1String(kExcludeWordsKey)).toStringList());
    m_notifier = std::make_unique<UiNotifier>(this);

    m_menu = CreateListPopupMenu(this, m_controls.list, QStringLiteral("菜单"));
    m_actions.clearKeywords = AddMenuAction(m_menu, QStringLiteral("清空关键词"), "clearKeywords");
    m_actions.exportKeywords =
        AddMenuAction(m_menu, QStringLiteral("导出关键词"), "exportKeywords");
    m_actions.sendToMainWindow =
        AddMenuAction(m_menu, QStringLiteral("传送至主窗口"), "sendToMainWindow");
    m_menu->addSeparator();
    m_actions.excludeWords = AddMenuAction(m_menu, QStringLiteral("排除词…"), "excludeWords");
    // Keys only, beside the menu the window definition gives.
    m_actions.undoClear = new QAction(QStringLiteral("撤销清空"), this);
    m_actions.undoClear->setObjectName(QStringLiteral("undoClear"));
    m_actions.undoClear->setShortcut(QKeySequence::Undo);
    m_actions.undoClear->setShortcutContext(Qt::WindowShortcut);
    addAction(m_actions.undoClear);
    connect(m_actions.undoClear, &QAction::triggered, this, &MiningWindow::UndoClear);
    CreateSettingsAction(m_context, this);
    connect(m_actions.clearKeywords, &QAction::triggered, this, &MiningWindow::ClearKeywords);
    connect(m_actions.exportKeywords, &QAction::triggered, this, &MiningWindow::ExportKeywords);
    connect(m_actions.sendToMainWindow, &QAction::triggered, this, &MiningWindow::SendToMainWindow);
    connect(m_actions.excludeWords, &QAction::triggered, this, &MiningWindow::ChooseExcludeWords);
    connect(m_controls.start, &QPushButton::clicked, this, [this] {
        if (m_running) {
            StopMining();
        } else {
            StartMining();
        }
    });
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
    if (m_running) {
        return;
    }
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
    m_stopAsked = false;
    m_controls.start->setText(QStringLiteral("停止淘词"));
    m_controls.counts->setText(MiningCountsText({}));
    m_feed->ResetProgress();
    const std::string seed = ToGbk(m_controls.seed->text());
    const mining::MiningRunInput input{m_context.Endpoints(), m_context.Jobs(),
                                       m_context.Settings().suggestionTags};
    m_feed->StartRun();
    MiningListFeed* feed = m_feed.get();
    const mining::MiningInputs* inputs = &m_inputs;
    // Both stages run on this one worker, one after the other. The window
    // joins it before the feed and the inputs go.
    m_tasks.RunThenCallback(
        this,
        [lease, seed, input, feed, inputs](const runtime::CancelToken& cancel) {
            mining::MiningProgress progress;
            {
                mining::MiningRun run(**lease, input, *inputs, *feed, cancel);
                if (run.RelatedSearchStage(seed)) {
                    run.SuggestionStage();
                }
                progress = run.Progress();
            }
            lease->reset();
            return progress;
        },
        [this](const std::optional<mining::MiningProgress>& progress) { Ended(progress); });
}

void MiningWindow::StopMining() {
    if (!m_running) {
        return;
    }
    m_stopAsked = true;
    m_tasks.CancelAll();
    m_feed->EndPause();
}

void MiningWindow::Ended(const std::optional<mining::MiningProgress>& ended) {
    m_running = false;
    m_feed->Flush();
    m_controls.start->setText(QStringLiteral("开始淘词"));
    const mining::MiningProgress progress = ended.value_or(m_feed->LastProgress());
    QString line = QStringLiteral("淘词完毕：共 %1 个关键词");
    if (m_stopAsked) {
        line = QStringLiteral("淘词已停止：共 %1 个关键词");
    } else if (progress.stoppedForBlocked) {
        line = QStringLiteral("被淘宝拦截，淘词已停止：共 %1 个关键词");
    }
    m_controls.counts->setText(line.arg(m_model->rowCount()) + QStringLiteral("（") +
                               MiningCountsText(progress) + QStringLiteral("）"));
    emit RunEnded();
}

void MiningWindow::SetExcludeWords(const QStringList& words) {
    m_excludeWords = words;
    std::vector<std::string> gbk;
    for (const QString& word : words) {
        gbk.push_back(ToGbk(word));
    }
    m_inputs.SetExcludeWords(std::move(gbk));
    m_controls.list->setToolTip(
        words.isEmpty() ? QString() : QStringLiteral("排除词：") + words.join(QLatin1Char(' ')));
}

void MiningWindow::ChooseExcludeWords() {
    auto* dialog = new ExcludeWordsDialog(m_excludeWords, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        SetExcludeWords(dialog->Words());
        QSettings().setValue(QLatin1String(kExcludeWordsKey), m_excludeWords);
        m_controls.counts->setText(
            m_excludeWords.isEmpty()
                ? QStringLiteral("排除词已清空")
                : QStringLiteral("排除词（%1 个）：").arg(m_excludeWords.size()) +
                      m_excludeWords.join(QLatin1Char(' ')));
    });
    dialog->open();
}

QString MiningWindow::CountsText() const {
    return m_controls.counts->text();
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
    std::vector<runtime::Row> rows = m_feed->ClearList();
    if (rows.empty()) {
        return;
    }
    m_controls.counts->setText(
        QStringLiteral("已清空 %1 个关键词（Ctrl+Z 撤销）").arg(rows.size()));
    m_clearedRows = std::move(rows);
}

void MiningWindow::UndoClear() {
    if (m_clearedRows.empty()) {
        return;
    }
    const auto count = m_clearedRows.size();
    m_feed->RestoreRows(std::exchange(m_clearedRows, {}));
    m_controls.counts->setText(
        QStringLiteral("已恢复 %1 个关键词：共 %2 个关键词").arg(count).arg(m_model->rowCount()));
}

void MiningWindow::ExportKeywords() {
    m_feed->Flush();  // the rows accepted so far, queued ones included
    const std::string seed = ToGbk(m_controls.seed->text());
    const bool saved = mining::ExportKeywords(m_context.RunDirectory(), seed, *m_table);
    if (saved) {
        const QString folder = QString::fromStdU16String(m_context.RunDirectory().u16string());
        const QString name = QString::fromStdString(mining::ExportFileName(seed));
        m_controls.counts->setText(QStringLiteral("已导出：") +
                                   QDir::toNativeSeparators(QDir(folder).filePath(name)));
    }
    m_notifier->ShowMessage(saved ? mining::SaveSucceededMessage() : mining::SaveFailedMessage(),
                            runtime::kMessagePlain);
}

void MiningWindow::SendToMainWindow() {
    m_feed->Flush();
    emit SendKeywords(*m_table);
    m_notifier->ShowMessage(mining::SentToMainWindowMessage(), runtime::kMessageInformation);
}

void MiningWindow::resizeEvent(QResizeEvent* event) {
    LayOutMiningWindow(m_controls, event->size());
    QWidget::resizeEvent(event);
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
    m_running = false;
    // The rows the run accepted before it stopped go in now: a flush left
    // queued would add them after the window has closed.
    m_feed->Flush();
}

}  // namespace mofeng::ui
