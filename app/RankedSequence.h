#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mofeng::app {

// A sequence of (value, row) entries that takes an insertion at any position
// and reads the value at any position in O(log n) expected time (an implicit
// treap: nodes ordered by position, not by value). Positions are 1-based.
// Priorities come from a fixed seed, so runs are repeatable.
class RankedSequence final {
public:
    explicit RankedSequence(std::size_t capacity = 0);

    int Size() const { return SizeOf(m_root); }

    // Value of entry position, 1 <= position <= Size().
    double ValueAt(int position) const;

    // The new entry becomes entry position (1 <= position <= Size() + 1);
    // entries from position on move up by one.
    void Insert(int position, double value, int row);

    // Rows of all entries, first to last.
    std::vector<int> Rows() const;

private:
    struct Node {
        double value;
        int row;
        std::uint32_t priority;
        int left = -1;
        int right = -1;
        int size = 1;
    };

    int SizeOf(int node) const {
        return node < 0 ? 0 : m_nodes[static_cast<std::size_t>(node)].size;
    }
    Node& At(int node) { return m_nodes[static_cast<std::size_t>(node)]; }
    const Node& At(int node) const { return m_nodes[static_cast<std::size_t>(node)]; }
    // Splits tree into its first count entries and the rest.
    void Split(int tree, int count, int& first, int& rest);
    int InsertInto(int tree, int position, int node);
    std::uint32_t NextPriority();

    std::vector<Node> m_nodes;
    int m_root = -1;
    std::uint64_t m_state = 0x9E3779B97F4A7C15ULL;
};

}  // namespace mofeng::app
