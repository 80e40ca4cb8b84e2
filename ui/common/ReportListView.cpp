#include "ui/common/ReportListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <vector>

#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

QTableView* CreateReportListView(QWidget* parent, KeywordListModel* model, const QString& name,
                                 QRect rect) {
    auto* list = new QTableView(parent);
    list->setObjectName(name);
    list->setModel(model);
    list->setGeometry(rect);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(true);
    list->setWordWrap(false);
    list->setSortingEnabled(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(20);
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* header = list->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);  // a column narrowed to 0 px stays 0 px
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < model->columnCount(); ++column) {
        header->resizeSection(column, model->ColumnWidth(column));
    }
    QObject::connect(header, &QHeaderView::sectionResized, model,
                     [model](int column, int, int width) { model->SetColumnWidth(column, width); });
    return list;
}

void ShowThroughProxy(QTableView* list, QAbstractItemModel* shown) {
    QHeaderView* header = list->horizontalHeader();
    std::vector<int> widths;
    for (int column = 0; column < header->count(); ++column) {
        widths.push_back(header->sectionSize(column));
    }
    QItemSelectionModel* old = list->selectionModel();
    list->setModel(shown);
    delete old;  // a view never deletes the selection model it replaces
    for (std::size_t column = 0; column < widths.size(); ++column) {
        header->resizeSection(static_cast<int>(column), widths[column]);
    }
}

}  // namespace mofeng::ui
