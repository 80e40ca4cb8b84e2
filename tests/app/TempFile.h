#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace mofeng::app::test {

// Every byte of the file at `path`; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A path under the temporary folder, holding the given bytes; removed again
// when the object goes. Without bytes the file does not exist.
class TempFile final {
public:
    TempFile() {
        static std::atomic<int> counter{0};
        // A random part too: process ids come round again (soon under Wine),
        // and a file an earlier run left must not be taken for this one's.
        static const unsigned run = std::random_device{}();
        m_path = std::filesystem::temp_directory_path() /
                 ("mofeng-app-" + std::to_string(::getpid()) + "-" + std::to_string(run) + "-" +
                  std::to_string(++counter));
    }
    explicit TempFile(std::string_view bytes) : TempFile() {
        std::ofstream(m_path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
    }
    ~TempFile() { std::filesystem::remove(m_path, m_ignored); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string Read() const { return ReadFile(m_path); }

private:
    std::filesystem::path m_path;
    std::error_code m_ignored;
};

}  // namespace mofeng::app::test
