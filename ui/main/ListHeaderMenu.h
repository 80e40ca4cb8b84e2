#pragma once

class QTableView;

namespace mofeng::ui {

class KeywordListModel;

// The main list's header: its context menu shows or hides any column (a
// check per column in model order; the keyword column stays), and an
// optional column takes its own width whenever it appears. UI thread.
void SetUpListHeader(QTableView* list, KeywordListModel* model);

}  // namespace mofeng::ui
