#include "ui/main/MainWindowMemory.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QVariantList>

#include "ui/main/FilterBar.h"
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
    if (auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("高级选择夹1"))) {
        tabs->setCurrentIndex(settings.value(QLatin1String(kMainWindowTabKey), 0).toInt());
    }
    const QVariantList sort = settings.value(QLatin1String(kMainWindowSortKey)).toList();
    if (sort.size() == 2) {
        window.RestoreSortOrder(sort[0].toInt(), sort[1].toBool() ? app::SortOrder::LargestFirst
                                                                  : app::SortOrder::SmallestFirst);
    }
    const QVariantMap filter = settings.value(QLatin1String(kMainWindowFilterKey)).toMap();
    for (QLineEdit* field : window.FilterControls().findChildren<QLineEdit*>()) {
        field->setText(filter.value(field->objectName()).toString());
    }
}

void SaveMainWindowState(MainWindow& window) {
    QSettings settings;
    settings.setValue(QLatin1String(kMainWindowGeometryKey), window.saveGeometry());
    QVariantList widths;
    const QHeaderView* header = window.List().horizontalHeader();
    for (int column = 0; column < header->count(); ++column) {
        // A keyword column the window fitted is fitted again next time.
        const bool fitted = column == kKeywordColumn && !window.KeywordWidthSet();
        widths.append(fitted ? 0 : header->sectionSize(column));
    }
    settings.setValue(QLatin1String(kMainWindowColumnWidthsKey), widths);
    if (auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("高级选择夹1"))) {
        settings.setValue(QLatin1String(kMainWindowTabKey), tabs->currentIndex());
    }
    settings.setValue(
        QLatin1String(kMainWindowSortKey),
        QVariantList{window.SortColumn(), window.SortOrder() == app::SortOrder::LargestFirst});
    QVariantMap filter;
    for (const QLineEdit* field : window.FilterControls().findChildren<QLineEdit*>()) {
        if (!field->text().isEmpty()) {
            filter.insert(field->objectName(), field->text());
        }
    }
    settings.setValue(QLatin1String(kMainWindowFilterKey), filter);
}

}  // namespace mofeng::ui
