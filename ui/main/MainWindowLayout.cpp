#include "ui/main/MainWindowLayout.h"

#include <QLabel>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>

#include "app/KeywordListColumns.h"
#include "ui/common/HyperlinkLabel.h"
#include "ui/common/ReportListView.h"
#include "ui/common/UiFonts.h"
#include "ui/main/TrendSparklineDelegate.h"

namespace mofeng::ui {
namespace {

constexpr QRect kTabControlRect{0, 0, 976, 512};
// Page-relative places: the page starts kTabRowHeight below the tab control's top.
constexpr QRect kHomePictureRect{0, 0, 905, 424};
constexpr QRect kBannerRect{-48, 0, 960, 90};
constexpr QRect kListRect{1, 113 - kTabRowHeight, 887, 303};
constexpr QRect kTutorialLinkRect{819, 0, 72, 20};

// A tab row of a fixed height, whatever the style would make it.
class FixedHeightTabBar final : public QTabBar {
public:
    explicit FixedHeightTabBar(int height) : m_height(height) {}

protected:
    QSize tabSizeHint(int index) const override {
        return {std::max(QTabBar::tabSizeHint(index).width(), 64), m_height};
    }

private:
    int m_height;
};

class TabControl final : public QTabWidget {
public:
    explicit TabControl(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new FixedHeightTabBar(kTabRowHeight));
        setDocumentMode(true);  // no frame: pages start right below the tab row
        tabBar()->setExpanding(false);
        tabBar()->setDrawBase(false);
    }
};

QWidget* AddPage(QTabWidget* tabs, const QString& title) {
    auto* page = new QWidget;
    page->setObjectName(title);
    tabs->addTab(page, title);
    return page;
}

QLabel* AddPicture(QWidget* page, const QString& name, const QString& resource, QRect rect) {
    auto* picture = new QLabel(page);
    picture->setObjectName(name);
    picture->setPixmap(QPixmap(resource));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setGeometry(rect);
    return picture;
}

}  // namespace

std::vector<KeywordListModel::Column> MainListColumns() {
    std::vector<KeywordListModel::Column> result;
    for (const auto& [title, width] : app::KeywordListStorageColumns()) {
        result.push_back({title, width});
    }
    return result;
}

MainWindowControls CreateMainWindowControls(QWidget* window, KeywordListModel* model) {
    MainWindowControls controls;
    controls.tabs = new TabControl(window);
    controls.tabs->setObjectName(QStringLiteral("高级选择夹1"));
    controls.tabs->setFont(TabControlFont());
    controls.tabs->setGeometry(kTabControlRect);

    QWidget* homePage = AddPage(controls.tabs, QStringLiteral("首页"));
    controls.homePicture = AddPicture(homePage, QStringLiteral("图片框2"),
                                      QStringLiteral(":/home.jpg"), kHomePictureRect);

    QWidget* indexPage = AddPage(controls.tabs, QStringLiteral("指数查询"));
    controls.banner = AddPicture(indexPage, QStringLiteral("图片框1"),
                                 QStringLiteral(":/index_banner.gif"), kBannerRect);
    controls.list =
        CreateReportListView(indexPage, model, QStringLiteral("超级列表框1"), kListRect);
    // Column 5, 指数趋势: the row's seven days drawn beside the trend.
    controls.list->setItemDelegateForColumn(5, new TrendSparklineDelegate(controls.list));

    controls.tutorialLink = new HyperlinkLabel(QStringLiteral("视频教程"), window);
    controls.tutorialLink->setObjectName(QStringLiteral("超级链接框1"));
    controls.tutorialLink->setGeometry(kTutorialLinkRect);
    controls.tutorialLink->raise();  // above the tab row
    return controls;
}

void FitMainWindowControls(const MainWindowControls& controls, QSize clientSize) {
    const int extraWidth = std::max(0, clientSize.width() - kMainWindowGeometry.width());
    const int extraHeight = std::max(0, clientSize.height() - kMainWindowGeometry.height());
    controls.tabs->setGeometry(kTabControlRect.adjusted(0, 0, extraWidth, extraHeight));
    controls.list->setGeometry(kListRect.adjusted(0, 0, extraWidth, extraHeight));
}

}  // namespace mofeng::ui
