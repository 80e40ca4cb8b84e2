#pragma once

#include <QWidget>

#include <array>

#include "app/KeywordFilter.h"

class QLineEdit;

namespace mofeng::ui {

// The QSettings key that says whether the filter bar was showing when the
// main window last closed.
inline constexpr char kFilterVisibleKey[] = "mainWindow/filterVisible";

// The bar above the main list that narrows the rows shown: keyword contains,
// exclude words (space-separated), and min/max of 宝贝数量, 7天平均指数 and
// 竞争倍数 (empty: no bound). Every edit is reported at once. Esc or the close
// button asks for the bar to go. UI thread only.
class FilterBar final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FilterBar)

public:
    static constexpr int kHeight = 28;

    explicit FilterBar(QWidget* parent);

    // What the fields say now (GBK texts, bounds read as numbers).
    app::KeywordFilterCriteria Criteria() const;
    // Empties every field (CriteriaChanged follows when one was not empty).
    void Clear();
    // Focuses the keyword field with its text selected.
    void FocusKeyword();

signals:
    void CriteriaChanged();
    void CloseRequested();

private:
    struct RangeFields {
        int column;
        QLineEdit* min;
        QLineEdit* max;
    };

    QLineEdit* m_keyword = nullptr;
    QLineEdit* m_exclude = nullptr;
    std::array<RangeFields, 3> m_ranges{};
};

}  // namespace mofeng::ui
