#pragma once

#include <QRect>
#include <QSize>

#include <array>
#include <vector>

#include "columns/KeywordListSchema.h"
#include "ui/common/KeywordListModel.h"

class QLabel;
class QTabWidget;
class QTableView;
class QWidget;

namespace mofeng::ui {

class ClickArea;
class HyperlinkLabel;

// Client area of the main window when it opens.
inline constexpr QRect kMainWindowGeometry{50, 50, 904, 468};
// Height of the tab row: the pages start this far down inside the tab control.
inline constexpr int kTabRowHeight = 23;
// Column of the main list that holds the keyword.
inline constexpr int kKeywordColumn = columns::Index(columns::Column::Keyword);

// The main list's shown columns and its stored cells after them
// (app::KeywordListStorageColumns), with their initial widths; titles GBK.
std::vector<KeywordListModel::Column> MainListColumns();

// The controls of the main window, owned by the window.
struct MainWindowControls {
    QTabWidget* tabs = nullptr;              // 高级选择夹1: "首页", "指数查询"
    QLabel* homePicture = nullptr;           // 图片框2 on "首页"
    QLabel* banner = nullptr;                // 图片框1 on "指数查询"
    QTableView* list = nullptr;              // 超级列表框1 on "指数查询"
    HyperlinkLabel* tutorialLink = nullptr;  // 超级链接框1, on the window above the tab row
    // Over the home picture's three step cards: import, query, export.
    std::array<ClickArea*, 3> stepCards{};
};

// Creates the controls on window at their initial places, the list showing
// model with its columns' widths; later width changes by the user are
// recorded in the model. UI thread.
MainWindowControls CreateMainWindowControls(QWidget* window, KeywordListModel* model);

// Grows the tab control, the list and the banner by what clientSize exceeds
// the initial client size and keeps the hyperlink at the top right; a smaller
// window clips them instead. At the initial size everything is where
// CreateMainWindowControls put it.
void FitMainWindowControls(const MainWindowControls& controls, QSize clientSize);

}  // namespace mofeng::ui
