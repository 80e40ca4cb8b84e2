#pragma once

#include <QWidget>

#include <array>
#include <map>
#include <utility>
#include <vector>

#include "app/KeywordFilter.h"

class QComboBox;
class QLineEdit;

namespace mofeng::ui {

// The QSettings key that says whether the filter bar was showing when the
// main window last closed.
inline constexpr char kFilterVisibleKey[] = "mainWindow/filterVisible";

// The bar above the main list that narrows the rows shown: keyword contains,
// exclude words (space-separated), and min/max of 宝贝数量, 7天平均指数 and
// 竞争倍数 (empty: no bound), and min/max of one optional column at a time
// (a market figure: 搜索人气 …), chosen among those the list shows; each
// optional column keeps its bounds while another is chosen. Every edit is
// reported at once. Esc or the close
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
    // The optional columns the list shows (stored column indices, in order):
    // the chooser offers them, and is hidden without any. Bounds of a
    // column no longer offered are dropped.
    void SetOptionalColumns(const std::vector<int>& columns);

signals:
    void CriteriaChanged();
    void CloseRequested();

private:
    struct RangeFields {
        int column;
        QLineEdit* min;
        QLineEdit* max;
    };

    // Keeps the fields' bounds under the column chosen before, shows the
    // ones of the column chosen now.
    void ChooseOptional(int index);

    QLineEdit* m_keyword = nullptr;
    QLineEdit* m_exclude = nullptr;
    std::array<RangeFields, 3> m_ranges{};
    QWidget* m_optional = nullptr;  // the chooser and its two fields
    QComboBox* m_optionalColumn = nullptr;
    QLineEdit* m_optionalMin = nullptr;
    QLineEdit* m_optionalMax = nullptr;
    int m_chosen = -1;  // stored column the two fields bound
    std::map<int, std::pair<QString, QString>> m_optionalBounds;  // others' (min, max)
};

}  // namespace mofeng::ui
