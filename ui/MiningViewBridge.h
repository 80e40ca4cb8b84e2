#pragma once

#include <QPointer>

#include <string>

#include "mining/MiningView.h"
#include "ui/UiThreadBridge.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QWidget;

namespace mofeng::ui {

// The mining window's controls as a run sees them. Any thread: on the UI
// thread a call runs at once; from a worker it is carried out on the UI
// thread while the worker waits. Once detached, or once the window is gone,
// reads give empty values ("", -1, 0) and writes do nothing.
class MiningViewBridge final : public mining::MiningView {
public:
    struct Controls {
        QLineEdit* mustContain = nullptr;  // 编辑框_关键词1
        QComboBox* levels = nullptr;       // 组合框1
        QLabel* status = nullptr;          // 标签_状态
        QProgressBar* progress = nullptr;  // 进度条1
    };

    // UI thread; window holds the controls.
    MiningViewBridge(QWidget* window, Controls controls);
    ~MiningViewBridge() override;
    MiningViewBridge(const MiningViewBridge&) = delete;
    MiningViewBridge& operator=(const MiningViewBridge&) = delete;

    // UI thread (the window closing): releases a worker waiting now.
    void Detach();

    std::string MustContainText() override;
    int LevelIndex() override;
    void SetStatusLabel(std::string text) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    int ProgressPosition() override;

private:
    // Runs work() on the UI thread; empty when that cannot happen.
    template <typename Result, typename Work>
    Result Run(Result empty, Work work);

    UiThreadBridge m_bridge;
    Controls m_controls;  // UI thread only
};

}  // namespace mofeng::ui
