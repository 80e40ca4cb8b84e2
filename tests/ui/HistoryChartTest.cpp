#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTest>

#include "runtime/CodePage.h"
#include "ui/main/HistoryChart.h"

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
};

QTEST_MAIN(HistoryChartTest)
#include "HistoryChartTest.moc"
