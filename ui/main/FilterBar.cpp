#include "ui/main/FilterBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

#include "columns/KeywordListSchema.h"
#include "ui/common/GbkQt.h"

namespace mofeng::ui {
namespace {

// The figures the bar bounds, in its order.
constexpr std::array kRangeColumns{columns::Column::ListingCount, columns::Column::Average,
                                   columns::Column::Competition};
static_assert(std::all_of(kRangeColumns.begin(), kRangeColumns.end(),
                          [](columns::Column c) { return columns::Info(c).figure; }));
constexpr int kBoundWidth = 46;
constexpr int kWordsWidth = 116;

QLineEdit* AddField(QHBoxLayout* row, QWidget* bar, const char* name, const QString& hint,
                    int width) {
    auto* field = new QLineEdit(bar);
    field->setObjectName(QLatin1String(name));
    field->setPlaceholderText(hint);
    field->setClearButtonEnabled(false);
    field->setFixedWidth(width);
    row->addWidget(field);
    return field;
}

void AddLabel(QHBoxLayout* row, QWidget* bar, const QString& text) {
    row->addWidget(new QLabel(text, bar));
}

}  // namespace

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("filterBar"));
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(3);

    AddLabel(row, this, QStringLiteral("包含"));
    m_keyword = AddField(row, this, "filterKeyword", QStringLiteral("关键词包含…"), kWordsWidth);
    row->addSpacing(8);
    AddLabel(row, this, QStringLiteral("排除"));
    m_exclude = AddField(row, this, "filterExclude", QStringLiteral("空格分隔"), kWordsWidth);

    static constexpr const char* kNames[3][2] = {{"filterMinCount", "filterMaxCount"},
                                                 {"filterMinAverage", "filterMaxAverage"},
                                                 {"filterMinMultiple", "filterMaxMultiple"}};
    for (std::size_t i = 0; i < kRangeColumns.size(); ++i) {
        row->addSpacing(8);
        AddLabel(row, this, FromGbk(columns::Caption(kRangeColumns[i])));
        QLineEdit* min = AddField(row, this, kNames[i][0], QStringLiteral("最小"), kBoundWidth);
        AddLabel(row, this, QStringLiteral("–"));
        QLineEdit* max = AddField(row, this, kNames[i][1], QStringLiteral("最大"), kBoundWidth);
        m_ranges[i] = {columns::Index(kRangeColumns[i]), min, max};
    }
    row->addStretch(1);

    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("filterClose"));
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("关闭筛选（Esc）"));
    close->setAutoRaise(true);
    row->addWidget(close);
    connect(close, &QToolButton::clicked, this, &FilterBar::CloseRequested);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FilterBar::CloseRequested);

    for (QLineEdit* field : findChildren<QLineEdit*>()) {
        connect(field, &QLineEdit::textChanged, this, &FilterBar::CriteriaChanged);
    }
}

app::KeywordFilterCriteria FilterBar::Criteria() const {
    app::KeywordFilterCriteria criteria;
    criteria.contains = ToGbk(m_keyword->text().trimmed());
    criteria.excluded = app::SplitWords(ToGbk(m_exclude->text()));
    for (const RangeFields& range : m_ranges) {
        criteria.ranges.push_back({range.column, app::BoundOf(ToGbk(range.min->text())),
                                   app::BoundOf(ToGbk(range.max->text()))});
    }
    return criteria;
}

void FilterBar::Clear() {
    bool changed = false;
    for (QLineEdit* field : findChildren<QLineEdit*>()) {
        if (!field->text().isEmpty()) {
            const QSignalBlocker quiet(field);  // one report for the whole bar
            field->clear();
            changed = true;
        }
    }
    if (changed) {
        emit CriteriaChanged();
    }
}

void FilterBar::FocusKeyword() {
    m_keyword->setFocus(Qt::ShortcutFocusReason);
    m_keyword->selectAll();
}

}  // namespace mofeng::ui
