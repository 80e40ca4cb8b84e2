#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/AtomicFile.h"

namespace mofeng::runtime {
namespace {

namespace fs = std::filesystem;

// Passes bytes on until a budget is spent, then fails, like a full disk.
class FailDevice final : public OutputDevice {
public:
    FailDevice(OutputDevice& inner, std::size_t budget) : m_inner(inner), m_budget(budget) {}
    bool Write(std::string_view bytes) override {
        if (bytes.size() > m_budget) {
            m_inner.Write(bytes.substr(0, m_budget));
            m_budget = 0;
            return false;
        }
        m_budget -= bytes.size();
        return m_inner.Write(bytes);
    }

private:
    OutputDevice& m_inner;
    std::size_t m_budget;
};

DeviceWrapper FailAfter(std::size_t budget) {
    return [budget](OutputDevice& file) { return std::make_unique<FailDevice>(file, budget); };
}

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("mofeng-atomic-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::size_t EntriesInFolder() {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_folder), {}));
    }

    fs::path m_folder;
};

TEST_F(AtomicFileTest, AFailedWriteKeepsTheOldFileWholeAndLeavesNothingBehind) {
    const fs::path target = m_folder / "sheet.xls";
    std::ofstream(target) << "the previous export";
    for (std::size_t budget : {0u, 1u, 5u, 9u}) {
        EXPECT_FALSE(WriteFileAtomically(target, "a new and longer document", FailAfter(budget)));
        EXPECT_EQ(Read(target), "the previous export") << budget;
        EXPECT_EQ(EntriesInFolder(), 1u) << "temporary file left behind";
    }
    // A producer that gives up fails the write the same way.
    EXPECT_FALSE(
        WriteFileAtomically(target, [](OutputDevice& d) { return d.Write("x") && false; }));
    EXPECT_EQ(Read(target), "the previous export");

    const fs::path absent = m_folder / "new.csv";
    EXPECT_FALSE(WriteFileAtomically(absent, "abc", FailAfter(2)));
    EXPECT_FALSE(fs::exists(absent));
}

TEST_F(AtomicFileTest, ASucceededWriteReplacesTheFileAndKeepsItsMode) {
    const fs::path target = m_folder / "list.txt";
    std::ofstream(target) << "an older and much longer content";
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(target, std::string_view("new\0bytes", 9)));
    EXPECT_EQ(Read(target), std::string("new\0bytes", 9));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(EntriesInFolder(), 1u);

    const fs::path fresh = m_folder / "fresh.txt";
    ASSERT_TRUE(WriteFileAtomically(fresh, ""));
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0600, 0600u);  // not mkstemp's private 0600 only
    EXPECT_NE(info.st_mode & 0044, 0u);
}

TEST_F(AtomicFileTest, RefusesTargetsThatAreNoRegularFileWithoutBlocking) {
    const fs::path fifo = m_folder / "pipe.xls";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no reader: opening it to write would hang
    const fs::path link = m_folder / "link.xls";
    std::ofstream(m_folder / "real.xls") << "keep";
    fs::create_symlink(m_folder / "real.xls", link);
    for (const fs::path& target : {fifo, link, m_folder, m_folder / "missing" / "a.xls", fs::path(),
                                   fs::path("/dev/full")}) {
        EXPECT_FALSE(WriteFileAtomically(target, "bytes")) << target;
    }
    EXPECT_EQ(Read(m_folder / "real.xls"), "keep");
    EXPECT_FALSE(IsAbsentOrRegularFile(fifo));
    EXPECT_TRUE(IsAbsentOrRegularFile(m_folder / "absent"));
}

}  // namespace
}  // namespace mofeng::runtime
