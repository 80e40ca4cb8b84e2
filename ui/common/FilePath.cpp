#include "ui/common/FilePath.h"

namespace mofeng::ui {

std::filesystem::path ToFilePath(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

}  // namespace mofeng::ui
