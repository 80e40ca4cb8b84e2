#include "ui/main/ListHeaderMenu.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableView>

#include "columns/KeywordListSchema.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

void SetUpListHeader(QTableView* list, KeywordListModel* model) {
    QHeaderView* header = list->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        header, &QWidget::customContextMenuRequested, header, [header, model](const QPoint& at) {
            QMenu menu(header);
            menu.setObjectName(QStringLiteral("columnsMenu"));
            for (int column = 0; column < model->columnCount(); ++column) {
                const int stored = model->StorageColumn(column);
                QAction* action = menu.addAction(FromGbk(model->ColumnTitle(stored)));
                action->setCheckable(true);
                action->setChecked(!header->isSectionHidden(column));
                action->setEnabled(stored != columns::Index(columns::Column::Keyword));
                QObject::connect(action, &QAction::toggled, header, [header, column](bool shown) {
                    header->setSectionHidden(column, !shown);
                });
            }
            menu.exec(header->mapToGlobal(at));
        });
    QObject::connect(model, &QAbstractItemModel::columnsInserted, header,
                     [header, model](const QModelIndex&, int first, int last) {
                         for (int column = first; column <= last; ++column) {
                             header->setSectionHidden(column, false);
                             header->resizeSection(
                                 column, model->ColumnWidth(model->StorageColumn(column)));
                         }
                     });
}

}  // namespace mofeng::ui
