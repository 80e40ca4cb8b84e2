#pragma once

#include <QString>
#include <QStringList>

class QAbstractItemView;
class QMenu;
class QWidget;

namespace mofeng::ui {

// The separator entry of CreateListPopupMenu.
inline constexpr char kMenuSeparator[] = "-";

// A list's pop-up menu (not a menu bar): a QMenu owned by owner and named
// objectName, one action per entry named by its text (kMenuSeparator gives a
// separator). A right-click in list opens it 3 px right of and below the mouse
// cursor; it returns when the menu has closed. UI thread only.
QMenu* CreateListPopupMenu(QWidget* owner, QAbstractItemView* list, const QString& objectName,
                           const QStringList& entries);

}  // namespace mofeng::ui
