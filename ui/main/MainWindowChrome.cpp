// The main window's frame around its content: the menu bar and the toolbar
// over the shared actions, the content widget laid out below them, and the
// commands' state while a query run is on.
#include <QAction>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/main/IndexQueryController.h"
#include "ui/main/MainWindow.h"

namespace mofeng::ui {

QWidget* MainWindow::CreateChrome() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    layout->setMenuBar(m_menuBar);
    m_toolBar = new QToolBar(QStringLiteral("工具栏"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    layout->addWidget(m_toolBar);
    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("content"));
    layout->addWidget(content, 1);
    content->installEventFilter(this);

    // The bars take a fixed height, so the content gets the window
    // definition's client size at the window's initial place.
    // For its height: a caption as the menus have, Latin and Chinese (on
    // Windows they come from different fonts, the taller one counts).
    m_menuBar->addMenu(QStringLiteral("文件(&F)"));
    m_menuBar->setFixedHeight(m_menuBar->sizeHint().height());
    m_menuBar->clear();
    m_toolBar->addAction(QStringLiteral("导入"));
    m_toolBar->setFixedHeight(m_toolBar->sizeHint().height());
    m_toolBar->clear();
    const int bars = m_menuBar->height() + m_toolBar->height();
    setGeometry(kMainWindowGeometry.adjusted(0, 0, 0, bars));
    setMinimumSize(kMainWindowMinimumSize + QSize(0, bars));
    content->setGeometry(0, bars, kMainWindowGeometry.width(), kMainWindowGeometry.height());
    return content;
}

void MainWindow::ShowRunState(bool running) {
    m_actions.stopQuery->setEnabled(running);
    for (QAction* action : {m_actions.clearList, m_actions.importKeywords, m_actions.openList}) {
        action->setEnabled(!running);
        action->setStatusTip(running ? QStringLiteral("查询进行中：请先停止查询") : QString());
    }
}

}  // namespace mofeng::ui
