// The keyword import of any file, through the public import call: it opens,
// every row it reports is in the list, no keyword holds a line end or a NUL,
// a plain ASCII keyword file reads back line for line, and so does a GBK file
// of common words, byte for byte.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/KeywordImport.h"
#include "fuzz/FuzzCheck.h"
#include "runtime/MemoryTable.h"

namespace {

// One in-memory regular file per process, rewritten for each input.
const std::string& FilePath() {
    static const std::string path = [] {
        const int fd = memfd_create("fuzz_keyword_file", 0);
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void Rewrite(std::string_view bytes) {
    const int fd = std::stoi(FilePath().substr(FilePath().rfind('/') + 1));
    FUZZ_CHECK(ftruncate(fd, 0) == 0);
    FUZZ_CHECK(pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
}

std::vector<std::string> Import(std::string_view bytes) {
    Rewrite(bytes);
    mofeng::runtime::MemoryTable table({{"keyword", 100}});
    const mofeng::app::ImportResult result =
        mofeng::app::ImportKeywordFile(FilePath(), table, 0, false);
    // Only a file of a kind the import does not read is refused outright.
    FUZZ_CHECK(result.opened || result.problem == mofeng::app::ImportProblem::Unsupported);
    FUZZ_CHECK(result.rowsAdded == table.RowCount());
    return table.ColumnTexts(0);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

// Lines of common two-byte GBK characters (first level of the national
// standard, leads 0xB0..0xD7) and ASCII letters, chosen by the input.
std::string GbkWordsFile(const uint8_t* data, size_t size) {
    std::string file;
    for (size_t i = 0; i + 1 < size; i += 2) {
        if (data[i] % 8 == 0) {
            file += '\n';
        } else if (data[i] % 8 == 1) {
            file += static_cast<char>('a' + data[i + 1] % 26);
        } else {
            file += static_cast<char>(0xB0 + data[i] % 40);
            file += static_cast<char>(0xA1 + data[i + 1] % 94);
        }
    }
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> keywords = Import(bytes);
    for (const std::string& keyword : keywords) {
        FUZZ_CHECK(keyword.find('\n') == std::string::npos);
        FUZZ_CHECK(keyword.find('\0') == std::string::npos);
    }
    // A zip signature or the export's head makes it a workbook, not lines.
    const bool plainAscii =
        mofeng::app::DetectImportFormat(FilePath(), bytes) ==
            mofeng::app::ImportFormat::PlainText &&
        bytes.find_first_of(std::string_view("\0\r\x1a", 3)) == std::string_view::npos &&
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0; });
    if (plainAscii) {
        FUZZ_CHECK(keywords == SplitLines(bytes));
    }

    const std::string file = GbkWordsFile(data, size);
    FUZZ_CHECK(Import(file) == SplitLines(file));
    return 0;
}
