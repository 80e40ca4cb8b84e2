#pragma once

#include <QString>

#include <filesystem>

namespace mofeng::ui {

// The session database (lists and history) in the user's data folder.
QString SessionDatabaseFile();
std::filesystem::path SessionDatabaseFilePath();

}  // namespace mofeng::ui
