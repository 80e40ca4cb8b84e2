#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <string>
#include <vector>

#include "ui/GuiFixture.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/LightTheme.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using mofeng::runtime::Row;
using mofeng::ui::MainWindow;

namespace {

struct Window {
    Window() : context({}, {}), window(context) {
        window.show();
        mofeng::test::ShowListTab(window);
    }

    QHeaderView& Header() { return *window.List().horizontalHeader(); }
    void ClickHeader(int column) {
        QHeaderView& header = Header();
        const QPoint centre(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                            header.height() / 2);
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, centre);
    }
    QStringList Keywords() { return mofeng::test::ShownColumn(window.List(), 1); }
    // "-" without an arrow, else "<column>v" (largest first: the header
    // draws Qt::AscendingOrder as a downward arrow) or "<column>^".
    QString Arrow() {
        if (!Header().isSortIndicatorShown() || Header().sortIndicatorSection() < 0) {
            return QStringLiteral("-");
        }
        return QString::number(Header().sortIndicatorSection()) +
               (Header().sortIndicatorOrder() == Qt::AscendingOrder ? 'v' : '^');
    }

    mofeng::ui::AppContext context;
    MainWindow window;
};

// Keyword k<i> with value values[i] in column 2 and i in column 3.
std::vector<Row> RowsWithValues(const QStringList& values) {
    std::vector<Row> rows;
    for (int i = 0; i < values.size(); ++i) {
        rows.push_back(Row{std::to_string(i + 1), "k" + std::to_string(i), values[i].toStdString(),
                           std::to_string(i)});
    }
    return rows;
}

}  // namespace

class SortTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { mofeng::ui::ApplyLightTheme(*qApp); }
    void headerClicksSortBothWaysWithTheArrow_data();
    void headerClicksSortBothWaysWithTheArrow();
    void aSortShowsTheTopOfTheList();
    void clearingTheListForgetsTheDirection();
};

void SortTest::headerClicksSortBothWaysWithTheArrow_data() {
    QTest::addColumn<QStringList>("values");  // column 2, rows k0, k1, ...
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("keywords");  // after the clicks
    QTest::addColumn<QString>("arrow");
    const QStringList distinct{"5", "3", "8"};
    QTest::newRow("first click: largest first")
        << distinct << QList<int>{2} << QStringList{"k2", "k0", "k1"} << "2v";
    QTest::newRow("second click: smallest first")
        << distinct << QList<int>{2, 2} << QStringList{"k1", "k0", "k2"} << "2^";
    QTest::newRow("third click: largest first again")
        << distinct << QList<int>{2, 2, 2} << QStringList{"k2", "k0", "k1"} << "2v";
    // Values 2, 2, 1, 3: largest first puts the later 2 first, as the
    // one-way sort always has; the second click mirrors that order exactly,
    // ties included, and the third restores it.
    const QStringList ties{"2", "2", "1", "3"};
    QTest::newRow("ties, one click")
        << ties << QList<int>{2} << QStringList{"k3", "k1", "k0", "k2"} << "2v";
    QTest::newRow("ties, two clicks")
        << ties << QList<int>{2, 2} << QStringList{"k2", "k0", "k1", "k3"} << "2^";
    QTest::newRow("ties, three clicks")
        << ties << QList<int>{2, 2, 2} << QStringList{"k3", "k1", "k0", "k2"} << "2v";
    // All keys equal (the keyword column reads as 0): each click reverses.
    QTest::newRow("all equal, one click")
        << distinct << QList<int>{1} << QStringList{"k2", "k1", "k0"} << "1v";
    QTest::newRow("all equal, two clicks")
        << distinct << QList<int>{1, 1} << QStringList{"k0", "k1", "k2"} << "1^";
    QTest::newRow("another header starts largest first")
        << distinct << QList<int>{2, 3} << QStringList{"k2", "k1", "k0"} << "3v";
    QTest::newRow("and back to the first: largest first")
        << distinct << QList<int>{2, 2, 3, 2} << QStringList{"k2", "k0", "k1"} << "2v";
    QTest::newRow("within the tolerance counts as equal")
        << QStringList{"1.00000001", "1", "0.5"} << QList<int>{2, 2}
        << QStringList{"k2", "k0", "k1"} << "2^";
    QTest::newRow("empty list") << QStringList{} << QList<int>{2, 2} << QStringList{} << "2^";
}

void SortTest::headerClicksSortBothWaysWithTheArrow() {
    QFETCH(QStringList, values);
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, keywords);
    QFETCH(QString, arrow);
    Window w;
    w.window.Model().AppendRows(RowsWithValues(values));
    QCOMPARE(w.Arrow(), QStringLiteral("-"));
    for (int column : clicks) {
        w.ClickHeader(column);
    }
    QCOMPARE(w.Keywords(), keywords);
    QCOMPARE(w.Arrow(), arrow);
    // Whole rows move: every keyword keeps its own figures.
    for (int row = 0; row < values.size(); ++row) {
        const std::string keyword = w.window.Model().Data().Cell(row, 1);
        const int source = std::stoi(keyword.substr(1));
        QCOMPARE(w.window.Model().Data().Cell(row, 2), values[source].toStdString());
        QCOMPARE(w.window.Model().Data().Cell(row, 3), std::to_string(source));
    }
}

void SortTest::aSortShowsTheTopOfTheList() {
    Window w;
    QStringList values;
    for (int i = 0; i < 300; ++i) {
        values << QString::number((i * 37) % 101);
    }
    w.window.Model().AppendRows(RowsWithValues(values));
    QScrollBar* scroll = w.window.List().verticalScrollBar();
    for (int column : {2, 2, 3}) {
        w.window.List().scrollToBottom();
        QTRY_VERIFY(scroll->value() > 0);
        w.ClickHeader(column);
        QCOMPARE(scroll->value(), 0);
    }
    QCOMPARE(w.window.List().model()->index(0, 3).data().toString(), QStringLiteral("299"));
}

void SortTest::clearingTheListForgetsTheDirection() {
    Window w;
    w.window.Model().AppendRows(RowsWithValues({"5", "3", "8"}));
    w.ClickHeader(2);
    w.window.ClearList();
    QCOMPARE(w.Arrow(), QStringLiteral("-"));
    w.window.Model().AppendRows(RowsWithValues({"5", "3", "8"}));
    w.ClickHeader(2);  // a new list starts largest first
    QCOMPARE(w.Keywords(), (QStringList{"k2", "k0", "k1"}));
    QCOMPARE(w.Arrow(), QStringLiteral("2v"));
}

QTEST_MAIN(SortTest)
#include "SortTest.moc"
