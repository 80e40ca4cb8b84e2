#pragma once

#include <QUndoCommand>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/TableData.h"

namespace mofeng::ui {

class KeywordListModel;

// Where rows taken out and put back went: a row put back gets a fresh id,
// and every command of the stack that knew the old id follows it here.
class RowIdTrail {
public:
    void Moved(runtime::RowId from, runtime::RowId to) { m_next[from] = to; }
    // The id the row known as id has now (ids only grow: no cycles).
    runtime::RowId Current(runtime::RowId id) const {
        for (auto it = m_next.find(id); it != m_next.end(); it = m_next.find(id)) {
            id = it->second;
        }
        return id;
    }

private:
    std::unordered_map<runtime::RowId, runtime::RowId> m_next;
};

// One undoable change of a keyword list: rows added, rows removed, or the
// list cleared. Rows are followed by id while they are in the list, so a
// sort or a query run in between does not confuse undo; rows taken out keep
// every stored cell (hidden ones too) and their positions, and come back
// where they were (with fresh ids, recorded in the trail the commands of one
// stack share: results of a run for the old rows are dropped). Pushing the command onto a
// QUndoStack carries it out. The model must outlive the command. UI thread only.
class ListEditCommand final : public QUndoCommand {
public:
    enum class Kind {
        AddRows,     // rows appended at the end
        RemoveRows,  // the rows at the given positions
        Clear,       // every row (through KeywordListModel::Clear)
    };

    // AddRows: rows are the new rows. RemoveRows: positions are the rows to
    // remove (any order). Clear: neither is used.
    ListEditCommand(Kind kind, KeywordListModel& model, std::shared_ptr<RowIdTrail> trail,
                    const QString& text, std::vector<int> positions = {},
                    std::vector<runtime::Row> rows = {});

    void redo() override;
    void undo() override;

    // Rows the last redo or undo added or removed.
    int RowsAffected() const { return m_affected; }

private:
    void TakeOut();
    void PutBack();

    Kind m_kind;
    KeywordListModel& m_model;
    std::shared_ptr<RowIdTrail> m_trail;
    // While the rows are in the list: their ids (as the trail leads on).
    // While they are out: the ids they had.
    std::vector<runtime::RowId> m_ids;
    // While they are out: their places (ascending) and every cell.
    std::vector<int> m_positions;
    std::vector<runtime::Row> m_rows;
    int m_affected = 0;
};

// Numbered rows for keywords as an import numbers them: from 1, the number
// in column 0, the keyword in keywordColumn.
std::vector<runtime::Row> NumberedKeywordRows(std::vector<std::string> keywords, int keywordColumn);

// Positions of the rows whose cell in column repeats one of an earlier row,
// byte for byte, ascending.
std::vector<int> RepeatedRows(const runtime::TableData& data, int column);

}  // namespace mofeng::ui
