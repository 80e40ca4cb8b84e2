#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "app/SessionStore.h"
#include "runtime/CodePage.h"
#include "ui/main/HistoryChart.h"
#include "ui/settings/HistoryBox.h"

using namespace mofeng;

namespace {

app::Observation Seen(const char* day, std::string count, std::string yesterday) {
    app::Observation o;
    o.keyword = "k";
    o.day = day;
    o.figures = {std::move(count), std::move(yesterday), "", "", "", ""};
    return o;
}

std::vector<QLineSeries*> Named(QChart* chart, const QString& name) {
    std::vector<QLineSeries*> found;
    for (QAbstractSeries* series : chart->series()) {
        if (series->name() == name) {
            found.push_back(qobject_cast<QLineSeries*>(series));
        }
    }
    return found;
}

}  // namespace

class HistoryChartTest : public QObject {
    Q_OBJECT

private slots:
    // Days 1, 2 and 4: each figure's line breaks over day 3; a day without the
    // figure breaks it too; each figure is in the legend once.
    void GapsBreakEveryLineAndTheLegendNamesEachFigureOnce() {
        std::vector<app::Observation> seen = {Seen("2026-12-01", "100", "10"),
                                              Seen("2026-12-02", "110", ""),
                                              Seen("2026-12-04", "120", "30")};
        seen[0].market = {{runtime::Utf8ToGbk("搜索人气"), "1.2\xCD\xF2"},
                          {runtime::Utf8ToGbk("点击率"), "3%"}};  // a rate is not drawn
        QChartView view(ui::BuildHistoryChart(QStringLiteral("k"), seen));
        QChart* chart = view.chart();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const auto listing = Named(chart, QStringLiteral("宝贝数量"));
        QCOMPARE(listing.size(), std::size_t{2});
        QCOMPARE(listing[0]->count(), 2);
        QCOMPARE(listing[1]->count(), 1);
        QCOMPARE(Named(chart, QStringLiteral("昨日搜索指数")).size(), std::size_t{2});
        QCOMPARE(Named(chart, QStringLiteral("搜索人气")).size(), std::size_t{1});
        QVERIFY(Named(chart, QStringLiteral("点击率")).empty());
        QVERIFY(Named(chart, QStringLiteral("7天平均指数")).empty());
        int shown = 0;
        for (QLegendMarker* marker : chart->legend()->markers()) {
            shown += marker->isVisible() ? 1 : 0;
        }
        QCOMPARE(shown, 3);

        std::unique_ptr<QChart> empty(ui::BuildHistoryChart(QStringLiteral("k"), {}));
        QVERIFY(empty->series().isEmpty());
        QVERIFY(!empty->title().isEmpty());
    }

    void TheSettingsShowTheHistorySizeAndClearIt() {
        QTemporaryDir folder;
        const std::filesystem::path path =
            std::filesystem::path(folder.path().toStdString()) / "session.sqlite";
        ui::HistoryBox absent(path);  // no database yet: nothing to clear
        auto* clear = absent.findChild<QPushButton*>(QStringLiteral("clearHistory"));
        QVERIFY(clear != nullptr && !clear->isEnabled());
        {
            app::SessionStore::Opened opened{};
            auto store = app::SessionStore::OpenSession(path, opened);
            QVERIFY(store != nullptr);
            app::SessionBatch batch;
            batch.observations = {Seen("2026-12-01", "1", "1"), Seen("2026-12-02", "2", "2")};
            QVERIFY(store->Apply(batch));
        }
        ui::HistoryBox box(path);
        auto* size = box.findChild<QLabel*>(QStringLiteral("historySize"));
        QVERIFY(size->text().startsWith(QStringLiteral("2 条记录")));
        QVERIFY(box.Clear());
        QCOMPARE(size->text(), QStringLiteral("还没有记录"));
        QVERIFY(!box.findChild<QPushButton*>(QStringLiteral("clearHistory"))->isEnabled());
    }
};

QTEST_MAIN(HistoryChartTest)
#include "HistoryChartTest.moc"
