#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/Table.h"
#include "ui/common/UiThreadBridge.h"

namespace mofeng::ui {

class KeywordListModel;

// The Table the core logic works on, over a list model. Any thread may call: on the model's thread
// a call runs at once; from another thread it is carried out on the model's thread while the caller
// waits, so a read sees the list as it is now and each call is atomic. Once detached, or once the
// model is deleted, every call returns at once with the empty result (0, empty text, -1, false,
// nullopt) and does nothing.
class ModelTable final : public runtime::Table {
public:
    // On the model's thread.
    explicit ModelTable(KeywordListModel* model);
    ~ModelTable() override;
    ModelTable(const ModelTable&) = delete;
    ModelTable& operator=(const ModelTable&) = delete;

    // Model's thread (e.g. the window closing): releases callers waiting now.
    void Detach();

    int RowCount() override;
    int ColumnCount() override;
    std::string GetCell(int row, int column) override;
    void SetCell(int row, int column, std::string text) override;
    int AppendRows(std::vector<runtime::Row> rows) override;
    int FindRow(std::string_view text, int column) override;
    void Clear() override;
    std::string ColumnTitle(int column) override;
    std::vector<std::string> ColumnTexts(int column) override;
    void ReorderRows(const std::vector<int>& sourceOfPosition) override;
    std::vector<runtime::RowId> RowIds() override;
    std::optional<std::string> GetCellById(runtime::RowId id, int column) override;
    bool SetCellsById(runtime::RowId id, int firstColumn, std::vector<std::string> texts) override;

private:
    // Runs work(model) on the model's thread; empty when that cannot happen.
    template <typename Result, typename Work>
    Result Run(Result empty, Work work);

    UiThreadBridge m_bridge;
};

}  // namespace mofeng::ui
