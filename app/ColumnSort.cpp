#include "app/ColumnSort.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

int FindInsertPosition(const std::vector<double>& keyValues, double x) {
    return InsertPositionIn(static_cast<int>(keyValues.size()), x,
                            [&](int p) { return keyValues[static_cast<std::size_t>(p - 1)]; });
}

std::vector<int> DescendingRowOrder(const std::vector<std::string>& columnTexts) {
    RankedSequence keys(columnTexts.size());
    for (std::size_t row = 0; row < columnTexts.size(); ++row) {
        const double x = runtime::ToNumber(columnTexts[row]);
        const int position =
            InsertPositionIn(keys.Size(), x, [&](int p) { return keys.ValueAt(p); });
        keys.Insert(position, x, static_cast<int>(row));
    }
    std::vector<int> order = keys.Rows();
    std::reverse(order.begin(), order.end());
    return order;
}

void SortByColumn(runtime::Table& table, int column) {
    table.ReorderRows(DescendingRowOrder(table.ColumnTexts(column)));
}

}  // namespace mofeng::app
