#include "ui/main/HistoryChart.h"

#include <QChart>
#include <QDate>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/MarketFigures.h"
#include "runtime/NumberOps.h"
#include "ui/common/GbkQt.h"

namespace mofeng::ui {
namespace {

// One figure over the days: its value on a day, when it has one.
struct Figure {
    QString name;
    QColor color;
    bool listing = false;  // 宝贝数量: the right axis
    std::vector<std::pair<QDate, double>> points;
};

std::optional<double> Number(const std::string& text) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())))) {
        return std::nullopt;
    }
    return runtime::ToNumber(text);
}

// The market kinds that count people or trade, drawn beside the index.
bool IsDemandKind(app::MarketKind kind) {
    using app::MarketKind;
    return kind == MarketKind::SearchPopularity || kind == MarketKind::SearchHeat ||
           kind == MarketKind::ClickPopularity || kind == MarketKind::ClickHeat ||
           kind == MarketKind::TradeIndex || kind == MarketKind::PayingBuyers;
}

std::vector<Figure> Figures(const std::vector<app::Observation>& observations) {
    static const QColor kPalette[] = {{0x2a, 0x6f, 0xb0}, {0x3d, 0x9a, 0x5b}, {0x8e, 0x5b, 0xb5},
                                      {0xd4, 0x8a, 0x1c}, {0x1c, 0x9c, 0xa8}, {0x7a, 0x7a, 0x7a}};
    std::vector<Figure> figures = {
        {QStringLiteral("宝贝数量"), QColor(0xc8, 0x55, 0x3d), true, {}},
        {QStringLiteral("昨日搜索指数"), kPalette[0], false, {}},
        {QStringLiteral("7天平均指数"), kPalette[1], false, {}},
    };
    const auto figureNamed = [&](const QString& name) -> Figure& {
        for (Figure& figure : figures) {
            if (figure.name == name) {
                return figure;
            }
        }
        const QColor color = kPalette[(figures.size() - 1) % std::size(kPalette)];
        figures.push_back({name, color, false, {}});
        return figures.back();
    };
    for (const app::Observation& o : observations) {
        const QDate day = QDate::fromString(QString::fromLatin1(o.day), Qt::ISODate);
        for (std::size_t i = 0; i < 3 && i < o.figures.size(); ++i) {
            if (const auto value = Number(o.figures[i])) {
                figures[i].points.emplace_back(day, *value);
            }
        }
        for (const auto& [caption, text] : o.market) {
            const auto kind = app::MarketKindOfHeader(caption);
            const auto value = app::ParseMarketValue(text);
            if (kind && IsDemandKind(*kind) && value) {
                figureNamed(FromGbk(caption)).points.emplace_back(day, value->Middle());
            }
        }
    }
    std::erase_if(figures, [](const Figure& f) { return f.points.empty(); });
    return figures;
}

double Msecs(QDate day) {
    return static_cast<double>(day.startOfDay().toMSecsSinceEpoch());
}

}  // namespace

QChart* BuildHistoryChart(const QString& keyword,
                          const std::vector<app::Observation>& observations) {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    const std::vector<Figure> figures = Figures(observations);
    if (figures.empty()) {
        chart->setTitle(
            QStringLiteral("%1：还没有记录过的日子（查询一次后开始记录）").arg(keyword));
        return chart;
    }
    chart->setTitle(QStringLiteral("%1：%2 个记录日").arg(keyword).arg(observations.size()));

    auto* dateAxis = new QDateTimeAxis;
    dateAxis->setFormat(QStringLiteral("MM-dd"));
    auto* demandAxis = new QValueAxis;
    demandAxis->setLabelFormat(QStringLiteral("%.0f"));
    auto* listingAxis = new QValueAxis;
    listingAxis->setLabelFormat(QStringLiteral("%.0f"));
    listingAxis->setTitleText(QStringLiteral("宝贝数量"));
    chart->addAxis(dateAxis, Qt::AlignBottom);
    chart->addAxis(demandAxis, Qt::AlignLeft);
    chart->addAxis(listingAxis, Qt::AlignRight);

    QDate first = QDate::fromString(QString::fromLatin1(observations.front().day), Qt::ISODate);
    QDate last = QDate::fromString(QString::fromLatin1(observations.back().day), Qt::ISODate);
    double demandHigh = 0;
    double listingLow = -1;
    double listingHigh = 0;
    bool anyDemand = false;
    for (const Figure& figure : figures) {
        // One line per run of consecutive days; a lone day is a dot.
        QLineSeries* segment = nullptr;
        QDate previous;
        bool named = false;
        const auto attach = [&](QXYSeries* series) {
            chart->addSeries(series);
            series->attachAxis(dateAxis);
            series->attachAxis(figure.listing ? listingAxis : demandAxis);
            if (named) {
                for (QLegendMarker* marker : chart->legend()->markers(series)) {
                    marker->setVisible(false);
                }
            }
            series->setName(figure.name);
            named = true;
        };
        for (std::size_t i = 0; i < figure.points.size(); ++i) {
            const auto& [day, value] = figure.points[i];
            if (segment == nullptr || previous.daysTo(day) != 1) {
                segment = new QLineSeries;
                segment->setPen(QPen(figure.color, figure.listing ? 2.4 : 1.8));
                segment->setPointsVisible(true);
                attach(segment);
            }
            segment->append(Msecs(day), value);
            previous = day;
            if (figure.listing) {
                listingLow = listingLow < 0 ? value : std::min(listingLow, value);
                listingHigh = std::max(listingHigh, value);
            } else {
                demandHigh = std::max(demandHigh, value);
                anyDemand = true;
            }
        }
    }
    // A single day still gets a span to stand in.
    dateAxis->setRange(first.addDays(-1).startOfDay(), last.addDays(1).startOfDay());
    dateAxis->setTickCount(std::clamp(static_cast<int>(first.daysTo(last)) + 3, 3, 9));
    demandAxis->setRange(0, demandHigh > 0 ? demandHigh * 1.15 : 1);
    demandAxis->applyNiceNumbers();
    demandAxis->setVisible(anyDemand);
    if (listingHigh > 0) {
        const double margin = std::max((listingHigh - listingLow) * 0.3, listingHigh * 0.02);
        listingAxis->setRange(std::max(0.0, listingLow - margin), listingHigh + margin);
        listingAxis->applyNiceNumbers();
    } else {
        listingAxis->setVisible(false);
    }
    return chart;
}

}  // namespace mofeng::ui
