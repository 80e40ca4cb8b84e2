#include "ui/common/ListPopupMenu.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>

namespace mofeng::ui {

QMenu* CreateListPopupMenu(QWidget* owner, QAbstractItemView* list, const QString& objectName) {
    auto* menu = new QMenu(owner);
    menu->setObjectName(objectName);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [menu] { menu->exec(QCursor::pos() + QPoint(3, 3)); });
    return menu;
}

QAction* AddMenuAction(QMenu* menu, const QString& text, const char* objectName) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

QAction* AddMenuAction(QMenu* menu, const QString& text, const char* objectName,
                       const QKeySequence& shortcut, QWidget* shortcutScope) {
    QAction* action = AddMenuAction(menu, text, objectName);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    shortcutScope->addAction(action);
    return action;
}

QAction* MenuActionByText(const QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace mofeng::ui
