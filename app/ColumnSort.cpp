#include "app/ColumnSort.h"

#include <algorithm>
#include <cmath>

#include "app/CellDisplayText.h"
#include "app/MarketCells.h"
#include "app/RankedSequence.h"
#include "runtime/NumberOps.h"

namespace mofeng::app {
namespace {

// The search over keys 1..count; valueAt(p) gives key p.
template <class ValueAt>
int InsertPositionIn(int count, double x, const ValueAt& valueAt) {
    if (count == 0) {
        return 1;
    }
    if (x - valueAt(count) >= -kSortTolerance) {
        return count + 1;
    }
    if (x - valueAt(1) <= kSortTolerance) {
        return 1;
    }
    int lo = 1;
    int hi = count;
    while (lo < hi - 1) {
        const int mid = (lo + hi) / 2;
        const double y = valueAt(mid);
        if (std::fabs(x - y) <= kSortTolerance) {
            lo = mid;
            break;
        }
        if (x - y < -kSortTolerance) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return lo + 1;
}

// The binary-insertion pass over the keys sign * ToNumber(text), walked
// backwards.
std::vector<int> DescendingOrderOf(const std::vector<std::string>& columnTexts, double sign) {
    RankedSequence keys(columnTexts.size());
    for (std::size_t row = 0; row < columnTexts.size(); ++row) {
        const double x = sign * runtime::ToNumber(columnTexts[row]);
        const int position =
            InsertPositionIn(keys.Size(), x, [&](int p) { return keys.ValueAt(p); });
        keys.Insert(position, x, static_cast<int>(row));
    }
    std::vector<int> order = keys.Rows();
    std::reverse(order.begin(), order.end());
    return order;
}

}  // namespace

int FindInsertPosition(const std::vector<double>& keyValues, double x) {
    return InsertPositionIn(static_cast<int>(keyValues.size()), x,
                            [&](int p) { return keyValues[static_cast<std::size_t>(p - 1)]; });
}

std::vector<int> DescendingRowOrder(const std::vector<std::string>& columnTexts) {
    return DescendingOrderOf(columnTexts, 1.0);
}

std::vector<int> AscendingRowOrder(const std::vector<std::string>& columnTexts) {
    return DescendingOrderOf(columnTexts, -1.0);
}

bool HoldsNoFigure(std::string_view text) {
    return text.empty() || text == kNoFigureText || IsNonFiniteText(text);
}

std::vector<int> FiguresFirst(std::vector<int> order, const std::vector<std::string>& columnTexts) {
    std::stable_partition(order.begin(), order.end(), [&](int row) {
        return !HoldsNoFigure(columnTexts[static_cast<std::size_t>(row)]);
    });
    return order;
}

bool IsInOrder(const std::vector<std::string>& columnTexts, SortOrder order, bool figuresFirst) {
    const double sign = order == SortOrder::LargestFirst ? 1.0 : -1.0;
    bool missingSeen = false;
    double last = 0;
    bool any = false;
    for (const std::string& text : columnTexts) {
        if (figuresFirst && HoldsNoFigure(text)) {
            missingSeen = true;
            continue;
        }
        if (missingSeen) {
            return false;  // a figure after a row without one
        }
        const double x = sign * runtime::ToNumber(text);
        if (any && x - last > kSortTolerance) {
            return false;
        }
        last = x;
        any = true;
    }
    return true;
}

void SortByColumn(runtime::Table& table, int column, SortOrder order, bool figuresFirst) {
    // A market figure sorts by its middle.
    const std::vector<std::string> texts = SortKeyTexts(column, table.ColumnTexts(column));
    std::vector<int> rows =
        order == SortOrder::LargestFirst ? DescendingRowOrder(texts) : AscendingRowOrder(texts);
    table.ReorderRows(figuresFirst ? FiguresFirst(std::move(rows), texts) : std::move(rows));
}

}  // namespace mofeng::app
