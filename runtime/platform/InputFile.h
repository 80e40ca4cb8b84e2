#pragma once

#include <cstdint>
#include <filesystem>

#include "runtime/platform/FileKind.h"

// A file opened for reading in a way that never blocks the opener: a FIFO
// without a writer or a device is opened without waiting (and never becomes
// the controlling terminal), so that its kind can be checked before anything
// is read.
namespace mofeng::runtime::platform {

class InputFile final {
public:
    explicit InputFile(const std::filesystem::path& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool IsOpen() const;
    // Kind and size in bytes of what was opened; false when the system
    // cannot say.
    bool Examine(FileKind& kind, std::uint64_t& size) const;
    // Reads up to size bytes: their count, 0 at the end, -1 on an error
    // (an interrupted read is repeated).
    long long Read(char* buffer, std::size_t size);

private:
    std::intptr_t m_handle;
};

}  // namespace mofeng::runtime::platform
