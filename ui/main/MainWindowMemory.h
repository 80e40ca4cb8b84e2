#pragma once

#include <QString>

namespace mofeng::ui {

class MainWindow;

// What a main window keeps between runs (QSettings): its geometry and the
// widths of its list's columns. The file dialogs keep their own folders
// (FileDialogSettings::RememberFolder) under the keys below.
inline constexpr char kMainWindowGeometryKey[] = "mainWindow/geometry";
inline constexpr char kMainWindowColumnWidthsKey[] = "mainWindow/columnWidths";
inline constexpr char kImportFolderKey[] = "fileDialogs/import/folder";
inline constexpr char kExportFolderKey[] = "fileDialogs/export/folder";
inline constexpr char kListFolderKey[] = "fileDialogs/list/folder";

// Puts the window where it was and gives the columns their widths; nothing
// for what was never saved. A width below 1 is ignored.
void RestoreMainWindowState(MainWindow& window);
void SaveMainWindowState(MainWindow& window);

}  // namespace mofeng::ui
