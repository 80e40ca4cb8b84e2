#include "ui/common/ModelTable.h"

#include <memory>
#include <utility>

#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

ModelTable::ModelTable(KeywordListModel* model) : m_bridge(model) {}

ModelTable::~ModelTable() {
    m_bridge.Detach();
}

void ModelTable::Detach() {
    m_bridge.Detach();
}

template <typename Result, typename Work>
Result ModelTable::Run(Result empty, Work work) {
    if (m_bridge.OnTargetThread()) {
        auto* model = static_cast<KeywordListModel*>(m_bridge.Target());
        return model ? work(*model) : empty;
    }
    // The result lives apart from this frame: a caller released by Detach
    // returns while the work may still be running.
    auto result = std::make_shared<Result>(empty);
    const bool done = m_bridge.PostAndWait(
        [result, work = std::move(work)](QObject& target,
                                         const UiThreadBridge::Completion& completion) mutable {
            *result = work(static_cast<KeywordListModel&>(target));
            completion.Finish();
        });
    return done ? std::move(*result) : empty;
}

int ModelTable::RowCount() {
    return Run(0, [](KeywordListModel& model) { return model.Data().RowCount(); });
}

int ModelTable::ColumnCount() {
    return Run(0, [](KeywordListModel& model) { return model.Data().ColumnCount(); });
}

std::string ModelTable::GetCell(int row, int column) {
    return Run(std::string(),
               [row, column](KeywordListModel& model) { return model.Data().Cell(row, column); });
}

void ModelTable::SetCell(int row, int column, std::string text) {
    Run(false, [row, column, text = std::move(text)](KeywordListModel& model) mutable {
        model.SetCell(row, column, std::move(text));
        return true;
    });
}

int ModelTable::AppendRows(std::vector<runtime::Row> rows) {
    if (rows.empty()) {
        return -1;
    }
    return Run(-1, [rows = std::move(rows)](KeywordListModel& model) mutable {
        return model.AppendRows(std::move(rows));
    });
}

int ModelTable::FindRow(std::string_view text, int column) {
    return Run(-1, [text = std::string(text), column](KeywordListModel& model) {
        return model.Data().FindRow(text, column);
    });
}

void ModelTable::Clear() {
    Run(false, [](KeywordListModel& model) {
        model.Clear();
        return true;
    });
}

std::string ModelTable::ColumnTitle(int column) {
    return Run(std::string(),
               [column](KeywordListModel& model) { return model.ColumnTitle(column); });
}

std::vector<std::string> ModelTable::ColumnTexts(int column) {
    return Run(std::vector<std::string>(),
               [column](KeywordListModel& model) { return model.Data().ColumnTexts(column); });
}

void ModelTable::ReorderRows(const std::vector<int>& sourceOfPosition) {
    Run(false, [order = sourceOfPosition](KeywordListModel& model) {
        model.ReorderRows(order);
        return true;
    });
}

std::vector<runtime::RowId> ModelTable::RowIds() {
    return Run(std::vector<runtime::RowId>(),
               [](KeywordListModel& model) { return model.Data().RowIds(); });
}

std::optional<std::string> ModelTable::GetCellById(runtime::RowId id, int column) {
    return Run(std::optional<std::string>(),
               [id, column](KeywordListModel& model) -> std::optional<std::string> {
                   const int row = model.Data().RowOfId(id);
                   if (row < 0) {
                       return std::nullopt;
                   }
                   return model.Data().Cell(row, column);
               });
}

bool ModelTable::SetCellsById(runtime::RowId id, int firstColumn, std::vector<std::string> texts) {
    return Run(false, [id, firstColumn, texts = std::move(texts)](KeywordListModel& model) mutable {
        return model.SetCellsById(id, firstColumn, std::move(texts));
    });
}

}  // namespace mofeng::ui
