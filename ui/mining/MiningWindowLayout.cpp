#include "ui/mining/MiningWindowLayout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include "mining/MiningList.h"
#include "ui/common/ReportListView.h"
#include "ui/mining/SuggestWeightProxy.h"

namespace mofeng::ui {
namespace {

template <typename Control>
Control* Place(Control* control, const QString& name, QRect rect) {
    control->setObjectName(name);
    control->setGeometry(rect);
    return control;
}

QLabel* AddLabel(QWidget* window, const QString& name, const QString& text, QRect rect) {
    auto* label = Place(new QLabel(text, window), name, rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

}  // namespace

std::vector<KeywordListModel::Column> MiningListModelColumns() {
    std::vector<KeywordListModel::Column> columns;
    for (auto& [title, width] : mining::MiningListColumns()) {
        const bool weight = static_cast<int>(columns.size()) == mining::kWeightColumn;
        columns.push_back(
            {title, width, weight,
             weight ? QStringLiteral("联想热度：搜索联想给出的热度（取最近一次），不另发请求")
                    : QString(),
             weight});
    }
    return columns;
}

MiningWindowControls CreateMiningWindowControls(QWidget* window, KeywordListModel* model) {
    MiningWindowControls c;
    c.banner = Place(new QLabel(window), QStringLiteral("图片框1"), {-8, 0, 448, 60});
    c.banner->setPixmap(QPixmap(QStringLiteral(":/mining_banner.jpg")));
    c.banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    c.seedCaption =
        AddLabel(window, QStringLiteral("标签1"), QStringLiteral("关键词："), {8, 75, 48, 16});
    c.seed = Place(new QLineEdit(window), QStringLiteral("编辑框_关键词"), {56, 70, 88, 24});
    c.mustCaption =
        AddLabel(window, QStringLiteral("标签2"), QStringLiteral("必须包含："), {152, 75, 56, 16});
    c.mustContain =
        Place(new QLineEdit(window), QStringLiteral("编辑框_关键词1"), {213, 71, 43, 24});

    c.levels = Place(new QComboBox(window), QStringLiteral("组合框1"), {269, 73, 75, 20});
    c.levels->addItems(
        {QStringLiteral("一级淘词"), QStringLiteral("二级淘词"), QStringLiteral("三级淘词")});
    c.levels->setCurrentIndex(2);

    c.start = Place(new QPushButton(QStringLiteral("开始淘词"), window),
                    QStringLiteral("按钮_一键淘词"), {356, 70, 72, 24});
    c.list = CreateReportListView(window, model, QStringLiteral("超级列表框1"), {7, 102, 424, 194});
    ShowThroughProxy(c.list, new SuggestWeightProxy(model, mining::kWeightColumn, c.list));
    c.status =
        AddLabel(window, QStringLiteral("标签_状态"), QStringLiteral("第一级："), {8, 298, 48, 14});
    c.progress = Place(new QProgressBar(window), QStringLiteral("进度条1"), {61, 298, 371, 16});
    c.progress->setTextVisible(false);
    c.progress->setRange(0, 100);
    c.progress->setValue(0);
    c.counts = AddLabel(window, QStringLiteral("runCounts"), QString(), {8, 318, 424, 16});
    return c;
}

void LayOutMiningWindow(const MiningWindowControls& controls, QSize size) {
    // Margins of the initial layout: list 7 px left and 17 px right, the
    // bar's line 49 px and the counts 29 px above the bottom.
    const int width = size.width();
    const int height = size.height();
    controls.list->setGeometry(7, 102, width - 24, height - 153);
    controls.status->setGeometry(8, height - 49, 48, 14);
    controls.progress->setGeometry(61, height - 49, width - 77, 16);
    controls.counts->setGeometry(8, height - 29, width - 24, 16);
}

}  // namespace mofeng::ui
