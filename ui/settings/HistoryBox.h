#pragma once

#include <QGroupBox>
#include <QString>

#include <filesystem>

class QLabel;
class QPushButton;

namespace mofeng::ui {

// The 历史 group of the settings: how much history the session database
// holds, and "清除历史", which deletes every observation after the seller
// confirms. UI thread.
class HistoryBox final : public QGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryBox)

public:
    HistoryBox(std::filesystem::path database, QWidget* parent = nullptr);

    // Reads the size again.
    void Refresh();
    // Deletes every observation without asking; false when that failed.
    bool Clear();

private:
    std::filesystem::path m_database;
    QLabel* m_size = nullptr;
    QPushButton* m_clear = nullptr;
};

}  // namespace mofeng::ui
