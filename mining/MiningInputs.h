#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/TextOps.h"

namespace mofeng::mining {

// What a mining run reads live while it proceeds: the must-contain text for
// every candidate and the level index after levels 1 and 2. Any thread; a
// read never waits for the UI thread. Texts are GBK.
class MiningInputs {
public:
    virtual ~MiningInputs() = default;
    virtual std::string MustContainText() const = 0;
    // Selected level: 0 one level, 1 two levels, 2 three levels, -1 none.
    virtual int LevelIndex() const = 0;
    // Whether candidate (GBK) holds one of the exclude words, matched as the
    // must-contain text is. None by default.
    virtual bool HoldsExcludedWord(std::string_view candidate) const { return false; }
};

// A copy of the mining window's must-contain edit, level list and exclude
// words that the window keeps current as the user changes them (or fixed
// values, for the command line). Thread-safe.
class LiveMiningInputs final : public MiningInputs {
public:
    LiveMiningInputs(std::string mustContain = {}, int levelIndex = -1)
        : m_mustContain(std::move(mustContain)), m_levelIndex(levelIndex) {}

    std::string MustContainText() const override {
        std::lock_guard lock(m_mutex);
        return m_mustContain;
    }
    int LevelIndex() const override { return m_levelIndex.load(std::memory_order_acquire); }

    void SetMustContainText(std::string text) {
        std::lock_guard lock(m_mutex);
        m_mustContain = std::move(text);
    }
    void SetLevelIndex(int index) { m_levelIndex.store(index, std::memory_order_release); }

    bool HoldsExcludedWord(std::string_view candidate) const override {
        std::lock_guard lock(m_mutex);
        for (const std::string& word : m_excludeWords) {
            if (!word.empty() && runtime::TextFind(candidate, word) != -1) {
                return true;
            }
        }
        return false;
    }
    // GBK words; empty ones never match.
    void SetExcludeWords(std::vector<std::string> words) {
        std::lock_guard lock(m_mutex);
        m_excludeWords = std::move(words);
    }

private:
    mutable std::mutex m_mutex;
    std::string m_mustContain;                // guarded by m_mutex
    std::vector<std::string> m_excludeWords;  // guarded by m_mutex
    std::atomic<int> m_levelIndex;
};

}  // namespace mofeng::mining
