#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

class QMessageBox;
class QWidget;

namespace mofeng::ui {

// The answer a paused run's worker waits for: given once by the UI thread
// (继续 or 停止), or given as 停止 when the run is stopped or its window goes,
// so the worker is never left waiting. Thread-safe.
class PauseAnswer {
public:
    // Worker: blocks until Give; true to resume. Clears the answer for the
    // next pause.
    bool Wait();
    // Any thread; a second answer before Wait returns is ignored.
    void Give(bool resume);

private:
    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::optional<bool> m_resume;
};

// "继续" / "停止" after `streak` rows in a row were blocked: a window-modal
// box over parent saying that Taobao asks for a login or verification. It
// returns at once; answered(true) follows 继续, answered(false) 停止 or any
// other close of the box (which deletes itself). UI thread only.
QMessageBox* AskResumeAfterBlocked(QWidget* parent, int streak, std::function<void(bool)> answered);

}  // namespace mofeng::ui
