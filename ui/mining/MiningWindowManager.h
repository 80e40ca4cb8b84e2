#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <vector>

namespace mofeng::ui {

class AppContext;
class MainWindow;
class MiningWindow;

// Offset between the main window and a mining window, and between mining
// windows, in pixels.
inline constexpr int kMiningWindowStep = 24;

// Where a mining window of frame size opens when alreadyOpen others are
// open: offset from the main window's frame, kept on the screen's free area.
QPoint OpeningPosition(const QRect& mainFrame, int alreadyOpen, QSize size, const QRect& screen);

// The mining windows opened from one main window. Each Open() shows another,
// independent one (top-level, non-modal, deleted when closed). CloseAll()
// closes those still open, which stops their runs, so the program can end.
// UI thread only.
class MiningWindowManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MiningWindowManager)

public:
    MiningWindowManager(AppContext& context, MainWindow& mainWindow);

    MiningWindow* Open();
    void CloseAll();
    // The windows still open, oldest first.
    std::vector<MiningWindow*> OpenWindows() const;

private:
    AppContext& m_context;
    MainWindow& m_mainWindow;
    std::vector<QPointer<MiningWindow>> m_windows;
};

}  // namespace mofeng::ui
