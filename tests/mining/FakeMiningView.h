#pragma once

#include <functional>
#include <string>

#include "mining/MiningInputs.h"
#include "mining/MiningSink.h"

namespace mofeng::mining::test {

// A mining window's controls as plain values: the inputs a run reads and the
// label and bar it writes. beforeMustContainRead runs before every
// must-contain read (the judging thread).
class FakeMiningView final : public MiningInputs {
public:
    FakeMiningView(std::string mustContain, int levelIndex)
        : mustContain(std::move(mustContain)), levelIndex(levelIndex) {}

    std::string MustContainText() const override {
        if (beforeMustContainRead) {
            beforeMustContainRead();
        }
        return mustContain;
    }
    int LevelIndex() const override { return levelIndex; }

    std::function<void()> beforeMustContainRead;
    std::string mustContain;
    int levelIndex;
    std::string label;
    int maximum = 0;
    int position = 0;
};

// Rows into a table, label and bar into a FakeMiningView.
class ViewSink final : public TableMiningSink {
public:
    ViewSink(runtime::Table& list, FakeMiningView& view, MiningObserver* observer = nullptr)
        : TableMiningSink(list, observer), m_view(view) {}

    void SetStatusLabel(const std::string& text) override { m_view.label = text; }
    void SetProgress(int position, int maximum) override {
        m_view.position = position;
        m_view.maximum = maximum;
    }

private:
    FakeMiningView& m_view;
};

}  // namespace mofeng::mining::test
