#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace mofeng::runtime {

// Where the bytes of a file go; the seam tests use to make a write fail.
class OutputDevice {
public:
    virtual ~OutputDevice() = default;
    // Writes all of bytes; false when that failed (what went out is unknown).
    virtual bool Write(std::string_view bytes) = 0;
};

// Wraps the device that writes the temporary file (tests: one that fails
// after some bytes). Null: the file's own device.
using DeviceWrapper = std::function<std::unique_ptr<OutputDevice>(OutputDevice& file)>;

// Writes bytes to target as a whole or not at all: into a new temporary file
// in target's folder, flushed to disk, then renamed over target. On any
// failure the temporary file is removed and target is left as it was (still
// whole, or still absent). Refused without blocking, and without touching
// anything, when target exists and is not a regular file (a folder, a FIFO,
// a device, a symbolic link), when target has no folder that exists, or for
// an empty path. A new file gets the usual permissions (0666 less the
// umask); a replaced one keeps its mode. Any thread.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         const DeviceWrapper& wrap = nullptr);

// The same, for a writer that produces the bytes piece by piece into the
// device; its false fails the write.
bool WriteFileAtomically(const std::filesystem::path& target,
                         const std::function<bool(OutputDevice&)>& produce,
                         const DeviceWrapper& wrap = nullptr);

// True when path may be written by WriteFileAtomically: absent, or a regular
// file (symbolic links are not followed). Never blocks.
bool IsAbsentOrRegularFile(const std::filesystem::path& path);

}  // namespace mofeng::runtime
