#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "runtime/Table.h"

// The mining list's keyword file: GBK, one keyword per line, every line (the
// last included) ended by CR LF, no header, no byte-order mark.
namespace mofeng::mining {

// The file name for a seed (GBK): seed + "_关键词" + ".txt", as UTF-8 for the
// file system. Empty when the seed cannot be part of one plain file name in
// the run directory: a path separator, "..", a control character, one of
// <>:"|?*, a byte sequence that is not GBK, or a device name (CON, NUL,
// COM1…) as the seed or before its first dot.
std::string ExportFileName(std::string_view seed);

// Column 1 of every row, each followed by CR LF; the rows are taken at once.
std::string ExportText(runtime::Table& list);

// Replaces path with bytes as a whole (runtime::WriteFileAtomically); false,
// leaving it as it was, when it exists and is not a regular file (a FIFO, a
// device, a symbolic link: refused without blocking), when another writer
// holds it locked, or when the write fails. Any thread.
bool WriteKeywordFile(const std::filesystem::path& path, std::string_view bytes);

// Writes the list's keywords to runDirectory / ExportFileName(seed). False,
// with nothing written, when the seed makes no valid file name.
bool ExportKeywords(const std::filesystem::path& runDirectory, std::string_view seed,
                    runtime::Table& list);

}  // namespace mofeng::mining
