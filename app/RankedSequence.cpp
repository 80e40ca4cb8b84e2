#include "app/RankedSequence.h"

namespace mofeng::app {

RankedSequence::RankedSequence(std::size_t capacity) {
    m_nodes.reserve(capacity);
}

double RankedSequence::ValueAt(int position) const {
    int node = m_root;
    while (node >= 0) {
        const Node& n = At(node);
        const int leftSize = SizeOf(n.left);
        if (position <= leftSize) {
            node = n.left;
        } else if (position == leftSize + 1) {
            return n.value;
        } else {
            position -= leftSize + 1;
            node = n.right;
        }
    }
    return 0.0;  // out of range; callers never ask
}

void RankedSequence::Insert(int position, double value, int row) {
    m_nodes.push_back(Node{value, row, NextPriority()});
    m_root = InsertInto(m_root, position, static_cast<int>(m_nodes.size()) - 1);
}

int RankedSequence::InsertInto(int tree, int position, int node) {
    if (tree < 0) {
        return node;
    }
    if (At(node).priority > At(tree).priority) {
        int first = -1;
        int rest = -1;
        Split(tree, position - 1, first, rest);
        Node& n = At(node);
        n.left = first;
        n.right = rest;
        n.size = SizeOf(first) + SizeOf(rest) + 1;
        return node;
    }
    Node& t = At(tree);
    ++t.size;
    const int leftSize = SizeOf(t.left);
    if (position <= leftSize + 1) {
        const int left = InsertInto(t.left, position, node);
        At(tree).left = left;
    } else {
        const int right = InsertInto(t.right, position - leftSize - 1, node);
        At(tree).right = right;
    }
    return tree;
}

void RankedSequence::Split(int tree, int count, int& first, int& rest) {
    if (tree < 0) {
        first = rest = -1;
        return;
    }
    Node& t = At(tree);
    const int leftSize = SizeOf(t.left);
    if (count <= leftSize) {
        int leftRest = -1;
        Split(t.left, count, first, leftRest);
        Node& u = At(tree);
        u.left = leftRest;
        u.size = SizeOf(u.left) + SizeOf(u.right) + 1;
        rest = tree;
    } else {
        int rightFirst = -1;
        Split(t.right, count - leftSize - 1, rightFirst, rest);
        Node& u = At(tree);
        u.right = rightFirst;
        u.size = SizeOf(u.left) + SizeOf(u.right) + 1;
        first = tree;
    }
}

std::vector<int> RankedSequence::Rows() const {
    std::vector<int> rows;
    rows.reserve(m_nodes.size());
    std::vector<int> stack;
    int node = m_root;
    while (node >= 0 || !stack.empty()) {
        while (node >= 0) {
            stack.push_back(node);
            node = At(node).left;
        }
        node = stack.back();
        stack.pop_back();
        rows.push_back(At(node).row);
        node = At(node).right;
    }
    return rows;
}

std::uint32_t RankedSequence::NextPriority() {
    // splitmix64
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

}  // namespace mofeng::app
