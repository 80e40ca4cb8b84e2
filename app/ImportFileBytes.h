#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "runtime/CancelToken.h"

namespace mofeng::app {

// Files larger than this are not imported.
inline constexpr std::uint64_t kMaxImportFileBytes = std::uint64_t{1} << 30;

enum class ImportProblem {
    None,
    CannotOpen,      // missing, unreadable, or a read error
    NotRegularFile,  // a folder, FIFO, device, socket
    TooLarge,        // over kMaxImportFileBytes
    Cancelled,
    NotText,      // nothing of it is keyword text (e.g. a spreadsheet that cannot be read)
    Unsupported,  // a file of a kind the import does not read (another binary, an encrypted
                  // workbook)
    NoKeywords,   // a workbook or table without keyword text
    NoSuchSheet,  // the sheet asked for is not in the workbook
};

// The message the window shows for a problem (GBK); empty for None, Cancelled
// and CannotOpen (a file that cannot be opened gives no rows and no message).
std::string ImportProblemText(ImportProblem problem);
// The same in English, for the command line.
std::string ImportProblemEnglish(ImportProblem problem);

struct ImportFileBytes {
    ImportProblem problem = ImportProblem::None;
    std::string bytes;
};

// Reads a file for import without ever blocking on it: it is opened
// non-blocking and refused unless it is a regular file of at most
// kMaxImportFileBytes. Read in chunks; a raised cancel stops it. Unless the
// file is a zip container or UTF-16 (decided on its first chunk), reading
// stops at the first NUL or SUB byte, which ends a keyword file's data. Any
// thread.
ImportFileBytes ReadImportFile(const std::filesystem::path& path,
                               const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::app
