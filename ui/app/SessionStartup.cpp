#include "ui/app/SessionStartup.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

#include "app/SessionStore.h"
#include "app/SessionWriter.h"
#include "ui/common/FilePath.h"
#include "ui/common/SessionDatabaseFile.h"
#include "ui/common/SessionKeeper.h"
#include "ui/main/MainWindow.h"

namespace mofeng::ui {

QString SessionDatabasePath() {
    return SessionDatabaseFile();
}

void StartSession(MainWindow& window) {
    const std::filesystem::path path = ToFilePath(SessionDatabasePath());
    app::SessionStore::Opened opened{};
    std::unique_ptr<app::SessionStore> store = app::SessionStore::OpenSession(path, opened);
    if (!store) {
        window.AttachSession(nullptr, {}, {},
                             QStringLiteral("无法打开上次的数据，本次的数据不会保存"));
        return;
    }
    const bool restore = QSettings().value(QLatin1String(kRestoreSessionKey), true).toBool();
    std::vector<runtime::Row> mainRows;
    std::vector<runtime::Row> miningRows;
    if (restore) {
        mainRows = store->LoadList(app::kSessionMainList);
        miningRows = store->LoadList(app::kSessionMiningList);
    }
    QString status;
    if (opened == app::SessionStore::Opened::BrokenMovedAside) {
        status = QStringLiteral("上次的数据已损坏，已移至 %1.broken，本次从空列表开始")
                     .arg(SessionDatabasePath());
    } else if (!mainRows.empty() || !miningRows.empty()) {
        status = QStringLiteral("已恢复上次的数据：主列表 %1 行，淘词列表 %2 行")
                     .arg(mainRows.size())
                     .arg(miningRows.size());
    }
    auto keeper =
        std::make_unique<SessionKeeper>(std::make_unique<app::SessionWriter>(std::move(store)));
    window.AttachSession(std::move(keeper), std::move(mainRows), std::move(miningRows), status);
}

}  // namespace mofeng::ui
