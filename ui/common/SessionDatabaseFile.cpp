#include "ui/common/SessionDatabaseFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace mofeng::ui {

QString SessionDatabaseFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("session.sqlite"));
}

std::filesystem::path SessionDatabaseFilePath() {
    return std::filesystem::path(QFile::encodeName(SessionDatabaseFile()).toStdString());
}

}  // namespace mofeng::ui
