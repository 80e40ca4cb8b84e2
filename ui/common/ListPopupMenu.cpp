#include "ui/common/ListPopupMenu.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QMenu>

namespace mofeng::ui {

QMenu* CreateListPopupMenu(QWidget* owner, QAbstractItemView* list, const QString& objectName,
                           const QStringList& entries) {
    auto* menu = new QMenu(owner);
    menu->setObjectName(objectName);
    for (const QString& entry : entries) {
        if (entry == QLatin1String(kMenuSeparator)) {
            menu->addSeparator();
        } else {
            menu->addAction(entry)->setObjectName(entry);
        }
    }
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [menu] { menu->exec(QCursor::pos() + QPoint(3, 3)); });
    return menu;
}

}  // namespace mofeng::ui
