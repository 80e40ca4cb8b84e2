#include "ui/MiningViewBridge.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <utility>

#include "ui/GbkQt.h"

namespace mofeng::ui {

MiningViewBridge::MiningViewBridge(QWidget* window, Controls controls)
    : m_bridge(window), m_controls(controls) {}

MiningViewBridge::~MiningViewBridge() {
    m_bridge.Detach();
}

void MiningViewBridge::Detach() {
    m_bridge.Detach();
}

template <typename Result, typename Work>
Result MiningViewBridge::Run(Result empty, Work work) {
    if (m_bridge.OnTargetThread()) {
        return m_bridge.Target() ? work() : empty;
    }
    auto result = std::make_shared<Result>(empty);
    const bool done = m_bridge.PostAndWait(
        [result, work = std::move(work)](QObject&, const UiThreadBridge::Completion& completion) {
            *result = work();
            completion.Finish();
        });
    return done ? std::move(*result) : empty;
}

std::string MiningViewBridge::MustContainText() {
    return Run(std::string(), [this] { return ToGbk(m_controls.mustContain->text()); });
}

int MiningViewBridge::LevelIndex() {
    return Run(-1, [this] { return m_controls.levels->currentIndex(); });
}

void MiningViewBridge::SetStatusLabel(std::string text) {
    Run(false, [this, text = std::move(text)] {
        m_controls.status->setText(FromGbk(text));
        return true;
    });
}

void MiningViewBridge::SetProgressMaximum(int maximum) {
    Run(false, [this, maximum] {
        // A range of 0..0 would make the bar a busy indicator; an empty level
        // shows an empty bar instead.
        m_controls.progress->setRange(0, std::max(maximum, 1));
        return true;
    });
}

void MiningViewBridge::SetProgressPosition(int position) {
    Run(false, [this, position] {
        m_controls.progress->setValue(position);
        return true;
    });
}

int MiningViewBridge::ProgressPosition() {
    return Run(0, [this] { return std::max(m_controls.progress->value(), 0); });
}

}  // namespace mofeng::ui
