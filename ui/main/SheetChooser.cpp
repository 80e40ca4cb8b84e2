#include "ui/main/SheetChooser.h"

#include <QInputDialog>
#include <QWidget>

#include "ui/common/GbkQt.h"
#include "ui/common/UiThreadBridge.h"

namespace mofeng::ui {

std::optional<int> AskForSheet(QWidget* parent, const QStringList& names) {
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("选择工作表"));
    dialog.setWindowTitle(QStringLiteral("选择工作表"));
    dialog.setLabelText(QStringLiteral("文件中有几个工作表含关键词，导入哪一个？"));
    dialog.setComboBoxItems(names);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(names.value(0));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const int chosen = names.indexOf(dialog.textValue());
    return chosen >= 0 ? std::optional(chosen) : std::nullopt;
}

app::SheetChoice SheetChoiceAskingOn(std::shared_ptr<UiThreadBridge> bridge) {
    app::SheetChoice choice;
    choice.chooser = [bridge = std::move(bridge)](
                         const app::Workbook& workbook,
                         const std::vector<std::size_t>& candidates) -> std::optional<std::size_t> {
        QStringList names;
        for (const std::size_t index : candidates) {
            const std::string& name = workbook.sheets[index].name;
            names << (name.empty() ? QStringLiteral("第 %1 个工作表").arg(index + 1)
                                   : FromGbk(name));
        }
        // The dialog may outlive the wait (the window closes while it is
        // open), so the answer is kept where both can reach it.
        auto chosen = std::make_shared<std::optional<int>>();
        const bool answered = bridge->PostAndWait(
            [names, chosen](QObject& target, const UiThreadBridge::Completion& completion) {
                *chosen = AskForSheet(qobject_cast<QWidget*>(&target), names);
                completion.Finish();
            });
        if (!answered || !*chosen) {
            return std::nullopt;
        }
        return candidates[static_cast<std::size_t>(**chosen)];
    };
    return choice;
}

}  // namespace mofeng::ui
