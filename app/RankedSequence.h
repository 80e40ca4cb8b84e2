#pragma once

#include <cstddef>
#include <vector>

namespace mofeng::app {

// A sequence of (value, row) entries that takes an insertion at any position
// and reads the value at any position quickly: entries live in blocks of at
// most B entries, found by binary search in the running totals of the block
// sizes, so a read costs O(log(n / B)) and an insertion O(B + n / B).
// B grows with the expected size (about 2·sqrt(n), at least 512).
// Positions are 1-based.
class RankedSequence final {
public:
    explicit RankedSequence(std::size_t expectedSize = 0);

    int Size() const { return m_size; }

    // Value of entry position, 1 <= position <= Size().
    double ValueAt(int position) const;

    // The new entry becomes entry position (1 <= position <= Size() + 1);
    // entries from position on move up by one.
    void Insert(int position, double value, int row);

    // Rows of all entries, first to last.
    std::vector<int> Rows() const;

private:
    struct Block {
        std::vector<double> values;
        std::vector<int> rows;
    };
    struct Place {
        std::size_t block;
        std::size_t offset;  // 0-based inside the block
    };

    // Where entry position lives; position Size() + 1 maps past the last block's end.
    Place Locate(int position) const;
    void SplitBlock(std::size_t block);

    std::size_t m_maxBlock;
    std::vector<Block> m_blocks;
    std::vector<int> m_ends;  // m_ends[b]: entries in blocks 0..b
    int m_size = 0;
};

}  // namespace mofeng::app
