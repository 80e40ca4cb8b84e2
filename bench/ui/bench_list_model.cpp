// Times the keyword list model the way the windows use it: a worker appends
// batches through ModelTable while the UI thread runs its loop and a view
// shows the list; then a sort-sized reorder on the UI thread.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <numeric>
#include <random>
#include <thread>

#include "ui/common/KeywordListModel.h"
#include "ui/common/ModelTable.h"

using mofeng::runtime::Row;
using mofeng::ui::KeywordListModel;
using mofeng::ui::ModelTable;

namespace {

std::vector<KeywordListModel::Column> KeywordColumns() {
    std::vector<KeywordListModel::Column> columns;
    for (int i = 0; i < 8; ++i) {
        columns.push_back({"c" + std::to_string(i), 80});
    }
    return columns;
}

Row KeywordRow(int number) {
    // "连衣裙" in GBK plus a number keeps every keyword distinct.
    return {std::to_string(number), "\xC1\xAC\xD2\xC2\xC8\xB9" + std::to_string(number)};
}

double AppendThroughWorker(QTableView& view, int total, int batch) {
    KeywordListModel model(KeywordColumns());
    view.setModel(&model);
    ModelTable table(&model);
    std::atomic<bool> done{false};
    QElapsedTimer timer;
    timer.start();
    std::thread worker([&] {
        for (int first = 0; first < total; first += batch) {
            std::vector<Row> rows;
            rows.reserve(static_cast<size_t>(batch));
            for (int i = first; i < std::min(total, first + batch); ++i) {
                rows.push_back(KeywordRow(i + 1));
            }
            table.AppendRows(std::move(rows));
        }
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done) {
            loop.quit();
        }
    });
    poll.start(1);
    loop.exec();
    worker.join();
    QApplication::processEvents();  // let the view catch up with the last batch
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (model.rowCount() != total) {
        std::fprintf(stderr, "row count %d, expected %d\n", model.rowCount(), total);
    }
    view.setModel(nullptr);
    return ms;
}

double ReorderOnUiThread(QTableView& view, int total) {
    KeywordListModel model(KeywordColumns());
    view.setModel(&model);
    std::vector<Row> rows;
    for (int i = 0; i < total; ++i) {
        rows.push_back(KeywordRow(i + 1));
    }
    model.AppendRows(std::move(rows));
    QApplication::processEvents();
    std::vector<int> order(static_cast<size_t>(total));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    QElapsedTimer timer;
    timer.start();
    model.ReorderRows(order);
    QApplication::processEvents();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    view.setModel(nullptr);
    return ms;
}

double FindAbsent(int total, int lookups) {
    KeywordListModel model(KeywordColumns());
    std::vector<Row> rows;
    for (int i = 0; i < total; ++i) {
        rows.push_back(KeywordRow(i + 1));
    }
    model.AppendRows(std::move(rows));
    model.Data().FindRow("warm-up", 1);  // builds the column's index once
    QElapsedTimer timer;
    timer.start();
    int found = 0;
    for (int i = 0; i < lookups; ++i) {
        found += model.Data().FindRow("absent" + std::to_string(i), 1) >= 0;
    }
    const double us = static_cast<double>(timer.nsecsElapsed()) / 1e3 / lookups;
    return found == 0 ? us : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTableView view;
    view.resize(1000, 700);
    view.show();

    constexpr int kRows = 1'000'000, kBatch = 5'000, kReorderRows = 100'000;
    const double appendMs = AppendThroughWorker(view, kRows, kBatch);
    std::printf("append %d rows in batches of %d from a worker: %.0f ms (%.2f ms per batch)\n",
                kRows, kBatch, appendMs, appendMs / (kRows / kBatch));
    std::printf("reorder %d rows (shuffled) on the UI thread: %.1f ms\n", kReorderRows,
                ReorderOnUiThread(view, kReorderRows));
    std::printf("FindRow of an absent keyword among %d rows: %.2f us\n", kReorderRows,
                FindAbsent(kReorderRows, 10'000));
    return 0;
}
