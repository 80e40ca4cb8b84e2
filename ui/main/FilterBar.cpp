#include "ui/main/FilterBar.h"

#include <QComboBox>
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
    m_optional = new QWidget(this);
    auto* optionalRow = new QHBoxLayout(m_optional);
    optionalRow->setContentsMargins(0, 0, 0, 0);
    optionalRow->setSpacing(3);
    m_optionalColumn = new QComboBox(m_optional);
    m_optionalColumn->setObjectName(QStringLiteral("filterOptionalColumn"));
    m_optionalColumn->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    optionalRow->addWidget(m_optionalColumn);
    m_optionalMin =
        AddField(optionalRow, m_optional, "filterMinOptional", QStringLiteral("最小"), kBoundWidth);
    AddLabel(optionalRow, m_optional, QStringLiteral("–"));
    m_optionalMax =
        AddField(optionalRow, m_optional, "filterMaxOptional", QStringLiteral("最大"), kBoundWidth);
    row->addSpacing(8);
    row->addWidget(m_optional);
    m_optional->hide();
    connect(m_optionalColumn, &QComboBox::currentIndexChanged, this, &FilterBar::ChooseOptional);
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
    if (m_chosen >= 0) {
        criteria.ranges.push_back({m_chosen, app::BoundOf(ToGbk(m_optionalMin->text())),
                                   app::BoundOf(ToGbk(m_optionalMax->text()))});
    }
    for (const auto& [column, bounds] : m_optionalBounds) {
        criteria.ranges.push_back(
            {column, app::BoundOf(ToGbk(bounds.first)), app::BoundOf(ToGbk(bounds.second))});
    }
    return criteria;
}

void FilterBar::SetOptionalColumns(const std::vector<int>& columns) {
    std::vector<int> offered;
    for (int i = 0; i < m_optionalColumn->count(); ++i) {
        offered.push_back(m_optionalColumn->itemData(i).toInt());
    }
    if (offered == columns) {
        return;
    }
    const bool bounded = !m_optionalBounds.empty() || !m_optionalMin->text().isEmpty() ||
                         !m_optionalMax->text().isEmpty();
    std::erase_if(m_optionalBounds, [&](const auto& entry) {
        return std::find(columns.begin(), columns.end(), entry.first) == columns.end();
    });
    const int keep = m_chosen;
    {
        const QSignalBlocker quiet(m_optionalColumn);
        m_optionalColumn->clear();
        for (int column : columns) {
            m_optionalColumn->addItem(
                FromGbk(columns::Caption(static_cast<columns::Column>(column))), column);
        }
    }
    m_optional->setVisible(!columns.empty());
    const int index = m_optionalColumn->findData(keep);
    if (index >= 0) {
        const QSignalBlocker quiet(m_optionalColumn);
        m_optionalColumn->setCurrentIndex(index);
    } else {
        // The column bounded before is gone: its bounds go with it.
        m_chosen = -1;
        for (QLineEdit* field : {m_optionalMin, m_optionalMax}) {
            const QSignalBlocker quiet(field);
            field->clear();
        }
        ChooseOptional(m_optionalColumn->currentIndex());
    }
    if (bounded) {
        emit CriteriaChanged();
    }
}

void FilterBar::ChooseOptional(int index) {
    if (m_chosen >= 0 && (!m_optionalMin->text().isEmpty() || !m_optionalMax->text().isEmpty())) {
        m_optionalBounds[m_chosen] = {m_optionalMin->text(), m_optionalMax->text()};
    }
    m_chosen = index >= 0 ? m_optionalColumn->itemData(index).toInt() : -1;
    const auto saved = m_optionalBounds.find(m_chosen);
    const std::pair<QString, QString> bounds =
        saved != m_optionalBounds.end() ? saved->second : std::pair<QString, QString>{};
    if (saved != m_optionalBounds.end()) {
        m_optionalBounds.erase(saved);
    }
    const QSignalBlocker quietMin(m_optionalMin);
    const QSignalBlocker quietMax(m_optionalMax);
    m_optionalMin->setText(bounds.first);
    m_optionalMax->setText(bounds.second);
}

void FilterBar::Clear() {
    bool changed = !m_optionalBounds.empty();
    m_optionalBounds.clear();
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
