#include "app/ImportFileBytes.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "app/ImportTexts.h"
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
            return NotRegularFileText();
        case ImportProblem::TooLarge:
            return TooLargeText();
        case ImportProblem::NotText:
            return NotTextText();
        case ImportProblem::Unsupported:
            return UnsupportedFormatText();
        case ImportProblem::NoKeywords:
            return NoKeywordsText();
        case ImportProblem::NoSuchSheet:
            return NoSuchSheetText();
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
