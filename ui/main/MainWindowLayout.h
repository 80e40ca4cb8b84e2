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

// Client area of the main window when it opens (below its menu bar and
// toolbar), and the smallest it can be made.
inline constexpr QRect kMainWindowGeometry{50, 50, 904, 468};
inline constexpr QSize kMainWindowMinimumSize{640, 345};
// Height of the status line under the list (MainStatusBar).
inline constexpr int kStatusLineHeight = 18;
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
    // Over the banner's ①②③ step texts: the same three commands.
    std::array<ClickArea*, 3> bannerSteps{};
};

// Creates the controls on window at their initial places, the list showing
// model with its columns' widths; later width changes by the user are
// recorded in the model. UI thread.
MainWindowControls CreateMainWindowControls(QWidget* window, KeywordListModel* model);

// Grows or shrinks the tab control, the list and the banner by what
// clientSize differs from the initial client size and keeps the hyperlink at
// the top right; the list reaches down to the status line at the bottom. Lower
// than the initial size, the banner is hidden and the list starts below the
// tab row.
// Otherwise everything is where CreateMainWindowControls put it.
void FitMainWindowControls(const MainWindowControls& controls, QSize clientSize);

}  // namespace mofeng::ui
