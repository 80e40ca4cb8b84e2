#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "mining/MiningView.h"

namespace mofeng::mining::test {

// A mining window's controls as plain values; any thread.
class FakeMiningView final : public MiningView {
public:
    explicit FakeMiningView(std::string mustContain = {}, int levelIndex = 2)
        : m_mustContain(std::move(mustContain)), m_levelIndex(levelIndex) {}

    // Called (without the lock) before every must-contain read.
    std::function<void()> beforeMustContainRead;

    std::string MustContainText() override {
        if (beforeMustContainRead) {
            beforeMustContainRead();
        }
        std::lock_guard lock(m_mutex);
        return m_mustContain;
    }
    int LevelIndex() override {
        std::lock_guard lock(m_mutex);
        return m_levelIndex;
    }
    void SetStatusLabel(std::string text) override {
        std::lock_guard lock(m_mutex);
        m_labels.push_back(std::move(text));
    }
    void SetProgressMaximum(int maximum) override {
        std::lock_guard lock(m_mutex);
        m_maximum = maximum;
    }
    void SetProgressPosition(int position) override {
        std::lock_guard lock(m_mutex);
        m_position = position;
    }
    int ProgressPosition() override {
        std::lock_guard lock(m_mutex);
        return m_position;
    }

    void SetMustContain(std::string text) {
        std::lock_guard lock(m_mutex);
        m_mustContain = std::move(text);
    }
    std::vector<std::string> Labels() {
        std::lock_guard lock(m_mutex);
        return m_labels;
    }
    std::string Label() {
        std::lock_guard lock(m_mutex);
        return m_labels.empty() ? std::string() : m_labels.back();
    }
    int Maximum() {
        std::lock_guard lock(m_mutex);
        return m_maximum;
    }

private:
    std::mutex m_mutex;
    std::string m_mustContain;
    int m_levelIndex;
    std::vector<std::string> m_labels;
    int m_maximum = 0;
    int m_position = 0;
};

}  // namespace mofeng::mining::test
