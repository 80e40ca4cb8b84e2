#pragma once

#include <QString>

namespace mofeng::ui {

class MainWindow;

// What a main window keeps between runs (QSettings): its geometry, the
// widths of its list's columns, the tab shown, the sort column and direction
// and the filter's fields. The file dialogs keep their own folders
// (FileDialogSettings::RememberFolder) under the keys below.
inline constexpr char kMainWindowGeometryKey[] = "mainWindow/geometry";
inline constexpr char kMainWindowColumnWidthsKey[] = "mainWindow/columnWidths";
inline constexpr char kMainWindowTabKey[] = "mainWindow/tab";
inline constexpr char kMainWindowSortKey[] = "mainWindow/sort";  // column, 1 largest first
inline constexpr char kMainWindowFilterKey[] = "mainWindow/filter";
inline constexpr char kImportFolderKey[] = "fileDialogs/import/folder";
inline constexpr char kExportFolderKey[] = "fileDialogs/export/folder";
inline constexpr char kListFolderKey[] = "fileDialogs/list/folder";

// Puts the window where it was and gives the columns their widths, the tab,
// the sort arrow (kept only while the rows are in its order) and the filter;
// nothing for what was never saved. A width below 1 is ignored.
void RestoreMainWindowState(MainWindow& window);
void SaveMainWindowState(MainWindow& window);

}  // namespace mofeng::ui
