#include "runtime/OrderedKeySet.h"

namespace mofeng::runtime {

bool OrderedKeySet::Add(std::string_view key) {
    std::lock_guard lock(m_mutex);
    if (m_index.contains(key)) {
        return false;
    }
    m_index.insert(m_keys.emplace_back(key));
    return true;
}

bool OrderedKeySet::Contains(std::string_view key) const {
    std::lock_guard lock(m_mutex);
    return m_index.contains(key);
}

std::vector<std::string> OrderedKeySet::Keys() const {
    std::lock_guard lock(m_mutex);
    return {m_keys.begin(), m_keys.end()};
}

std::size_t OrderedKeySet::Size() const {
    std::lock_guard lock(m_mutex);
    return m_keys.size();
}

}  // namespace mofeng::runtime
