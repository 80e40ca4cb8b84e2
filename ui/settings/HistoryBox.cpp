#include "ui/settings/HistoryBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include "app/HistoryStore.h"

namespace mofeng::ui {
namespace {

// A database that is there and holds the history; closed when absent.
app::SqliteDatabase OpenHistory(const std::filesystem::path& path, int flags) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return {};
    }
    app::SqliteDatabase db = app::SqliteDatabase::Open(path, flags);
    return db && app::history::Present(db) ? std::move(db) : app::SqliteDatabase();
}

}  // namespace

HistoryBox::HistoryBox(std::filesystem::path database, QWidget* parent)
    : QGroupBox(QStringLiteral("历史"), parent), m_database(std::move(database)) {
    m_size = new QLabel(this);
    m_size->setObjectName(QStringLiteral("historySize"));
    m_clear = new QPushButton(QStringLiteral("清除历史"), this);
    m_clear->setObjectName(QStringLiteral("clearHistory"));
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_size, 1);
    row->addWidget(m_clear);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        const auto answer = QMessageBox::question(
            this, QStringLiteral("清除历史"),
            QStringLiteral("清除所有记录过的日子？列表中的数据不受影响，清除后无法恢复。"));
        if (answer == QMessageBox::Yes && !Clear()) {
            QMessageBox::warning(this, QStringLiteral("清除历史"),
                                 QStringLiteral("历史未能清除，请稍后再试。"));
        }
    });
    Refresh();
}

void HistoryBox::Refresh() {
    const app::SqliteDatabase db = OpenHistory(m_database, SQLITE_OPEN_READONLY);
    const app::history::Size size = db ? app::history::Measure(db) : app::history::Size{};
    m_size->setText(size.observations == 0
                        ? QStringLiteral("还没有记录")
                        : QStringLiteral("%1 条记录，约 %2")
                              .arg(size.observations)
                              .arg(QLocale::system().formattedDataSize(size.bytes)));
    m_clear->setEnabled(size.observations > 0);
}

bool HistoryBox::Clear() {
    const app::SqliteDatabase db = OpenHistory(m_database, SQLITE_OPEN_READWRITE);
    const bool ok = !db || app::history::Clear(db);
    Refresh();
    return ok;
}

}  // namespace mofeng::ui
