#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include <numeric>

#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"

using mofeng::runtime::Row;
using mofeng::ui::KeywordListModel;

namespace {

std::vector<KeywordListModel::Column> ThreeColumns() {
    return {{"\xD0\xF2\xBA\xC5", 40}, {"\xB9\xD8\xBC\xFC\xB4\xCA", 160}, {"n", 80}};
}

std::vector<int> Reversed(int count) {
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.rbegin(), order.rend(), 0);
    return order;
}

}  // namespace

class ListModelTest : public QObject {
    Q_OBJECT

private slots:
    void mutationsKeepModelConsistent();
    void reorderKeepsSelectionAtPositions();
    void cellBytesSurviveDisplay_data();
    void cellBytesSurviveDisplay();
};

void ListModelTest::mutationsKeepModelConsistent() {
    KeywordListModel model(ThreeColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    QCOMPARE(model.AppendRows({}), -1);
    QCOMPARE(inserted.count(), 0);
    // Short rows are padded, long ones cut, and the batch is one insertion.
    QCOMPARE(model.AppendRows({Row{"1", "a"}, Row{"2", "b", "x", "extra"}, Row{}}), 0);
    QCOMPARE(model.AppendRows({Row{"4", "d", "y"}}), 3);
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted[0][1].toInt(), 0);
    QCOMPARE(inserted[0][2].toInt(), 2);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.Data().Cell(0, 2), std::string());
    QCOMPARE(model.Data().Cell(1, 2), std::string("x"));

    // Writes outside the list change nothing and add no row.
    model.SetCell(4, 1, "nope");
    model.SetCell(0, 3, "nope");
    model.SetCell(-1, 0, "nope");
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model.rowCount(), 4);

    model.SetCell(2, 1, "c");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.data(model.index(2, 1)).toString(), QString("c"));

    const auto id = model.Data().IdOfRow(3);
    QVERIFY(model.SetCellsById(id, 1, {"dd", "yy", "dropped"}));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(model.Data().Cell(3, 2), std::string("yy"));

    // A reorder is one change of every cell; anything but a permutation is ignored.
    model.ReorderRows({0, 1, 1, 3});
    model.ReorderRows({0, 1, 2});
    QCOMPARE(changed.count(), 2);
    model.ReorderRows(Reversed(4));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed[2][0].toModelIndex(), model.index(0, 0));
    QCOMPARE(changed[2][1].toModelIndex(), model.index(3, 2));
    QCOMPARE(model.Data().Cell(0, 1), std::string("dd"));
    QCOMPARE(model.Data().RowOfId(id), 0);

    model.Clear();
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.SetCellsById(id, 1, {"gone"}));
    model.Clear();
    QCOMPARE(model.AppendRows({Row{"1", "again"}}), 0);
}

void ListModelTest::reorderKeepsSelectionAtPositions() {
    KeywordListModel model(ThreeColumns());
    QItemSelectionModel selection(&model);
    for (int i = 0; i < 5; ++i) {
        model.AppendRows({Row{std::to_string(i + 1), "k" + std::to_string(i)}});
    }
    const auto idOfRow1 = model.Data().IdOfRow(1);
    for (int row : {1, 3}) {
        selection.select(model.index(row, 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    model.ReorderRows(Reversed(5));

    // The sort rewrites the texts; the highlighted rows stay where they were.
    const QModelIndexList rows = selection.selectedRows();
    QCOMPARE(rows.size(), 2);
    QVERIFY(selection.isRowSelected(1) && selection.isRowSelected(3));
    QCOMPARE(model.data(model.index(1, 1)).toString(), QString("k3"));
    QCOMPARE(model.Data().RowOfId(idOfRow1), 3);
}

void ListModelTest::cellBytesSurviveDisplay_data() {
    QTest::addColumn<QByteArray>("gbk");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ascii") << QByteArray("iphone 15") << QString("iphone 15");
    QTest::newRow("chinese") << QByteArray("\xD6\xD0\xCE\xC4") << QString::fromUtf8("中文");
    QTest::newRow("mixed") << QByteArray("T\xD0\xF4 40") << QString::fromUtf8("T恤 40");
    QTest::newRow("euro 0x80") << QByteArray("\x80") << QString::fromUtf8("€");
    QTest::newRow("lone lead byte") << QByteArray("a\x81") << QString::fromUtf8("a\uFFFD");
    QTest::newRow("0xFF") << QByteArray(
                                 "\xFF"
                                 "b")
                          << QString::fromUtf8("\uFFFDb");
}

void ListModelTest::cellBytesSurviveDisplay() {
    QFETCH(QByteArray, gbk);
    QFETCH(QString, shown);
    const std::string bytes(gbk.constData(), static_cast<size_t>(gbk.size()));
    KeywordListModel model(ThreeColumns());
    model.AppendRows({Row{"1", bytes}});

    QCOMPARE(model.data(model.index(0, 1)).toString(), shown);
    QCOMPARE(model.data(model.index(0, 1), Qt::ToolTipRole).toString(), shown);
    QCOMPARE(model.Data().Cell(0, 1), bytes);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("关键词"));
    if (!shown.contains(QChar(0xFFFD))) {
        QCOMPARE(mofeng::ui::ToGbk(shown), bytes);  // what the user sees types back the same
    }
}

QTEST_MAIN(ListModelTest)
#include "ListModelTest.moc"
