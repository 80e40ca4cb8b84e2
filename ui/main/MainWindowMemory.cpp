#include "ui/main/MainWindowMemory.h"

#include <QHeaderView>
#include <QSettings>
#include <QTableView>
#include <QVariantList>

#include "ui/main/MainWindow.h"

namespace mofeng::ui {

void RestoreMainWindowState(MainWindow& window) {
    const QSettings settings;
    if (const QByteArray geometry =
            settings.value(QLatin1String(kMainWindowGeometryKey)).toByteArray();
        !geometry.isEmpty()) {
        window.restoreGeometry(geometry);
    }
    QHeaderView* header = window.List().horizontalHeader();
    const QVariantList widths = settings.value(QLatin1String(kMainWindowColumnWidthsKey)).toList();
    for (int column = 0; column < widths.size() && column < header->count(); ++column) {
        bool ok = false;
        const int width = widths[column].toInt(&ok);
        if (ok && width > 0) {
            header->resizeSection(column, width);  // the model records it too
        }
    }
}

void SaveMainWindowState(MainWindow& window) {
    QSettings settings;
    settings.setValue(QLatin1String(kMainWindowGeometryKey), window.saveGeometry());
    QVariantList widths;
    const QHeaderView* header = window.List().horizontalHeader();
    for (int column = 0; column < header->count(); ++column) {
        widths.append(header->sectionSize(column));
    }
    settings.setValue(QLatin1String(kMainWindowColumnWidthsKey), widths);
}

}  // namespace mofeng::ui
