#pragma once

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/EndpointConfig.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

// Set-up shared by the GUI tests: windows over a simulator, keyword files,
// reading what a list shows.
namespace mofeng::test {

// Keeps the program's data and settings (session, options) under dir.
inline void UseAsHome(const QTemporaryDir& dir) {
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
}

// Every endpoint the program queries, pointed at the simulator.
inline net::EndpointConfig EndpointsAt(const sim::Simulator& simulator) {
    net::EndpointConfig endpoints;
    endpoints.searchBase = endpoints.indexBase = endpoints.suggestBase = simulator.BaseUrl();
    return endpoints;
}

// Brings the keyword list's tab ("指数查询") to the front.
inline void ShowListTab(ui::MainWindow& window) {
    window.findChild<QTabWidget*>(QStringLiteral("高级选择夹1"))->setCurrentIndex(1);
}

// Resizes the window so that its content (below the menu bar and the
// toolbar) gets this size.
inline void ResizeContent(ui::MainWindow& window, QSize content) {
    window.resize(content + window.size() - window.Content().size());
    QCoreApplication::sendPostedEvents();
}

// A shown main window over a started simulator, with the web pages the
// program finds beside the test.
class SimulatedMainWindow {
public:
    explicit SimulatedMainWindow(sim::SimulatorOptions options = {}) : simulator(options) {
        QVERIFY(simulator.Start());
        context = std::make_unique<ui::AppContext>(
            EndpointsAt(simulator),
            ui::WebPages::FromEnvironment(QCoreApplication::applicationDirPath()));
        window = std::make_unique<ui::MainWindow>(*context);
        window->show();
    }

    sim::Simulator simulator;
    std::unique_ptr<ui::AppContext> context;
    std::unique_ptr<ui::MainWindow> window;
};

// Writes the keywords (UTF-8), one a line, GBK-encoded with CRLF endings, to
// keywords.txt in dir; returns its path, or an empty string when it failed.
inline QString WriteGbkKeywordFile(const QTemporaryDir& dir,
                                   const std::vector<std::string>& words) {
    std::string lines;
    for (const std::string& word : words) {
        lines += runtime::Utf8ToGbk(word) + "\r\n";
    }
    QFile file(dir.filePath(QStringLiteral("keywords.txt")));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(lines.data(), static_cast<qint64>(lines.size())) !=
            static_cast<qint64>(lines.size())) {
        return {};
    }
    return file.fileName();
}

// The texts of one column as the view shows them, top to bottom.
inline QStringList ShownColumn(const QTableView& view, int column) {
    QStringList texts;
    const QAbstractItemModel* shown = view.model();
    for (int row = 0; row < shown->rowCount(); ++row) {
        texts << shown->index(row, column).data().toString();
    }
    return texts;
}

// The visible message box (top-level) whose text contains part; nullptr
// when none is up.
inline QMessageBox* FindBox(const QString& part) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible() && box->text().contains(part)) {
            return box;
        }
    }
    return nullptr;
}

// Once the next modal file dialog is up, calls answer with it (which must
// close it).
inline void AnswerNextFileDialog(std::function<void(QFileDialog&)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
        }
    });
    timer->start(5);
}

// Answers every message box that opens while it lives with OK, recording its text.
class MessageAnswerer {
public:
    MessageAnswerer() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible()) {
                    shown.push_back(box->text());
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
        m_timer.start(2);
    }
    QStringList shown;

private:
    QTimer m_timer;
};

}  // namespace mofeng::test
