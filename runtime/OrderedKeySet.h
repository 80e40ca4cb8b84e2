#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace mofeng::runtime {

// A set of text keys that keeps insertion order and refuses a key it already
// holds (byte-exact comparison; "a" and "A" are different keys; the empty
// key is an ordinary key). Add is O(1) on average. Safe for concurrent use:
// every member takes the set's lock.
class OrderedKeySet {
public:
    // True when the key was new and has been appended.
    bool Add(std::string_view key);
    bool Contains(std::string_view key) const;
    // Copies of all keys in insertion order.
    std::vector<std::string> Keys() const;
    std::size_t Size() const;

private:
    mutable std::mutex m_mutex;
    std::deque<std::string> m_keys;  // insertion order; a deque never moves its elements
    std::unordered_set<std::string_view> m_index;  // views into m_keys
};

}  // namespace mofeng::runtime
