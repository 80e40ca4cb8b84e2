#include "ui/mining/MiningWindowOpener.h"

#include <QEvent>
#include <QPointer>

#include <vector>

#include "ui/startup/AppContext.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/MainWindow.h"
#include "ui/mining/MiningWindow.h"

namespace mofeng::ui {
namespace {

// Child of a main window: the mining windows opened from it.
class OpenedMiningWindows final : public QObject {
public:
    static OpenedMiningWindows& Of(MainWindow& mainWindow) {
        // No Q_OBJECT here, so findChild would match any child: look by type.
        for (QObject* child : mainWindow.children()) {
            if (auto* existing = dynamic_cast<OpenedMiningWindows*>(child)) {
                return *existing;
            }
        }
        return *new OpenedMiningWindows(mainWindow);
    }

    void Add(MiningWindow* window) {
        std::erase_if(m_windows, [](const QPointer<MiningWindow>& open) { return !open; });
        m_windows.emplace_back(window);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Close) {
            const auto windows = std::move(m_windows);
            m_windows.clear();
            for (const QPointer<MiningWindow>& window : windows) {
                if (window) {
                    window->close();
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    explicit OpenedMiningWindows(MainWindow& mainWindow) : QObject(&mainWindow) {
        mainWindow.installEventFilter(this);
    }

    std::vector<QPointer<MiningWindow>> m_windows;
};

}  // namespace

void InstallMiningWindow(AppContext& context) {
    context.Hooks().openMiningWindow = [&context](MainWindow& mainWindow) {
        auto* window = new MiningWindow(context, &mainWindow);
        window->setAttribute(Qt::WA_DeleteOnClose);
        OpenedMiningWindows::Of(mainWindow).Add(window);
        mainWindow.AdoptMiningList(window->Model());
        window->show();
    };
}

}  // namespace mofeng::ui
