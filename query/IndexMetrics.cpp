#include "query/IndexMetrics.h"

#include <array>

#include "runtime/NumberOps.h"

namespace mofeng::query {
namespace {

std::array<double, 7> DayNumbers(const TrendSeries& series) {
    std::array<double, 7> x{};
    for (std::size_t k = 0; k < x.size(); ++k) {
        x[k] = runtime::ToNumber(series.values[k]);
    }
    return x;
}

}  // namespace

TrendFigures ComputeTrendFigures(const TrendSeries& series) {
    const std::array<double, 7> x = DayNumbers(series);
    TrendFigures figures;

    double sum = 0;
    for (double value : x) {
        sum += value;
    }
    figures.average = runtime::ToText(runtime::FloorToInt(sum / 7.0));

    // Zero divisors are not guarded: a zero day makes the slope non-finite.
    double slope = 0;
    for (std::size_t k = 1; k < x.size(); ++k) {
        slope += (x[k] - x[k - 1]) / x[k];
    }
    figures.slope = runtime::FormatNumber(slope, 1, false);

    const std::int32_t difference =
        runtime::TruncateToInt32(x[6] - runtime::ToNumber(figures.average));
    const std::string_view mark =
        difference > 0 ? kTrendUp : (difference < 0 ? kTrendDown : kTrendFlat);
    figures.trend = runtime::ToText(static_cast<int>(difference));
    figures.trend += mark;
    return figures;
}

std::string CompetitionText(std::string_view averageText, std::int32_t count) {
    // Division before multiplication; a zero count gives inf, or NaN for a
    // zero average.
    const double multiple = runtime::ToNumber(averageText) / count * 10000;
    return runtime::FormatNumber(multiple, 0, false);
}

IndexMetrics ComputeIndexMetrics(const TrendSeries& series, std::int32_t count) {
    TrendFigures figures = ComputeTrendFigures(series);
    IndexMetrics metrics;
    metrics.yesterday = series.Yesterday();
    metrics.competition = CompetitionText(figures.average, count);
    metrics.average = std::move(figures.average);
    metrics.trend = std::move(figures.trend);
    metrics.slope = std::move(figures.slope);
    return metrics;
}

}  // namespace mofeng::query
