#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace mofeng::runtime {
class Table;
}

namespace mofeng::ui {

class AppContext;
class KeywordListModel;
class MiningWindow;

// Offset between the main window and a mining window, and between mining
// windows, in pixels.
inline constexpr int kMiningWindowStep = 24;

// Where a mining window of frame size opens when alreadyOpen others are
// open: offset from the main window's frame, kept on the screen's free area.
QPoint OpeningPosition(const QRect& mainFrame, int alreadyOpen, QSize size, const QRect& screen);

// The mining windows opened from one main window. Each Open() shows another,
// independent one (top-level, non-modal, deleted when closed), placed from
// the main window's frame; its "传送至主窗口" appends to mainList. CloseAll()
// closes those still open, which stops their runs, so the program can end.
// UI thread only.
class MiningWindowManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MiningWindowManager)

public:
    // A child of mainWindow, whose list mainList is.
    MiningWindowManager(AppContext& context, runtime::Table& mainList, QWidget& mainWindow);

    MiningWindow* Open();
    void CloseAll();
    // The windows still open, oldest first.
    std::vector<MiningWindow*> OpenWindows() const;

signals:
    // A window opened; its list, before the window shows.
    void ListOpened(KeywordListModel& miningList);
    // For the main window's status message.
    void StatusMessage(const QString& text);

private:
    AppContext& m_context;
    runtime::Table& m_mainList;
    QWidget& m_mainWindow;
    std::vector<QPointer<MiningWindow>> m_windows;
};

}  // namespace mofeng::ui
