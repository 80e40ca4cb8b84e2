#pragma once

#include <QString>

class QAbstractItemView;
class QAction;
class QKeySequence;
class QMenu;
class QWidget;

namespace mofeng::ui {

// A list's pop-up menu (not a menu bar), owned by owner and named objectName,
// still empty. A right-click in list opens it 3 px right of and below the
// mouse cursor; it returns when the menu has closed. UI thread only.
QMenu* CreateListPopupMenu(QWidget* owner, QAbstractItemView* list, const QString& objectName);

// Appends an action with the seller's text and an ASCII objectName. With a
// shortcut, the action is also added to shortcutScope so the keys work while
// the menu is closed.
QAction* AddMenuAction(QMenu* menu, const QString& text, const char* objectName);
QAction* AddMenuAction(QMenu* menu, const QString& text, const char* objectName,
                       const QKeySequence& shortcut, QWidget* shortcutScope);

// The menu's action whose text is text; null if none.
QAction* MenuActionByText(const QMenu* menu, const QString& text);

}  // namespace mofeng::ui
