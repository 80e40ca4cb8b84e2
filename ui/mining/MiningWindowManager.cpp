#include "ui/mining/MiningWindowManager.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "mining/MiningCommands.h"
#include "ui/mining/MiningWindow.h"

namespace mofeng::ui {

QPoint OpeningPosition(const QRect& mainFrame, int alreadyOpen, QSize size, const QRect& screen) {
    // Down and to the right of the main window's title bar, each further
    // window a step further, back to the first step when off the screen.
    const QPoint step(kMiningWindowStep, kMiningWindowStep);
    QPoint place = mainFrame.topLeft() + step * (2 + alreadyOpen % 8);
    if (!screen.isEmpty()) {
        place.setX(std::clamp(place.x(), screen.left(),
                              std::max(screen.left(), screen.right() + 1 - size.width())));
        place.setY(std::clamp(place.y(), screen.top(),
                              std::max(screen.top(), screen.bottom() + 1 - size.height())));
    }
    return place;
}

MiningWindowManager::MiningWindowManager(AppContext& context, runtime::Table& mainList,
                                         QWidget& mainWindow)
    : QObject(&mainWindow), m_context(context), m_mainList(mainList), m_mainWindow(mainWindow) {}

MiningWindow* MiningWindowManager::Open() {
    std::erase_if(m_windows, [](const QPointer<MiningWindow>& open) { return !open; });
    auto* window = new MiningWindow(m_context);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Through this manager: once the main window has gone, nothing is sent.
    connect(window, &MiningWindow::SendKeywords, this, [this](runtime::Table& miningList) {
        const int sent = mining::SendKeywords(miningList, m_mainList);
        emit StatusMessage(QStringLiteral("已传送 %1 个关键词至主窗口").arg(sent));
    });
    window->move(OpeningPosition(m_mainWindow.frameGeometry(), static_cast<int>(m_windows.size()),
                                 window->frameGeometry().size(),
                                 m_mainWindow.screen()->availableGeometry()));
    m_windows.emplace_back(window);
    emit ListOpened(window->Model());
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
