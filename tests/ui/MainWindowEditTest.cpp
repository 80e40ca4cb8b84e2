#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>
#include <string>
#include <vector>

#include "query/RowOutcome.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "ui/GuiFixture.h"
#include "ui/app/SessionStartup.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/SessionKeeper.h"
#include "ui/main/AddKeywordsDialog.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;
using Row = runtime::Row;

namespace {

std::vector<Row> RowsOf(const ui::KeywordListModel& model) {
    std::vector<Row> rows;
    for (int r = 0; r < model.Data().RowCount(); ++r) {
        rows.push_back(model.StoredRow(r));
    }
    return rows;
}

std::vector<std::string> Keywords(const ui::KeywordListModel& model) {
    return model.Data().ColumnTexts(1);
}

// A stored row with a hidden cell (the outcome) filled, so a lost cell shows.
Row StoredRow(const std::string& number, const std::string& keyword) {
    Row row(static_cast<std::size_t>(query::kStoredColumnCount));
    row[0] = number;
    row[1] = keyword;
    row[2].assign(1, '5');  // the figure a query replaces
    row[query::kOutcomeColumn] = "hidden-" + keyword;
    return row;
}

// The visible "数据查询完毕" box of a finished run, null before.
QMessageBox* DoneBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible() &&
            box->text().contains(QStringLiteral("查询完毕"))) {
            return box;
        }
    }
    return nullptr;
}

struct Fixture {
    explicit Fixture(net::EndpointConfig endpoints = {}) : context(endpoints, {}), window(context) {
        window.show();
        test::ShowListTab(window);
        window.List().setFocus();
    }

    void Add(const std::vector<std::string>& keywords) {
        std::vector<Row> rows;
        for (std::size_t i = 0; i < keywords.size(); ++i) {
            rows.push_back(StoredRow(std::to_string(i + 1), keywords[i]));
        }
        window.Model().AppendRows(std::move(rows));
    }

    void Select(std::initializer_list<int> rows) {
        window.List().clearSelection();
        for (int row : rows) {
            window.List().selectionModel()->select(
                window.Model().index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&window.List(), static_cast<Qt::Key>(key), modifiers);
    }

    ui::AppContext context;
    ui::MainWindow window;
};

}  // namespace

class MainWindowEditTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        test::UseAsHome(m_home);
    }

    void theNextRunSeesTheListAsEditedWithRowsInOrder() {
        std::vector<std::string> expected;
        {
            Fixture f;
            ui::StartSession(f.window);
            f.Add({"a", "b", "c", "d", "e", "f"});
            f.window.Session()->FlushNow();
            f.Select({1, 4});
            f.window.DeleteSelectedRows();  // rows below move up
            f.window.Undo();                // and down again
            f.Select({0, 2, 5});
            f.window.DeleteSelectedRows();
            f.window.AddKeywords({"n"});
            expected = Keywords(f.window.Model());
            f.window.Session()->FlushNow();
        }
        Fixture f;
        ui::StartSession(f.window);
        QCOMPARE(Keywords(f.window.Model()), expected);
        QCOMPARE(expected, (std::vector<std::string>{"b", "d", "e", "n"}));
        QCOMPARE(f.window.Model().Data().Cell(1, query::kOutcomeColumn), "hidden-d");
    }

    void insertOpensTheDialogAndAppendsNumberedKeywords() {
        Fixture f;
        f.Add({"old"});
        f.Key(Qt::Key_Insert);
        QTRY_VERIFY(f.window.OpenAddDialog() != nullptr);
        ui::AddKeywordsDialog* dialog = f.window.OpenAddDialog();
        dialog->Editor().setPlainText(QStringLiteral("连衣裙\n\n  雪纺 \r\n牛仔裤\n"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QTRY_VERIFY(f.window.OpenAddDialog() == nullptr);

        const auto& data = f.window.Model().Data();
        QCOMPARE(data.RowCount(), 4);
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"1", "old"},
            {"1", runtime::Utf8ToGbk("连衣裙")},
            {"2", runtime::Utf8ToGbk("  雪纺 ")},  // typed text is kept as typed
            {"3", runtime::Utf8ToGbk("牛仔裤")}};
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(data.Cell(row, 0), expected[row].first);
            QCOMPARE(data.Cell(row, 1), expected[row].second);
        }
        QCOMPARE(f.window.StatusText(), QStringLiteral("已添加 3 个关键词"));

        f.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Keywords(f.window.Model()), (std::vector<std::string>{"old"}));
        f.Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(data.RowCount(), 4);
        QCOMPARE(data.Cell(3, 1), runtime::Utf8ToGbk("牛仔裤"));

        // A cancelled dialog adds nothing and leaves nothing to undo.
        f.window.Actions().addKeywords->trigger();
        QTRY_VERIFY(f.window.OpenAddDialog() != nullptr);
        f.window.OpenAddDialog()->Editor().setPlainText(QStringLiteral("x"));
        f.window.OpenAddDialog()->reject();
        QCOMPARE(data.RowCount(), 4);
        QCOMPARE(f.window.UndoStack().count(), 1);
    }

    void deleteAndUndoRestoreRowsWhereTheyWereWithEveryCell() {
        struct Case {
            const char* name;
            std::initializer_list<int> selected;
            std::vector<std::string> left;
        };
        const Case cases[] = {
            {"one in the middle", {2}, {"a", "b", "d", "e"}},
            {"scattered", {0, 2, 4}, {"b", "d"}},
            {"all", {0, 1, 2, 3, 4}, {}},
        };
        for (const Case& c : cases) {
            Fixture f;
            f.Add({"a", "b", "c", "d", "e"});
            const std::vector<Row> before = RowsOf(f.window.Model());
            f.Select(c.selected);
            f.Key(Qt::Key_Delete);
            QVERIFY2(Keywords(f.window.Model()) == c.left, c.name);
            f.Key(Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(RowsOf(f.window.Model()) == before, c.name);
            f.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY2(Keywords(f.window.Model()) == c.left, c.name);
        }
    }

    void undoFollowsRowsMovedBySortingInBetween() {
        Fixture f;
        f.Add({"a", "b", "c"});
        f.window.Model().SetCell(0, 2, "1");
        f.window.Model().SetCell(1, 2, "3");
        f.window.Model().SetCell(2, 2, "2");
        f.window.AddKeywords({"x", "y"});
        f.window.SortByColumn(2);  // the added rows move
        const std::vector<std::string> sorted = Keywords(f.window.Model());
        QCOMPARE(sorted.size(), std::size_t{5});
        f.window.Undo();  // takes out x and y, wherever they are now
        std::vector<std::string> left = Keywords(f.window.Model());
        std::sort(left.begin(), left.end());
        QCOMPARE(left, (std::vector<std::string>{"a", "b", "c"}));
        QCOMPARE(f.window.StatusText(), QStringLiteral("已撤销：添加关键词"));
        f.window.Redo();  // back where they were when taken out
        QCOMPARE(Keywords(f.window.Model()), sorted);
    }

    void duplicatesGoFirstOneKeptAndCanComeBack() {
        struct Case {
            std::vector<std::string> keywords;
            std::vector<std::string> left;
            QString status;
        };
        const Case cases[] = {
            {{"a", "b", "a", "A", "a ", "b", "a"},
             {"a", "b", "A", "a "},
             QStringLiteral("已删除 3 个重复关键词")},
            {{"", "x", ""}, {"", "x"}, QStringLiteral("已删除 1 个重复关键词")},
            {{"a", "b"}, {"a", "b"}, QStringLiteral("没有重复的关键词")},
        };
        for (const Case& c : cases) {
            Fixture f;
            f.Add(c.keywords);
            const std::vector<Row> before = RowsOf(f.window.Model());
            f.window.MenuAction(QStringLiteral("删除重复关键词"))->trigger();
            QCOMPARE(Keywords(f.window.Model()), c.left);
            QCOMPARE(f.window.StatusText(), c.status);
            f.window.Undo();
            QVERIFY(RowsOf(f.window.Model()) == before);
        }
    }

    void clearUndoRedoAndAStackOfMixedEdits() {
        Fixture f;
        f.Add({"a", "b", "c"});
        const std::vector<Row> start = RowsOf(f.window.Model());
        f.Select({1});
        f.window.DeleteSelectedRows();
        f.window.AddKeywords({"n"});
        f.window.ClearList();
        QCOMPARE(f.window.Model().rowCount(), 0);
        f.window.MenuAction(QStringLiteral("撤销"))->trigger();
        QCOMPARE(Keywords(f.window.Model()), (std::vector<std::string>{"a", "c", "n"}));
        f.window.Undo();
        f.window.Undo();
        QVERIFY(RowsOf(f.window.Model()) == start);
        f.window.Undo();  // nothing left: harmless
        QVERIFY(RowsOf(f.window.Model()) == start);
        for (int i = 0; i < 3; ++i) {
            f.window.MenuAction(QStringLiteral("重做"))->trigger();
        }
        QCOMPARE(f.window.Model().rowCount(), 0);
        // Nothing selected, an empty list: no command lands on the stack.
        const int depth = f.window.UndoStack().index();
        f.window.DeleteSelectedRows();
        f.window.ClearList();
        f.window.RemoveDuplicateKeywords();
        QCOMPARE(f.window.UndoStack().index(), depth);
    }

    void rowDeletedDuringARunGetsNoResultAndNoRequest() {
        sim::SimulatorOptions options;
        options.latencyMs = 60;
        sim::Simulator simulator(options);
        QVERIFY(simulator.Start());
        Fixture f(test::EndpointsAt(simulator));
        std::vector<std::string> words;
        for (const char* word : {"连衣裙", "衬衫", "牛仔裤", "凉鞋", "双肩包", "口红", "手机壳",
                                 "保温杯", "毛衣", "耳机"}) {
            words.push_back(runtime::Utf8ToGbk(word));
        }
        f.Add(words);
        f.window.Query().StartOrOfferStop();
        // 宝贝数量 reads "5" until the row's figures arrive.
        QTRY_VERIFY_WITH_TIMEOUT(f.window.Model().Data().Cell(1, 2) != "5", 30000);
        // Row 8 is far from the one in flight; row 0 already has its figures.
        f.Select({0, 8});
        f.window.DeleteSelectedRows();
        QTRY_VERIFY_WITH_TIMEOUT(DoneBox() != nullptr, 30000);
        DoneBox()->button(QMessageBox::Ok)->click();
        QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);

        const auto& data = f.window.Model().Data();
        QCOMPARE(data.RowCount(), 8);
        for (int row = 0; row < data.RowCount(); ++row) {
            QVERIFY2(data.Cell(row, 2) != "5", data.Cell(row, 1).c_str());  // every row queried
            QVERIFY(data.Cell(row, 1) != words[8] && data.Cell(row, 1) != words[0]);
        }
        // Two requests a row (trend, search page), none for the row deleted
        // before its turn.
        QCOMPARE(simulator.RequestCount(), std::uint64_t{2 * 9});
        // Undone after the run: the row is back where it was, as it was.
        f.window.Undo();
        QCOMPARE(data.Cell(8, 1), words[8]);
        QCOMPARE(data.Cell(0, 1), words[0]);
        QVERIFY(data.Cell(0, 2) != "5");  // its figures came back with it
        QCOMPARE(data.Cell(8, 2), "5");   // never queried
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(MainWindowEditTest)
#include "MainWindowEditTest.moc"
