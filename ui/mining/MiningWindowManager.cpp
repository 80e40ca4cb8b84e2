#include "ui/mining/MiningWindowManager.h"

#include "ui/main/MainWindow.h"
#include "ui/mining/MiningWindow.h"

namespace mofeng::ui {

MiningWindowManager::MiningWindowManager(AppContext& context, MainWindow& mainWindow)
    : QObject(&mainWindow), m_context(context), m_mainWindow(mainWindow) {}

MiningWindow* MiningWindowManager::Open() {
    std::erase_if(m_windows, [](const QPointer<MiningWindow>& open) { return !open; });
    auto* window = new MiningWindow(m_context, &m_mainWindow);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_windows.emplace_back(window);
    m_mainWindow.AdoptMiningList(window->Model());
    window->show();
    return window;
}

void MiningWindowManager::CloseAll() {
    for (const QPointer<MiningWindow>& window : std::exchange(m_windows, {})) {
        if (window) {
            window->close();
        }
    }
}

std::vector<MiningWindow*> MiningWindowManager::OpenWindows() const {
    std::vector<MiningWindow*> open;
    for (const QPointer<MiningWindow>& window : m_windows) {
        if (window) {
            open.push_back(window.data());
        }
    }
    return open;
}

}  // namespace mofeng::ui
