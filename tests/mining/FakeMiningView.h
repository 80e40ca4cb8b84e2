#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "mining/MiningView.h"

namespace mofeng::mining::test {

// A mining window's controls as plain values. beforeMustContainRead runs
// before every must-contain read (the run's thread).
class FakeMiningView final : public MiningView {
public:
    FakeMiningView(std::string mustContain, int levelIndex)
        : mustContain(std::move(mustContain)), levelIndex(levelIndex) {}

    std::string MustContainText() override {
        if (beforeMustContainRead)
            beforeMustContainRead();
        return mustContain;
    }
    int LevelIndex() override { return levelIndex; }
    void SetStatusLabel(std::string text) override { label = std::move(text); }
    void SetProgressMaximum(int value) override { maximum = value; }
    void SetProgressPosition(int value) override { position = value; }
    int ProgressPosition() override { return position; }

    std::function<void()> beforeMustContainRead;
    std::string mustContain;
    int levelIndex;
    std::string label;
    int maximum = 0;
    int position = 0;
};

}  // namespace mofeng::mining::test
