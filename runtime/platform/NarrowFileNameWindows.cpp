#include "runtime/platform/NarrowFileName.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace mofeng::runtime::platform {
namespace {

// name in the ANSI code page, only when it converts back to the same name:
// a best-fit or default character would name another file, or none.
std::optional<std::string> AnsiForm(const std::wstring& name) {
    if (name.empty()) {
        return std::string();
    }
    const UINT codePage = GetACP();
    // UTF-8 takes neither the flag nor the default-character report.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* report = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(name.size());
    const int size =
        WideCharToMultiByte(codePage, flags, name.data(), length, nullptr, 0, nullptr, report);
    if (size <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, name.data(), length, narrow.data(), size, nullptr, report);
    std::wstring back(name.size(), L'\0');
    const int units = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, narrow.data(), size,
                                          back.data(), length);
    if (usedDefault || units != length || back != name) {
        return std::nullopt;
    }
    return narrow;
}

std::wstring ShortName(const std::wstring& name) {
    const DWORD size = GetShortPathNameW(name.c_str(), nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring shortName(size, L'\0');
    const DWORD length = GetShortPathNameW(name.c_str(), shortName.data(), size);
    shortName.resize(length < size ? length : 0);
    return shortName;
}

}  // namespace

std::optional<std::string> NarrowFileName(const std::filesystem::path& path) {
    if (std::optional<std::string> ansi = AnsiForm(path.native())) {
        return ansi;
    }
    const std::wstring shortName = ShortName(path.native());
    return shortName.empty() ? std::nullopt : AnsiForm(shortName);
}

}  // namespace mofeng::runtime::platform
