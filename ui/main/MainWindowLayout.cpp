#include "ui/main/MainWindowLayout.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <utility>

#include "app/KeywordListColumns.h"
#include "ui/common/ClickArea.h"
#include "ui/common/GbkQt.h"
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
// What the window definition leaves under the list above the status line
// (the definition's height counts the frame): the list takes it.
constexpr int kUnderList = kMainWindowGeometry.height() - 113 - 303 - kStatusLineHeight;
constexpr QRect kTutorialLinkRect{819, 0, 72, 20};
// The step cards drawn on the home picture, picture-relative.
constexpr std::array<QRect, 3> kStepCardRects{
    {{72, 236, 221, 75}, {342, 236, 221, 75}, {612, 236, 221, 75}}};
// The ①②③ step texts drawn on the banner, banner-relative.
constexpr std::array<QRect, 3> kBannerStepRects{
    {{324, 18, 118, 24}, {464, 18, 132, 24}, {620, 18, 156, 24}}};

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

// A picture whose label may be wider than the picture: the extra width
// carries on the colours of the picture's right edge (averaged over a strip
// and a few lines, so a dithered edge does not become stripes), so a banner
// drawn to fade out at its right simply goes on.
class StretchingPicture final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        const QPixmap picture = pixmap();
        if (picture.isNull() || width() <= picture.width()) {
            QLabel::paintEvent(event);
            return;
        }
        if (m_edge.isNull() || m_edgeOf != picture.cacheKey()) {
            m_edge = EdgeColumn(picture.toImage());
            m_edgeOf = picture.cacheKey();
        }
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture);
        painter.drawImage(QRect(picture.width(), 0, width() - picture.width(), picture.height()),
                          m_edge);
    }

private:
    static QImage EdgeColumn(const QImage& source) {
        constexpr int kStrip = 16;
        constexpr int kLines = 3;
        const QImage image = source.convertToFormat(QImage::Format_ARGB32);
        QImage column(1, image.height(), QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            long r = 0, g = 0, b = 0, a = 0, n = 0;
            for (int dy = -kLines; dy <= kLines; ++dy) {
                const int line = std::clamp(y + dy, 0, image.height() - 1);
                for (int x = std::max(0, image.width() - kStrip); x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, line);
                    r += qRed(pixel);
                    g += qGreen(pixel);
                    b += qBlue(pixel);
                    a += qAlpha(pixel);
                    ++n;
                }
            }
            column.setPixel(0, y, qRgba(int(r / n), int(g / n), int(b / n), int(a / n)));
        }
        return column;
    }

    mutable QImage m_edge;
    qint64 m_edgeOf = 0;
};

QWidget* AddPage(QTabWidget* tabs, const QString& title) {
    auto* page = new QWidget;
    page->setObjectName(title);
    tabs->addTab(page, title);
    return page;
}

QLabel* AddPicture(QWidget* page, const QString& name, const QString& resource, QRect rect,
                   QLabel* picture = nullptr) {
    if (picture == nullptr) {
        picture = new QLabel(page);
    }
    picture->setObjectName(name);
    picture->setPixmap(QPixmap(resource));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setGeometry(rect);
    return picture;
}

// The header tooltip of an optional column.
QString OptionalColumnHelp(const columns::ColumnInfo& info) {
    if (!info.optional) {
        return {};
    }
    const QString caption = FromGbk(info.caption);
    switch (info.column) {
        case columns::Column::ListingChange:
            return caption + QStringLiteral("：宝贝数量与上一个有记录的日期相比的变化");
        case columns::Column::SuggestWeight:
            return caption + QStringLiteral("：淘宝搜索联想给这个词的权重（取整）");
        case columns::Column::DemandSupply:
            return caption + QStringLiteral("= 搜索人气 ÷ 在线商品数；表中没有时由本软件计算");
        default:
            return caption + QStringLiteral("：导入的卖家数据表中的数值（原样显示，") +
                   QStringLiteral("排序和筛选按区间的中间值）");
    }
}

}  // namespace

std::vector<KeywordListModel::Column> MainListColumns() {
    // What each column's header explains, in column order.
    const QString help[] = {
        QStringLiteral("序号：关键词导入时的行号"),
        QStringLiteral("关键词：要查询的搜索词"),
        QStringLiteral("宝贝数量：淘宝搜索这个关键词找到的宝贝数"),
        QStringLiteral("昨日搜索指数：昨天这个关键词的搜索指数"),
        QStringLiteral("7天平均指数：最近 7 天搜索指数的平均值（舍去小数）"),
        QStringLiteral("指数趋势：昨日搜索指数 − 7天平均指数；↑ 上升，↓ 下降，-- 持平\n"
                       "单元格里的小图是最近 7 天的指数"),
        QStringLiteral("竞争倍数 = 7天平均指数 ÷ 宝贝数量 × 10000（取整）\n"
                       "越大表示每件宝贝分到的搜索越多，竞争越小"),
        QStringLiteral("趋势比(斜率)：最近 6 天每天指数变化率之和（保留一位小数）\n"
                       "大于 0 上升，小于 0 下降；-- 表示某天指数为 0，无法计算"),
    };
    static_assert(std::size(help) == columns::kShownColumnCount);
    std::vector<KeywordListModel::Column> result;
    for (const columns::ColumnInfo& info : columns::kColumns) {
        const int column = columns::Index(info.column);
        const bool figure = info.shown && info.figure;
        const bool leading = info.shown && !info.optional;
        // The trend draws its line to the right of its text.
        result.push_back({std::string(info.caption), info.initialWidth, figure,
                          leading ? help[column] : OptionalColumnHelp(info),
                          figure && info.column != columns::Column::Trend});
        result.back().optional = info.optional;
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

    const std::array<std::pair<const char*, QString>, 3> cards{{
        {"stepImport", QStringLiteral("导入关键词")},
        {"stepQuery", QStringLiteral("开始查询指数")},
        {"stepExport", QStringLiteral("导出选中到表格")},
    }};
    for (std::size_t i = 0; i < cards.size(); ++i) {
        controls.stepCards[i] = new ClickArea(controls.homePicture, QLatin1String(cards[i].first),
                                              kStepCardRects[i], cards[i].second);
    }

    QWidget* indexPage = AddPage(controls.tabs, QStringLiteral("指数查询"));
    controls.banner =
        AddPicture(indexPage, QStringLiteral("图片框1"), QStringLiteral(":/index_banner.gif"),
                   kBannerRect, new StretchingPicture(indexPage));
    const std::array<const char*, 3> bannerSteps{"bannerImport", "bannerQuery", "bannerExport"};
    for (std::size_t i = 0; i < bannerSteps.size(); ++i) {
        controls.bannerSteps[i] = new ClickArea(controls.banner, QLatin1String(bannerSteps[i]),
                                                kBannerStepRects[i], cards[i].second);
    }
    controls.list =
        CreateReportListView(indexPage, model, QStringLiteral("超级列表框1"), kListRect);
    // 指数趋势: the row's seven days drawn beside the trend.
    controls.list->setItemDelegateForColumn(columns::Index(columns::Column::Trend),
                                            new TrendSparklineDelegate(controls.list));

    controls.tutorialLink = new HyperlinkLabel(QStringLiteral("视频教程"), window);
    controls.tutorialLink->setObjectName(QStringLiteral("超级链接框1"));
    controls.tutorialLink->setGeometry(kTutorialLinkRect);
    controls.tutorialLink->raise();  // above the tab row
    return controls;
}

void FitMainWindowControls(const MainWindowControls& controls, QSize clientSize) {
    // Negative below the initial size: the list gives up what is missing.
    const int extraWidth = clientSize.width() - kMainWindowGeometry.width();
    const int extraHeight = clientSize.height() - kMainWindowGeometry.height();
    controls.tabs->setGeometry(kTabControlRect.adjusted(0, 0, extraWidth, extraHeight));
    // Lower than at the start, the banner gives its place to the list.
    const bool banner = extraHeight >= 0;
    controls.banner->setVisible(banner);
    controls.banner->setGeometry(kBannerRect.adjusted(0, 0, extraWidth, 0));
    const int top = banner ? kListRect.top() : 0;
    controls.list->setGeometry(kListRect.left(), top, kListRect.width() + extraWidth,
                               kListRect.bottom() + 1 - top + extraHeight + kUnderList);
    controls.tutorialLink->setGeometry(kTutorialLinkRect.translated(extraWidth, 0));
}

}  // namespace mofeng::ui
