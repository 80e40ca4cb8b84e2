// Times one paint of the main list's visible rows with the 指数趋势 column's
// seven-day lines against the same list with the plain cell text, and what
// the display text of a cell adds to the model's display data. Prints both.
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CellDisplayText.h"
#include "app/KeywordListColumns.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/TrendSparklineDelegate.h"

using mofeng::runtime::Row;
using mofeng::ui::KeywordListModel;

namespace {

constexpr int kRows = 2000;
constexpr int kPaints = 300;

std::vector<KeywordListModel::Column> StorageColumns() {
    std::vector<KeywordListModel::Column> columns;
    for (const auto& [title, width] : mofeng::app::KeywordListStorageColumns()) {
        columns.push_back({title, width});
    }
    return columns;
}

Row QueriedRow(int i) {
    std::string series;
    for (int day = 0; day < 7; ++day) {
        series += (day ? "," : "") + std::to_string(1000 + (i * 37 + day * 91) % 500);
    }
    return {
        std::to_string(i + 1),   "kw" + std::to_string(i), "5000", "1200", "1100", "100  \xA1\xFC",
        i % 10 ? "2200" : "inf", i % 7 ? "0.3" : "-nan",   "",     "",     series};
}

double MillisecondsPerPaint(QTableView& view) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPaints; ++i) {
        view.viewport()->grab();
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / kPaints;
}

double NanosecondsPerCell(bool display, const std::vector<Row>& rows) {
    QElapsedTimer timer;
    timer.start();
    std::size_t bytes = 0;
    for (int pass = 0; pass < 200; ++pass) {
        for (const Row& row : rows) {
            for (int column = 0; column < 8; ++column) {
                bytes += display ? mofeng::app::CellDisplayText(column, row[column]).size()
                                 : std::string_view(row[column]).size();
            }
        }
    }
    const double ns = static_cast<double>(timer.nsecsElapsed()) / (200.0 * rows.size() * 8);
    std::fprintf(stderr, "%zu\n", bytes % 2);  // keeps the loop
    return ns;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    KeywordListModel model(StorageColumns(), mofeng::app::kKeywordListColumnCount);
    std::vector<Row> rows;
    for (int i = 0; i < kRows; ++i) {
        rows.push_back(QueriedRow(i));
    }
    model.AppendRows(rows);
    QTableView view;
    view.setModel(&model);
    view.resize(904, 468);
    view.show();
    QApplication::processEvents();

    MillisecondsPerPaint(view);  // warms the caches and the glyphs
    const double plain = MillisecondsPerPaint(view);
    view.setItemDelegateForColumn(5, new mofeng::ui::TrendSparklineDelegate(&view));
    const double lines = MillisecondsPerPaint(view);
    std::printf(
        "paint of the visible rows: plain %.3f ms, with seven-day lines %.3f ms, ratio %.2f\n",
        plain, lines, lines / plain);

    const double stored = NanosecondsPerCell(false, rows);
    const double shown = NanosecondsPerCell(true, rows);
    QElapsedTimer timer;
    timer.start();
    qsizetype chars = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < 8; ++c) {
            chars += model.data(model.index(r, c)).toString().size();
        }
    }
    const double data = static_cast<double>(timer.nsecsElapsed()) / (kRows * 8.0);
    std::printf(
        "cell text: the display text adds %.2f ns to the model's %.0f ns per cell (%.1f%%)\n",
        shown - stored, data, 100.0 * (shown - stored) / data);
    std::fprintf(stderr, "%lld\n", static_cast<long long>(chars % 2));
    return 0;
}
