#include "ui/main/MainStatusBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QTimer>

#include <utility>

#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {
namespace {

constexpr int kHeight = 18;

QLabel* AddLabel(QWidget* bar, QHBoxLayout* layout, const QString& name, int stretch) {
    auto* label = new QLabel(bar);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label, stretch);
    return label;
}

}  // namespace

MainStatusBar::MainStatusBar(QTableView& list, const KeywordListModel& model,
                             std::function<int()> selectedCount)
    : QWidget(list.parentWidget()),
      m_list(list),
      m_model(model),
      m_selectedCount(std::move(selectedCount)) {
    setObjectName(QStringLiteral("状态栏"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(12);
    m_message = AddLabel(this, layout, QStringLiteral("标签_状态行"), 1);
    m_progress = AddLabel(this, layout, QStringLiteral("标签_查询进度"), 1);
    m_progress->hide();
    m_progress->installEventFilter(this);
    m_counts = AddLabel(this, layout, QStringLiteral("标签_行数"), 0);
    m_counts->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_recount = new QTimer(this);
    m_recount->setSingleShot(true);
    m_recount->setInterval(0);
    connect(m_recount, &QTimer::timeout, this, &MainStatusBar::RecountNow);

    // The view's model, which a filter may put between the list and the view.
    QAbstractItemModel* shown = list.model();
    for (const auto signal :
         {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(shown, signal, this, &MainStatusBar::ScheduleRecount);
    }
    connect(shown, &QAbstractItemModel::modelReset, this, &MainStatusBar::ScheduleRecount);
    connect(shown, &QAbstractItemModel::layoutChanged, this, &MainStatusBar::ScheduleRecount);
    if (QItemSelectionModel* selection = list.selectionModel()) {
        connect(selection, &QItemSelectionModel::selectionChanged, this,
                &MainStatusBar::ScheduleRecount);
    }
    list.installEventFilter(this);
    Place();
    RecountNow();
}

QString MainStatusBar::CountsText(int rows, int selected, int shown) {
    return QStringLiteral("共 %1 行 · 选中 %2 行 · 显示 %3 行").arg(rows).arg(selected).arg(shown);
}

void MainStatusBar::ScheduleRecount() {
    if (!m_recount->isActive()) {
        m_recount->start();
    }
}

void MainStatusBar::RecountNow() {
    m_recount->stop();
    const int shown = m_list.model() != nullptr ? m_list.model()->rowCount() : 0;
    m_counts->setText(CountsText(m_model.Data().RowCount(), m_selectedCount(), shown));
}

void MainStatusBar::Place() {
    const QRect list = m_list.geometry();
    setGeometry(list.left(), list.bottom() + 1, list.width(), kHeight);
}

bool MainStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_list && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        Place();
    } else if (watched == m_progress &&
               (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
        // The progress covers the message while a run goes on.
        m_message->setVisible(event->type() == QEvent::HideToParent);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace mofeng::ui
