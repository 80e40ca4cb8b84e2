#include "mining/KeywordExport.h"

#include <array>

#include "mining/MiningList.h"
#include "runtime/AtomicFile.h"
#include "runtime/CodePage.h"
#include "runtime/PathText.h"
#include "runtime/platform/Files.h"

namespace mofeng::mining {
namespace {

constexpr std::string_view kNameSuffix = "_关键词";
constexpr std::string_view kExtension = ".txt";
constexpr std::string_view kReservedCharacters = "<>:\"|?*/\\";
constexpr std::array<std::string_view, 22> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsDeviceName(std::string_view stem) {
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    for (std::string_view device : kDeviceNames) {
        if (EqualsIgnoringAsciiCase(stem, device)) {
            return true;
        }
    }
    return false;
}

// The checks run on the UTF-8 form: its multi-byte sequences hold no ASCII
// bytes, so a GBK trail byte that looks like "\" or "|" is not mistaken.
bool IsUsableInFileName(std::string_view utf8Seed) {
    for (const char c : utf8Seed) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || kReservedCharacters.find(c) != std::string_view::npos) {
            return false;
        }
    }
    if (utf8Seed.find("..") != std::string_view::npos) {
        return false;
    }
    // "\xEF\xBF\xBD": a byte sequence that was not GBK.
    if (utf8Seed.find("\xEF\xBF\xBD") != std::string_view::npos) {
        return false;
    }
    // A device name stays one with anything after a dot; the seed alone is
    // refused too, as it reads as one.
    return !IsDeviceName(utf8Seed.substr(0, utf8Seed.find('.')));
}

}  // namespace

std::string ExportFileName(std::string_view seed) {
    const std::string utf8Seed = runtime::GbkToUtf8(seed);
    if (!IsUsableInFileName(utf8Seed)) {
        return {};
    }
    return utf8Seed + std::string(kNameSuffix) + std::string(kExtension);
}

std::string ExportText(runtime::Table& list) {
    std::string text;
    for (const std::string& keyword : list.ColumnTexts(kKeywordColumn)) {
        text += keyword;
        text += "\r\n";
    }
    return text;
}

bool WriteKeywordFile(const std::filesystem::path& path, std::string_view bytes) {
    // Checked first without opening anything: a FIFO or device at the target
    // must never block the caller; a file another writer holds is left alone.
    if (!runtime::IsAbsentOrRegularFile(path) || runtime::platform::HeldByAnotherWriter(path)) {
        return false;
    }
    return runtime::WriteFileAtomically(path, bytes);
}

bool ExportKeywords(const std::filesystem::path& runDirectory, std::string_view seed,
                    runtime::Table& list) {
    const std::string name = ExportFileName(seed);
    if (name.empty() || runDirectory.empty()) {
        return false;
    }
    return WriteKeywordFile(runDirectory / runtime::PathFromUtf8(name), ExportText(list));
}

}  // namespace mofeng::mining
