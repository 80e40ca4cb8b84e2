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

// Opens the settings over the paused window; reask() when they have closed.
using OpenSettingsForPause = std::function<void(std::function<void()> reask)>;

// "继续" / "停止" after `streak` rows (or expansions) in a row were blocked:
// a window-modal box over parent saying that Taobao asks for a login or
// verification, and that a cookie can be given in 设置. It returns at once;
// answered(true) follows 继续, answered(false) 停止 or any other close of the
// box (which deletes itself). With openSettings the box also offers "设置…":
// it closes without an answer, the settings open, and the same question is
// asked again in a new box when they close (not if parent has gone by then).
// UI thread only.
QMessageBox* AskResumeAfterBlocked(QWidget* parent, int streak, std::function<void(bool)> answered,
                                   OpenSettingsForPause openSettings = {});

}  // namespace mofeng::ui
