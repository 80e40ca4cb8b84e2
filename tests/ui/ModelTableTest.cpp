#include <QCoreApplication>
#include <QEvent>
#include <QItemSelectionModel>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <latch>
#include <numeric>
#include <set>
#include <thread>

#include "EventLoopWait.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/ModelTable.h"

using mofeng::runtime::Row;
using mofeng::ui::KeywordListModel;
using mofeng::ui::ModelTable;

namespace {

std::vector<KeywordListModel::Column> ThreeColumns() {
    return {{"no", 40}, {"keyword", 160}, {"derived", 80}};
}

std::string Derived(const std::string& keyword) {
    return "len" + std::to_string(keyword.size()) + ":" + keyword;
}

// Eats the first queued call delivered to the model and deletes the model
// instead, as a window closing at that moment would.
class DeleteOnFirstCall final : public QObject {
public:
    explicit DeleteOnFirstCall(KeywordListModel* model) : m_model(model) {}
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (m_model && receiver == m_model && event->type() == QEvent::MetaCall) {
            delete m_model;
            m_model = nullptr;
            return true;
        }
        return false;
    }
    bool Deleted() const { return m_model == nullptr; }

private:
    KeywordListModel* m_model;
};

}  // namespace

class ModelTableTest : public QObject {
    Q_OBJECT

private slots:
    void workersAndUiSortStayConsistent();
    void selectionFromWorkerAfterReorder();
    void detachReleasesWaitingWorker();
    void deletedModelReleasesPendingCalls();
};

// Appenders and id-based writers run concurrently with sorts on the UI
// thread, as an import, a query run and a column sort may.
void ModelTableTest::workersAndUiSortStayConsistent() {
    KeywordListModel model(ThreeColumns());
    ModelTable table(&model);
    constexpr int kAppenders = 4, kBatches = 25, kBatchSize = 10, kWriters = 2;
    std::atomic<int> appendersLeft{kAppenders}, writersLeft{kWriters}, missingIds{0};

    QTimer sorter;
    sorter.setInterval(0);
    QObject::connect(&sorter, &QTimer::timeout, [&] {
        std::vector<int> order(static_cast<size_t>(model.rowCount()));
        std::iota(order.rbegin(), order.rend(), 0);
        model.ReorderRows(order);
    });
    sorter.start();

    std::vector<std::thread> threads;
    for (int a = 0; a < kAppenders; ++a) {
        threads.emplace_back([&, a] {
            for (int b = 0; b < kBatches; ++b) {
                std::vector<Row> rows;
                for (int i = 0; i < kBatchSize; ++i) {
                    rows.push_back(
                        {"", "k" + std::to_string(a) + "-" + std::to_string(b * 100 + i)});
                }
                table.AppendRows(std::move(rows));
            }
            --appendersLeft;
        });
    }
    for (int w = 0; w < kWriters; ++w) {
        threads.emplace_back([&] {
            for (bool last = false; !last;) {
                last = appendersLeft.load() == 0;  // a pass begun now sees every row
                for (auto id : table.RowIds()) {
                    const auto keyword = table.GetCellById(id, 1);
                    if (!keyword || !table.SetCellsById(id, 2, {Derived(*keyword)})) {
                        ++missingIds;  // rows are never removed here
                    }
                }
            }
            --writersLeft;
        });
    }
    QVERIFY(RunEventLoopUntil([&] { return writersLeft.load() == 0; }));
    sorter.stop();
    for (auto& thread : threads) {
        thread.join();
    }

    QCOMPARE(missingIds.load(), 0);
    QCOMPARE(table.RowCount(), kAppenders * kBatches * kBatchSize);
    const auto keywords = table.ColumnTexts(1);
    QCOMPARE(std::set<std::string>(keywords.begin(), keywords.end()).size(), keywords.size());
    const auto ids = table.RowIds();
    QCOMPARE(std::set<mofeng::runtime::RowId>(ids.begin(), ids.end()).size(), ids.size());
    for (int row = 0; row < table.RowCount(); ++row) {
        QCOMPARE(table.GetCell(row, 2), Derived(table.GetCell(row, 1)));
    }
}

void ModelTableTest::selectionFromWorkerAfterReorder() {
    KeywordListModel model(ThreeColumns());
    QItemSelectionModel selection(&model);
    ModelTable table(&model);
    for (int i = 0; i < 12; ++i) {
        table.AppendRows({Row{std::to_string(i + 1), "k" + std::to_string(i)}});
    }
    for (int row : {5, 2, 9}) {
        selection.select(model.index(row, 1), QItemSelectionModel::Select);
    }
    selection.select(model.index(5, 2), QItemSelectionModel::Select);  // same row twice

    std::vector<int> order(12);
    std::iota(order.rbegin(), order.rend(), 0);
    std::string cellAtTwo;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        table.ReorderRows(order);
        cellAtTwo = table.GetCell(2, 1);
        done = true;
    });
    QTRY_VERIFY(done.load());
    worker.join();
    // The view's selection stays at its positions: the texts moved, not the rows.
    std::vector<int> selected;
    for (const QModelIndex& index : selection.selectedIndexes()) {
        selected.push_back(index.row());
    }
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    QCOMPARE(selected, (std::vector<int>{2, 5, 9}));
    QCOMPARE(cellAtTwo, std::string("k9"));
}

void ModelTableTest::detachReleasesWaitingWorker() {
    KeywordListModel model(ThreeColumns());
    ModelTable table(&model);
    table.AppendRows({Row{"1", "kept"}});

    std::latch started(1);
    std::string read = "unset";
    std::thread worker([&] {
        started.count_down();
        read = table.GetCell(0, 1);  // waits: the UI thread runs no loop now
        table.SetCell(0, 1, "changed");
    });
    started.wait();
    table.Detach();
    worker.join();  // would hang if the worker were still waiting

    QCoreApplication::processEvents();  // queued work must not run after Detach
    QCOMPARE(read, std::string());
    QCOMPARE(model.Data().Cell(0, 1), std::string("kept"));
    QCOMPARE(table.RowCount(), 0);
}

void ModelTableTest::deletedModelReleasesPendingCalls() {
    auto* model = new KeywordListModel(ThreeColumns());
    ModelTable table(model);
    table.AppendRows({Row{"1", "a"}, Row{"2", "b"}});
    DeleteOnFirstCall filter(model);
    QCoreApplication::instance()->installEventFilter(&filter);

    constexpr int kWorkers = 3;
    std::latch started(kWorkers);
    std::atomic<int> finished{0}, sawRows{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i) {
        workers.emplace_back([&] {
            started.count_down();
            sawRows += table.RowCount();
            table.AppendRows({Row{"3", "late"}});
            ++finished;
        });
    }
    started.wait();
    QTRY_COMPARE(finished.load(), kWorkers);
    for (auto& worker : workers) {
        worker.join();
    }
    QCoreApplication::instance()->removeEventFilter(&filter);

    QVERIFY(filter.Deleted());
    QCOMPARE(sawRows.load(), 0);
    QCOMPARE(table.RowCount(), 0);
    QCOMPARE(table.FindRow("a", 1), -1);
}

QTEST_MAIN(ModelTableTest)
#include "ModelTableTest.moc"
