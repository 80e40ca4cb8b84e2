#include "ui/settings/SettingsAction.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QStyle>

#include "ui/settings/SettingsDialog.h"

namespace mofeng::ui {

QAction* CreateSettingsAction(AppContext& context, QWidget* window) {
    auto* action = new QAction(QStringLiteral("设置"), window);
    action->setObjectName(QStringLiteral("settings"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setIcon(
        QIcon::fromTheme(QStringLiteral("preferences-system"),
                         QApplication::style()->standardIcon(QStyle::SP_FileDialogInfoView)));
    window->addAction(action);
    QObject::connect(action, &QAction::triggered, window,
                     [&context, window] { OpenSettingsDialog(context, window); });
    return action;
}

}  // namespace mofeng::ui
