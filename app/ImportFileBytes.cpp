#include "app/ImportFileBytes.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "app/KeywordFileText.h"
#include "runtime/platform/InputFile.h"

namespace mofeng::app {
namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
constexpr std::string_view kZipSignature = "PK\x03\x04";
constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// Position of the first NUL or SUB in [from, end of bytes), npos when none.
std::size_t DataEnd(const std::string& bytes, std::size_t from) {
    const auto it = std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(),
                                 [](char c) { return c == '\0' || c == '\x1A'; });
    return it == bytes.end() ? std::string::npos : static_cast<std::size_t>(it - bytes.begin());
}

}  // namespace

std::string ImportProblemText(ImportProblem problem) {
    switch (problem) {
        case ImportProblem::NotRegularFile:
            // 不是普通文件，无法导入
            return "\xB2\xBB\xCA\xC7\xC6\xD5\xCD\xA8\xCE\xC4\xBC\xFE\xA3\xAC\xCE\xDE\xB7\xA8\xB5"
                   "\xBC"
                   "\xC8\xEB";
        case ImportProblem::TooLarge:
            // 文件超过1GB，无法导入
            return "\xCE\xC4\xBC\xFE\xB3\xAC\xB9\xFD"
                   "1GB\xA3\xAC\xCE\xDE\xB7\xA8\xB5\xBC\xC8\xEB";
        case ImportProblem::NotText:
            // 无法识别此文件的内容
            return "\xCE\xDE\xB7\xA8\xCA\xB6\xB1\xF0\xB4\xCB\xCE\xC4\xBC\xFE\xB5\xC4\xC4\xDA\xC8"
                   "\xDD";
        case ImportProblem::Unsupported:
            // 不支持的文件格式
            return "\xB2\xBB\xD6\xA7\xB3\xD6\xB5\xC4\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD";
        case ImportProblem::NoKeywords:
            // 未找到关键词
            return "\xCE\xB4\xD5\xD2\xB5\xBD\xB9\xD8\xBC\xFC\xB4\xCA";
        case ImportProblem::NoSuchSheet:
            // 找不到指定的工作表
            return "\xD5\xD2\xB2\xBB\xB5\xBD\xD6\xB8\xB6\xA8\xB5\xC4\xB9\xA4\xD7\xF7\xB1\xED";
        case ImportProblem::CannotOpen:  // a file that cannot be opened is passed over silently
        case ImportProblem::None:
        case ImportProblem::Cancelled:
            break;
    }
    return {};
}

std::string ImportProblemEnglish(ImportProblem problem) {
    switch (problem) {
        case ImportProblem::CannotOpen:
            return "cannot be read";
        case ImportProblem::NotRegularFile:
            return "is not a regular file";
        case ImportProblem::TooLarge:
            return "is larger than 1 GiB";
        case ImportProblem::NotText:
            return "holds no readable keyword list";
        case ImportProblem::Cancelled:
            return "reading was cancelled";
        case ImportProblem::Unsupported:
            return "is not a file format the import reads";
        case ImportProblem::NoKeywords:
            return "holds no keywords";
        case ImportProblem::NoSuchSheet:
            return "has no such sheet";
        case ImportProblem::None:
            break;
    }
    return {};
}

ImportFileBytes ReadImportFile(const std::filesystem::path& path,
                               const runtime::CancelToken* cancel) {
    ImportFileBytes result;
    runtime::platform::InputFile file(path);
    runtime::platform::FileKind kind{};
    std::uint64_t size = 0;
    if (!file.IsOpen() || !file.Examine(kind, size)) {
        result.problem = ImportProblem::CannotOpen;
        return result;
    }
    if (kind != runtime::platform::FileKind::Regular) {
        result.problem = ImportProblem::NotRegularFile;
        return result;
    }
    if (size > kMaxImportFileBytes) {
        result.problem = ImportProblem::TooLarge;
        return result;
    }
    std::string& bytes = result.bytes;
    // The size known now is reserved whole, so the buffer never regrows
    // unless the file grows while it is read.
    bytes.reserve(static_cast<std::size_t>(size));
    bool endsAtNul = true;
    char spill[1 << 16];
    bool decided = false;
    for (;;) {
        if (cancel != nullptr && cancel->IsCancelled()) {
            return {ImportProblem::Cancelled, {}};
        }
        const std::size_t before = bytes.size();
        const std::size_t room = bytes.capacity() - before;
        long long n = 0;
        if (room > 0) {
            const std::size_t want = std::min(room, kChunkBytes);
            bytes.resize(before + want);
            n = file.Read(bytes.data() + before, want);
            bytes.resize(before + static_cast<std::size_t>(std::max<long long>(n, 0)));
        } else {
            n = file.Read(spill, sizeof spill);
            if (n > 0) {
                bytes.append(spill, static_cast<std::size_t>(n));
            }
        }
        if (n < 0) {
            return {ImportProblem::CannotOpen, {}};
        }
        if (n == 0) {
            break;
        }
        if (bytes.size() > kMaxImportFileBytes) {  // grew while being read
            return {ImportProblem::TooLarge, {}};
        }
        if (!decided) {
            const std::string_view head = bytes;
            endsAtNul = !head.starts_with(kZipSignature) && !head.starts_with(kOle2Signature) &&
                        !LooksLikeUtf16(head);
            decided = true;
        }
        if (endsAtNul) {
            if (const std::size_t end = DataEnd(bytes, before); end != std::string::npos) {
                bytes.resize(end);
                if (bytes.capacity() > 2 * end + kChunkBytes) {
                    bytes.shrink_to_fit();  // the rest of the reservation was never used
                }
                break;
            }
        }
    }
    return result;
}

}  // namespace mofeng::app
