#pragma once

#include <QRect>

#include <vector>

#include "ui/common/KeywordListModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QWidget;

namespace mofeng::ui {

// Client area of a mining window when it opens.
inline constexpr QRect kMiningWindowGeometry{50, 50, 448, 347};

// The mining list's columns ("序号", "关键词", "联想热度") with their widths.
std::vector<KeywordListModel::Column> MiningListModelColumns();

// The controls of a mining window, owned by the window; each carries its
// name as objectName.
struct MiningWindowControls {
    QLabel* banner = nullptr;          // 图片框1
    QLabel* seedCaption = nullptr;     // 标签1 "关键词："
    QLineEdit* seed = nullptr;         // 编辑框_关键词
    QLabel* mustCaption = nullptr;     // 标签2 "必须包含："
    QLineEdit* mustContain = nullptr;  // 编辑框_关键词1
    QComboBox* levels = nullptr;       // 组合框1, "三级淘词" selected
    QPushButton* start = nullptr;      // 按钮_一键淘词 "开始淘词"
    QTableView* list = nullptr;        // 超级列表框1, showing the weights rounded
    QLabel* status = nullptr;          // 标签_状态 "第一级："
    QProgressBar* progress = nullptr;  // 进度条1
    QLabel* counts = nullptr;          // runCounts: the run's counts, then its final line
};

// Creates the controls on window at their places for the initial size, the
// list showing model. UI thread.
MiningWindowControls CreateMiningWindowControls(QWidget* window, KeywordListModel* model);

// Places the controls for a client area of size: the list takes what the
// window grows by, the line under it keeps to the bottom and stretches; the
// controls above the list stay put. At kMiningWindowGeometry's size every
// control is where CreateMiningWindowControls put it. UI thread.
void LayOutMiningWindow(const MiningWindowControls& controls, QSize size);

}  // namespace mofeng::ui
