#include "ui/common/SessionDatabaseFile.h"
#include "ui/common/FilePath.h"

#include <QDir>
#include <QStandardPaths>

namespace mofeng::ui {

QString SessionDatabaseFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("session.sqlite"));
}

std::filesystem::path SessionDatabaseFilePath() {
    return ToFilePath(SessionDatabaseFile());
}

}  // namespace mofeng::ui
