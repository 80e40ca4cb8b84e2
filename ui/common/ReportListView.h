#pragma once

#include <QRect>
#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace mofeng::ui {

class KeywordListModel;

// A report-style list over a model: a header row, several rows selectable at
// once, no editing, no sorting of its own (header clicks are ours), and the
// model told of every column width the user drags.
QTableView* CreateReportListView(QWidget* parent, KeywordListModel* model, const QString& name,
                                 QRect rect);

// Makes list show shown (a proxy over the model it showed until now) with
// the columns at the widths they had. The old selection goes.
void ShowThroughProxy(QTableView* list, QAbstractItemModel* shown);

}  // namespace mofeng::ui
