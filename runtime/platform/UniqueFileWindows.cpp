#include "runtime/platform/UniqueFile.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <random>
#include <string>

#include "runtime/PathText.h"

namespace mofeng::runtime::platform {

// CREATE_NEW fails when the name exists, so a name is never shared even
// with another process trying the same one at the same moment.
std::filesystem::path CreateUniqueFile(const std::filesystem::path& folder,
                                       std::string_view prefix) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kLetters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        for (int i = 0; i < 6; ++i) {
            name += kLetters[pick(random)];
        }
        const std::filesystem::path path = folder / PathFromUtf8(name);
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return path;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return {};
        }
    }
    return {};
}

}  // namespace mofeng::runtime::platform
