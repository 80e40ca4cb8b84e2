// The main window's edits of its list: add, delete, de-duplicate, clear and
// paste, each an undoable command on the window's undo stack.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QUndoStack>

#include "app/ClipboardText.h"
#include "app/MarketCells.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/ModelTable.h"
#include "ui/main/AddKeywordsDialog.h"
#include "ui/main/ListEditCommand.h"
#include "ui/main/MainWindow.h"

namespace mofeng::ui {
namespace {

// Enough to take back a morning's slips without keeping every cleared list.
constexpr int kUndoLimit = 50;

}  // namespace

void MainWindow::ConnectEditCommands() {
    m_idTrail = std::make_shared<RowIdTrail>();
    m_undoStack = new QUndoStack(this);
    m_undoStack->setUndoLimit(kUndoLimit);
    // The menu entries stay enabled (a seller finds them where they always
    // are); their tooltips say what they would take back or redo.
    // The actions are the connections' context: the stack, cleared as the
    // window goes, may outlive them.
    QAction* undo = m_actions.undo;
    connect(m_undoStack, &QUndoStack::undoTextChanged, undo, [undo](const QString& text) {
        undo->setToolTip(text.isEmpty() ? QString() : QStringLiteral("撤销") + text);
    });
    QAction* redo = m_actions.redo;
    connect(m_undoStack, &QUndoStack::redoTextChanged, redo, [redo](const QString& text) {
        redo->setToolTip(text.isEmpty() ? QString() : QStringLiteral("重做") + text);
    });
}

void MainWindow::PushEdit(QUndoCommand* command) {
    m_undoStack->push(command);
}

void MainWindow::ClearList() {
    if (m_model->Data().RowCount() > 0) {
        PushEdit(new ListEditCommand(ListEditCommand::Kind::Clear, *m_model, m_idTrail,
                                     QStringLiteral("清空数据")));
    }
}

void MainWindow::Undo() {
    if (m_undoStack->canUndo()) {
        const QString what = m_undoStack->undoText();
        m_undoStack->undo();
        SetStatusText(QStringLiteral("已撤销：") + what);
    }
}

void MainWindow::Redo() {
    if (m_undoStack->canRedo()) {
        const QString what = m_undoStack->redoText();
        m_undoStack->redo();
        SetStatusText(QStringLiteral("已重做：") + what);
    }
}

void MainWindow::AddKeywords(std::vector<std::string> keywords) {
    if (keywords.empty()) {
        return;
    }
    const int count = static_cast<int>(keywords.size());
    PushEdit(new ListEditCommand(ListEditCommand::Kind::AddRows, *m_model, m_idTrail,
                                 QStringLiteral("添加关键词"), {},
                                 NumberedKeywordRows(std::move(keywords), kKeywordColumn)));
    SetStatusText(QStringLiteral("已添加 %1 个关键词").arg(count));
}

AddKeywordsDialog* MainWindow::OpenAddDialog() const {
    return m_addDialog.data();
}

void MainWindow::ChooseAndAddKeywords() {
    if (m_addDialog) {
        m_addDialog->raise();
        m_addDialog->activateWindow();
        return;
    }
    auto* dialog = new AddKeywordsDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { AddKeywords(dialog->Keywords()); });
    m_addDialog = dialog;
    dialog->open();
}

void MainWindow::DeleteSelectedRows() {
    std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        return;
    }
    const int count = static_cast<int>(rows.size());
    PushEdit(new ListEditCommand(ListEditCommand::Kind::RemoveRows, *m_model, m_idTrail,
                                 QStringLiteral("删除选中行"), std::move(rows)));
    SetStatusText(QStringLiteral("已删除 %1 行").arg(count));
}

void MainWindow::RemoveDuplicateKeywords() {
    std::vector<int> repeats = RepeatedRows(m_model->Data(), kKeywordColumn);
    if (repeats.empty()) {
        SetStatusText(QStringLiteral("没有重复的关键词"));
        return;
    }
    const int count = static_cast<int>(repeats.size());
    PushEdit(new ListEditCommand(ListEditCommand::Kind::RemoveRows, *m_model, m_idTrail,
                                 QStringLiteral("删除重复关键词"), std::move(repeats)));
    SetStatusText(QStringLiteral("已删除 %1 个重复关键词").arg(count));
}

void MainWindow::PasteKeywords() {
    const std::string text = ToGbk(QGuiApplication::clipboard()->text());
    if (std::vector<app::PastedMarketRow> market = app::PastedMarketRows(text); !market.empty()) {
        PasteMarketRows(std::move(market));
        return;
    }
    std::vector<std::string> keywords = app::PastedKeywords(text);
    if (!keywords.empty()) {
        PushEdit(new ListEditCommand(ListEditCommand::Kind::AddRows, *m_model, m_idTrail,
                                     QStringLiteral("粘贴关键词"), {},
                                     NumberedKeywordRows(std::move(keywords), kKeywordColumn)));
    }
}

void MainWindow::PasteMarketRows(std::vector<app::PastedMarketRow> pasted) {
    std::vector<std::string> keywords;
    for (const app::PastedMarketRow& row : pasted) {
        keywords.push_back(row.keyword);
    }
    std::vector<runtime::Row> rows = NumberedKeywordRows(std::move(keywords), kKeywordColumn);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        app::PutMarketRow(rows[i], pasted[i].market);
    }
    // A keyword already listed takes the figures on its row (not undone).
    app::MergeMarketRows(*m_table, rows, kKeywordColumn);
    if (!rows.empty()) {
        PushEdit(new ListEditCommand(ListEditCommand::Kind::AddRows, *m_model, m_idTrail,
                                     QStringLiteral("粘贴关键词"), {}, std::move(rows)));
    }
}

}  // namespace mofeng::ui
