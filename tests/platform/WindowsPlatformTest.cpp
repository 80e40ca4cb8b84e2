#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/ImportFileBytes.h"
#include "app/ListFile.h"
#include "app/SessionStore.h"
#include "mining/KeywordExport.h"
#include "mining/MiningList.h"
#include "runtime/AtomicFile.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "runtime/PathText.h"
#include "runtime/platform/ConsoleOutput.h"
#include "runtime/platform/FileKind.h"

namespace mofeng {
namespace {

namespace fs = std::filesystem;
using runtime::PathFromUtf8;

// A fresh folder under the temporary folder whose own name needs UTF-16.
class ScratchFolder {
public:
    ScratchFolder() {
        m_path = fs::temp_directory_path() /
                 PathFromUtf8("墨枫-" + std::to_string(GetCurrentProcessId()) + "-" +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& Path() const { return m_path; }
    // The names in the folder, for a failure message.
    std::string Entries() const {
        std::string names;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_path)) {
            names += runtime::PathToUtf8(entry.path().filename()) + " ";
        }
        return names;
    }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_path), fs::directory_iterator()));
    }

private:
    fs::path m_path;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class FailingDevice final : public runtime::OutputDevice {
public:
    explicit FailingDevice(runtime::OutputDevice& file) : m_file(file) {}
    bool Write(std::string_view bytes) override {
        return m_file.Write(bytes.substr(0, bytes.size() / 2)) && false;
    }

private:
    runtime::OutputDevice& m_file;
};

TEST(WindowsAtomicFile, ReplacesWholeOrKeepsTheOldFile) {
    const ScratchFolder folder;
    const fs::path target = folder.Path() / PathFromUtf8("列表.txt");
    ASSERT_TRUE(runtime::WriteFileAtomically(target, "old contents"));
    ASSERT_TRUE(runtime::WriteFileAtomically(target, "new"));
    EXPECT_EQ(ReadAll(target), "new");

    const auto failing = [](runtime::OutputDevice& file) {
        return std::make_unique<FailingDevice>(file);
    };
    EXPECT_FALSE(runtime::WriteFileAtomically(target, "half written", failing));
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_FALSE(runtime::WriteFileAtomically(folder.Path() / "absent.txt", "x", failing));
    EXPECT_FALSE(fs::exists(folder.Path() / "absent.txt"));
    EXPECT_EQ(folder.EntryCount(), 1u) << "a temporary file was left behind";

    // A target another program holds open without sharing its deletion
    // cannot be replaced: the write fails and leaves it as it was.
    const HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(runtime::WriteFileAtomically(target, "while held"));
    CloseHandle(held);
    EXPECT_EQ(ReadAll(target), "new");
    // None of ours is left (Wine's ReplaceFileW leaves its own rf*.tmp here).
    EXPECT_EQ(folder.Entries().find(".列表.txt."), std::string::npos) << folder.Entries();
}

TEST(WindowsAtomicFile, RefusesFoldersAndDevices) {
    const ScratchFolder folder;
    fs::create_directory(folder.Path() / "sub");
    EXPECT_FALSE(runtime::WriteFileAtomically(folder.Path() / "sub", "x"));
    EXPECT_FALSE(runtime::IsAbsentOrRegularFile("NUL"));
    EXPECT_FALSE(runtime::IsAbsentOrRegularFile(R"(\\.\CON)"));
    EXPECT_TRUE(runtime::IsAbsentOrRegularFile(folder.Path() / "missing" / "x.txt"));
    EXPECT_FALSE(runtime::WriteFileAtomically(folder.Path() / "missing" / "x.txt", "x"));
}

// The mining export's file name carries the seed: a GBK keyword must reach
// the file system as the same characters and come back through the import.
TEST(WindowsFileNames, KeywordInAFileNameRoundTrips) {
    const ScratchFolder folder;
    runtime::MemoryTable list(mining::MiningListColumns());
    list.AppendRows({{"1", runtime::Utf8ToGbk("连衣裙 夏")}, {"2", "abc"}});
    const std::string seed = runtime::Utf8ToGbk("连衣裙");
    ASSERT_TRUE(mining::ExportKeywords(folder.Path(), seed, list));

    const fs::path expected =
        folder.Path() / std::wstring(L"\u8FDE\u8863\u88D9_\u5173\u952E\u8BCD.txt");
    EXPECT_NE(GetFileAttributesW(expected.c_str()), INVALID_FILE_ATTRIBUTES);
    const fs::path listed = fs::directory_iterator(folder.Path())->path();
    EXPECT_EQ(runtime::PathToUtf8(listed.filename()), "连衣裙_关键词.txt");

    const app::ImportFileBytes back = app::ReadImportFile(listed);
    EXPECT_EQ(back.problem, app::ImportProblem::None);
    EXPECT_EQ(back.bytes, runtime::Utf8ToGbk("连衣裙 夏") + "\r\nabc\r\n");

    // The list file (SQLite, its own temporary name and replace) too.
    const fs::path saved = folder.Path() / PathFromUtf8("关键词表.mofeng");
    ASSERT_TRUE(app::SaveListFile(saved, {{seed, "1"}}));
    ASSERT_TRUE(app::SaveListFile(saved, {{seed, "2"}}));
    std::vector<runtime::Row> rows;
    ASSERT_TRUE(app::LoadListFile(saved, rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], seed);
    EXPECT_EQ(rows[0][1], "2");
}

TEST(WindowsImportOpen, OnlyRegularFilesAreRead) {
    const ScratchFolder folder;
    EXPECT_EQ(app::ReadImportFile(folder.Path()).problem, app::ImportProblem::NotRegularFile);
    EXPECT_EQ(app::ReadImportFile("NUL").problem, app::ImportProblem::NotRegularFile);
    EXPECT_EQ(app::ReadImportFile(folder.Path() / "absent.txt").problem,
              app::ImportProblem::CannotOpen);

    std::string problem;
    EXPECT_EQ(runtime::platform::KindOfFile(folder.Path() / "absent.txt", &problem),
              runtime::platform::FileKind::Missing);
    EXPECT_EQ(problem, "No such file or directory");
    EXPECT_EQ(runtime::platform::KindOfFile(folder.Path()), runtime::platform::FileKind::Directory);
    EXPECT_EQ(runtime::platform::KindOfFile("NUL"), runtime::platform::FileKind::Other);

    // A file another program is writing can still be imported.
    const fs::path open = folder.Path() / "open.txt";
    const HANDLE writer = CreateFileW(open.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(writer, "abc\r\n", 5, &written, nullptr);
    EXPECT_EQ(app::ReadImportFile(open).bytes, "abc\r\n");
    CloseHandle(writer);
}

TEST(WindowsConsole, Utf8TextReachesTheConsoleAsWholeUtf16Characters) {
    std::wstring shown;
    int writes = 0;
    {
        runtime::platform::Utf8ConsoleBuffer buffer([&](std::wstring_view text) {
            shown += text;
            ++writes;
            return true;
        });
        std::ostream out(&buffer);
        const std::string table = "关键词\t指数\n";
        // Split inside the first character and inside the tab's neighbour.
        out.write(table.data(), 2);
        out.flush();
        EXPECT_EQ(shown, L"");
        out.write(table.data() + 2, 5);
        out.flush();
        EXPECT_EQ(shown, L"\u5173\u952E");
        out << table.substr(7) << "--\xFF!" << std::flush;
    }
    EXPECT_EQ(shown, L"\u5173\u952E\u8BCD\t\u6307\u6570\n--\uFFFD!");
    EXPECT_GE(writes, 2);

    runtime::platform::Utf8ConsoleBuffer refusing([](std::wstring_view) { return false; });
    std::ostream failing(&refusing);
    failing << "x" << std::flush;
    EXPECT_TRUE(failing.fail());
}

}  // namespace
}  // namespace mofeng
