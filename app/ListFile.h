#pragma once

#include <filesystem>
#include <vector>

#include "runtime/Table.h"

namespace mofeng::app {

// A list file (.mofeng): one list in the session's schema, built in memory
// and written through runtime::WriteFileAtomically. False on failure (an
// existing file stays as it was) or when path is not a regular file.
bool SaveListFile(const std::filesystem::path& path, const std::vector<runtime::Row>& rows);
// The rows of a list file; false when it is absent, not a regular file, or
// not a readable list file (damaged anywhere: never a part of the list).
bool LoadListFile(const std::filesystem::path& path, std::vector<runtime::Row>& rows);

}  // namespace mofeng::app
