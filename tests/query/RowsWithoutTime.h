#pragma once

#include <cstddef>

#include "columns/KeywordListSchema.h"
#include "runtime/Table.h"

namespace mofeng::query {

// row without when its figures arrived: what two runs of the same lookups
// agree on.
inline runtime::Row WithoutFiguresTime(runtime::Row row) {
    const auto time = static_cast<std::size_t>(columns::Index(columns::Column::FiguresTime));
    if (row.size() > time) {
        row[time].clear();
    }
    return row;
}

}  // namespace mofeng::query
