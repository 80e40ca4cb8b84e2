#include "app/RunFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <system_error>

namespace mofeng::app {

std::filesystem::path DocumentsSubfolderName() {
    return std::filesystem::path(u8"墨枫");
}

RunFolder ChooseRunFolder(const std::filesystem::path& programDir,
                          const std::filesystem::path& documentsDir,
                          const FolderWritableCheck& isWritable) {
    if (documentsDir.empty() || isWritable(programDir)) {
        return RunFolder{programDir, false};
    }
    RunFolder folder{documentsDir / DocumentsSubfolderName(), true};
    std::error_code error;
    std::filesystem::create_directories(folder.path, error);
    return folder;
}

bool IsFolderWritable(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) {
        return false;
    }
    // A name no other probe uses at the same time, so two starts never meet.
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::filesystem::path probe =
        folder / (".mofeng-probe-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    bool created = false;
    {
        std::ofstream file(probe, std::ios::binary | std::ios::trunc);
        created =
            file.is_open() && static_cast<bool>(file << 'x') && static_cast<bool>(file.flush());
    }
    std::filesystem::remove(probe, error);
    return created;
}

}  // namespace mofeng::app
