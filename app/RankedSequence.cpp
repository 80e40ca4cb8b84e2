#include "app/RankedSequence.h"

#include <algorithm>
#include <cmath>

namespace mofeng::app {

RankedSequence::RankedSequence(std::size_t expectedSize)
    : m_maxBlock(std::max<std::size_t>(
          512, static_cast<std::size_t>(2 * std::sqrt(static_cast<double>(expectedSize))))) {}

RankedSequence::Place RankedSequence::Locate(int position) const {
    if (position > m_size) {
        return {m_blocks.size() - 1, m_blocks.back().values.size()};
    }
    const auto it = std::lower_bound(m_ends.begin(), m_ends.end(), position);
    const auto block = static_cast<std::size_t>(it - m_ends.begin());
    const int before = block == 0 ? 0 : m_ends[block - 1];
    return {block, static_cast<std::size_t>(position - before - 1)};
}

double RankedSequence::ValueAt(int position) const {
    const Place place = Locate(position);
    return m_blocks[place.block].values[place.offset];
}

void RankedSequence::Insert(int position, double value, int row) {
    if (m_blocks.empty()) {
        m_blocks.emplace_back();
        m_ends.push_back(0);
    }
    const Place place = Locate(position);
    Block& block = m_blocks[place.block];
    block.values.insert(block.values.begin() + static_cast<std::ptrdiff_t>(place.offset), value);
    block.rows.insert(block.rows.begin() + static_cast<std::ptrdiff_t>(place.offset), row);
    for (std::size_t b = place.block; b < m_ends.size(); ++b) {
        ++m_ends[b];
    }
    ++m_size;
    if (block.values.size() > m_maxBlock) {
        SplitBlock(place.block);
    }
}

void RankedSequence::SplitBlock(std::size_t index) {
    Block& full = m_blocks[index];
    const std::size_t half = full.values.size() / 2;
    Block tail;
    tail.values.assign(full.values.begin() + static_cast<std::ptrdiff_t>(half), full.values.end());
    tail.rows.assign(full.rows.begin() + static_cast<std::ptrdiff_t>(half), full.rows.end());
    full.values.resize(half);
    full.rows.resize(half);
    const int end = m_ends[index];
    m_ends[index] = end - static_cast<int>(tail.values.size());
    m_blocks.insert(m_blocks.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(tail));
    m_ends.insert(m_ends.begin() + static_cast<std::ptrdiff_t>(index) + 1, end);
}

std::vector<int> RankedSequence::Rows() const {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(m_size));
    for (const Block& block : m_blocks) {
        rows.insert(rows.end(), block.rows.begin(), block.rows.end());
    }
    return rows;
}

}  // namespace mofeng::app
