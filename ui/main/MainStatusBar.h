#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTableView;
class QTimer;

namespace mofeng::ui {

class KeywordListModel;

// The line under the main list. Left: the last message (标签_状态行), which a
// run's progress (标签_查询进度) covers while it is shown. Right: how many rows
// the list holds, how many are selected and how many the view shows
// (标签_行数). The counts follow the list's signals, coalesced so a long
// import or a select-all recounts once per event-loop pass. UI thread only.
class MainStatusBar final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainStatusBar)

public:
    // On the list's parent; selectedCount gives the selected rows' count.
    MainStatusBar(QTableView& list, const KeywordListModel& model,
                  std::function<int()> selectedCount);

    QLabel& MessageLabel() { return *m_message; }
    QLabel& ProgressLabel() { return *m_progress; }
    QLabel& CountsLabel() { return *m_counts; }

    // "共 N 行 · 选中 N 行 · 显示 N 行"
    static QString CountsText(int rows, int selected, int shown);
    // Recounts now (otherwise done on the next event-loop pass after a change).
    void RecountNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ScheduleRecount();
    void Place();

    QTableView& m_list;
    const KeywordListModel& m_model;
    std::function<int()> m_selectedCount;
    QLabel* m_message = nullptr;
    QLabel* m_progress = nullptr;
    QLabel* m_counts = nullptr;
    QTimer* m_recount = nullptr;
};

}  // namespace mofeng::ui
