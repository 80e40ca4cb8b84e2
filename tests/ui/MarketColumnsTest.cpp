#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/HistoryStore.h"
#include "app/MarketCells.h"
#include "app/Observation.h"
#include "columns/KeywordListSchema.h"
#include "runtime/NumberOps.h"
#include "ui/GuiFixture.h"
#include "ui/app/SessionStartup.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/SessionDatabaseFile.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using mofeng::app::MarketKind;
using mofeng::runtime::Row;
using mofeng::ui::MainWindow;
using mofeng::ui::ToGbk;

namespace {

namespace columns = mofeng::columns;

// A list row with 宝贝数量 and the given market figures (UTF-8).
Row MarketRow(int number, const QString& keyword, const char* count,
              std::vector<std::pair<MarketKind, QString>> figures) {
    Row row(columns::kColumnCount);
    row[0] = std::to_string(number);
    row[1] = ToGbk(keyword);
    row[2] = count;
    mofeng::app::MarketRow market;
    for (const auto& [kind, text] : figures) {
        market[kind] = ToGbk(text);
    }
    mofeng::app::CompleteDemandSupply(market, row[2]);
    mofeng::app::PutMarketRow(row, market);
    return row;
}

struct Window {
    Window() : context({}, {}), window(context) {
        window.show();
        mofeng::test::ShowListTab(window);
    }

    QStringList Captions() {
        QStringList captions;
        const QAbstractItemModel& model = window.Model();
        for (int column = 0; column < model.columnCount(); ++column) {
            captions << model.headerData(column, Qt::Horizontal).toString();
        }
        return captions;
    }
    int ColumnOf(const QString& caption) { return Captions().indexOf(caption); }
    QStringList Shown(int column) { return mofeng::test::ShownColumn(window.List(), column); }
    void ClickHeader(int column) {
        QHeaderView& header = *window.List().horizontalHeader();
        const QPoint centre(header.sectionViewportPosition(column) + header.sectionSize(column) / 2,
                            header.height() / 2);
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, centre);
    }

    mofeng::ui::AppContext context;
    MainWindow window;
};

const QStringList kEight = {"序号",        "关键词",   "宝贝数量", "昨日搜索指数",
                            "7天平均指数", "指数趋势", "竞争倍数", "趋势比(斜率)"};

}  // namespace

class MarketColumnsTest : public QObject {
    Q_OBJECT

private slots:
    void ColumnsComeAndGoWithTheFiguresInKindOrder() {
        Window f;
        QCOMPARE(f.Captions(), kEight);
        f.window.Model().AppendRows(
            {MarketRow(1, QStringLiteral("连衣裙"), "800",
                       {{MarketKind::ClickRate, "3.45%"}, {MarketKind::SearchPopularity, "1.2万"}}),
             MarketRow(2, QStringLiteral("衬衫"), "", {{MarketKind::PayingBuyers, "77"}})});
        QCOMPARE(f.Captions(),
                 kEight + QStringList({"搜索人气", "点击率", "需求供给比", "支付买家数"}));
        // Shown as the table wrote them, right-aligned as the other figures.
        QCOMPARE(f.Shown(8), (QStringList{
                                 "1.2万",
                                 "",
                             }));
        const QModelIndex rate = f.window.List().model()->index(0, 9);
        QCOMPARE(rate.data().toString(), QStringLiteral("3.45%"));
        QCOMPARE(rate.data(Qt::TextAlignmentRole).toInt(),
                 f.window.List().model()->index(0, 2).data(Qt::TextAlignmentRole).toInt());
        // 需求供给比 from our 宝贝数量 says so.
        const QModelIndex ratio = f.window.List().model()->index(0, 10);
        QCOMPARE(ratio.data().toString(), QStringLiteral("15.00"));
        QVERIFY(ratio.data(Qt::ToolTipRole).toString().contains(QStringLiteral("宝贝数量")));
        QVERIFY(f.window.List().horizontalHeader()->sectionSize(8) > 50);

        // A cell emptied, a row removed, the list cleared: their columns go.
        f.window.Model().SetCell(1, columns::Index(columns::Column::PayingBuyers), "");
        QCOMPARE(f.Captions().size(), 11);
        f.window.Model().RemoveRows({0});
        QCOMPARE(f.Captions(), kEight);
        f.window.Model().AppendRows(
            {MarketRow(3, QStringLiteral("裙"), "", {{MarketKind::TradeIndex, "5"}})});
        f.window.Model().Clear();
        QCOMPARE(f.Captions(), kEight);
    }

    void MarketColumnsSortByTheMiddleWithBlanksLast() {
        Window f;
        f.window.Model().AppendRows({MarketRow(1, "a", "", {{MarketKind::TradeIndex, "1万~3万"}}),
                                     MarketRow(2, "b", "", {{MarketKind::ClickRate, "1%"}}),
                                     MarketRow(3, "c", "", {{MarketKind::TradeIndex, "25,000"}}),
                                     MarketRow(4, "d", "", {{MarketKind::TradeIndex, "1.9万"}})});
        const int trade = f.ColumnOf(QStringLiteral("交易指数"));
        QVERIFY(trade > 7);
        f.ClickHeader(trade);
        QCOMPARE(f.Shown(1), (QStringList{"c", "a", "d", "b"}));
        QCOMPARE(f.window.SortColumn(), columns::Index(columns::Column::TradeIndex));
        f.ClickHeader(trade);
        QCOMPARE(f.Shown(1), (QStringList{"d", "a", "c", "b"}));
    }

    void TheFilterBarBoundsAPresentMarketColumn() {
        Window f;
        f.window.Model().AppendRows({MarketRow(1, "a", "", {{MarketKind::ClickRate, "3.45%"}}),
                                     MarketRow(2, "b", "", {{MarketKind::ClickRate, "0.5%"}}),
                                     MarketRow(3, "c", "", {{MarketKind::SearchHeat, "900"}})});
        f.window.ShowFilter();
        auto* chooser = f.window.findChild<QComboBox*>(QStringLiteral("filterOptionalColumn"));
        QVERIFY(chooser && chooser->isVisible());
        QCOMPARE(chooser->count(), 2);
        QCOMPARE(chooser->itemText(0), QStringLiteral("搜索热度"));
        chooser->setCurrentIndex(1);  // 点击率
        f.window.findChild<QLineEdit*>(QStringLiteral("filterMinOptional"))->setText("1");
        QCOMPARE(f.Shown(1), QStringList{"a"});
        // Bounds stay with their column while another is chosen.
        chooser->setCurrentIndex(0);
        QCOMPARE(f.Shown(1), QStringList{"a"});
        f.window.findChild<QLineEdit*>(QStringLiteral("filterMinOptional"))->setText("100");
        QCOMPARE(f.Shown(1), QStringList{});
        f.window.HideFilter();
        QCOMPARE(f.Shown(1).size(), 3);
    }

    void PastedSellerTableMergesAndCopiesCarryTheColumns() {
        Window f;
        f.window.Model().AppendRows({MarketRow(1, QStringLiteral("连衣裙"), "600", {})});
        QApplication::clipboard()->setText(QStringLiteral(
            "搜索词排行\r\n搜索词\t搜索人气\t点击率\r\n连衣裙\t1.2万\t3.45%\r\nT恤\t-\t1%\r\n"));
        f.window.PasteKeywords();
        QCOMPARE(f.Shown(1), (QStringList{"连衣裙", "T恤"}));
        QCOMPARE(f.Shown(f.ColumnOf(QStringLiteral("搜索人气"))), (QStringList{"1.2万", ""}));
        QCOMPARE(f.Shown(f.ColumnOf(QStringLiteral("需求供给比"))), (QStringList{"20.00", ""}));

        f.window.List().selectAll();
        f.window.CopySelection();
        const QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines[0], (kEight + QStringList({"搜索人气", "点击率", "需求供给比"})).join('\t'));
        QVERIFY2(lines[1].endsWith(QStringLiteral("\t1.2万\t3.45%\t20.00")), qPrintable(lines[1]));
    }

    void AQueryWithTheWeightOptionFillsItsColumnAndOurRatio() {
        mofeng::test::SimulatedMainWindow f(
            mofeng::sim::SimulatorOptions{.seed = 3, .suggestSelf = true});
        mofeng::ui::SettingsTexts settings = f.context->Settings();
        settings.suggestWeight = true;
        f.context->SetSettings(settings);
        mofeng::test::ShowListTab(*f.window);
        f.window->Model().AppendRows({MarketRow(1, QStringLiteral("连衣裙"), "",
                                                {{MarketKind::SearchPopularity, "1.2万"}})});
        mofeng::test::MessageAnswerer answerer;
        f.window->MenuAction(QStringLiteral("开始查询指数"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!answerer.shown.isEmpty(), 30000);
        const auto cell = [&](columns::Column column) {
            return mofeng::runtime::GbkToUtf8(
                f.window->Model().Data().Cell(0, columns::Index(column)));
        };
        const std::string weight = f.simulator.Data().SuggestWeight("连衣裙");
        QCOMPARE(cell(columns::Column::SuggestWeight),
                 std::to_string(std::llround(std::stod(weight))));
        QVERIFY(f.window->Model().ViewColumn(columns::Index(columns::Column::SuggestWeight)) > 7);
        // 需求供给比 from the 宝贝数量 the query found.
        const double count = std::stod(cell(columns::Column::ListingCount));
        QCOMPARE(cell(columns::Column::DemandSupply),
                 mofeng::runtime::FormatNumber(12000 / count, 2));
    }

    void AQueryShowsTheListingChangeSinceTheLastObservedDay() {
        QTemporaryDir home;
        mofeng::test::UseAsHome(home);
        std::filesystem::remove_all(
            std::filesystem::path(mofeng::ui::SessionDatabasePath().toStdString()).parent_path());
        mofeng::sim::Simulator simulator;
        QVERIFY(simulator.Start());
        mofeng::ui::AppContext context(mofeng::test::EndpointsAt(simulator), {});
        MainWindow window(context);
        mofeng::ui::StartSession(window);
        const std::string keyword = ToGbk(QStringLiteral("手机壳"));
        const std::string before =
            std::to_string(simulator.ExpectedListingCount("手机壳") * 10 / 11);
        {
            const auto db = mofeng::app::SqliteDatabase::Open(mofeng::ui::SessionDatabaseFilePath(),
                                                              SQLITE_OPEN_READWRITE);
            mofeng::app::Observation earlier;
            earlier.keyword = keyword;
            earlier.day = "2001-01-01";
            earlier.figures = {before, "", "", "", "", ""};
            earlier.outcome = ToGbk(QStringLiteral("正常"));
            QVERIFY(mofeng::app::history::Record(db, {earlier}));
        }
        window.Model().AppendRows({Row{"1", keyword}, Row{"2", ToGbk(QStringLiteral("连衣裙"))}});
        mofeng::test::MessageAnswerer answerer;
        window.MenuAction(QStringLiteral("开始查询指数"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!window.Query().IsRunning(), 30000);
        constexpr int kChange = columns::Index(columns::Column::ListingChange);
        const std::string now =
            window.Model().Data().Cell(0, columns::Index(columns::Column::ListingCount));
        const std::string expected = mofeng::app::ListingChangeText(before, now);
        QVERIFY(!expected.empty());
        QCOMPARE(window.Model().Data().Cell(0, kChange), expected);
        QCOMPARE(window.Model().Data().Cell(1, kChange), std::string());  // never observed before
        QVERIFY(window.Model().ViewColumn(kChange) > 7);
    }

    void TheHeaderMenuHidesAColumn() {
        Window f;
        f.window.Model().AppendRows({MarketRow(1, "a", "", {{MarketKind::ClickRate, "1%"}})});
        QHeaderView* header = f.window.List().horizontalHeader();
        QCOMPARE(header->contextMenuPolicy(), Qt::CustomContextMenu);
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            menu->actions().at(8)->trigger();  // 点击率
            menu->close();
        });
        emit header->customContextMenuRequested(QPoint(10, 5));
        QVERIFY(header->isSectionHidden(8));
        QVERIFY(!header->isSectionHidden(2));
    }
};

QTEST_MAIN(MarketColumnsTest)
#include "MarketColumnsTest.moc"
