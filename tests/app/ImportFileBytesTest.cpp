#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "TempFile.h"
#include "app/ImportFileBytes.h"
#include "app/KeywordImport.h"
#include "common/PeakMemory.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

runtime::MemoryTable MakeTable() {
    return runtime::MemoryTable({{"No", 55}, {"Keyword", 160}});
}

// A file of the given size that takes no disk space.
void MakeSparse(const fs::path& path, std::string_view head, off_t size) {
    std::ofstream(path, std::ios::binary).write(head.data(), std::ssize(head));
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
}

TEST(ImportFileBytes, RefusesWhatIsNoRegularFileWithoutBlocking) {
    test::TempFile fifo;
    ASSERT_EQ(::mkfifo(fifo.Path().c_str(), 0600), 0);
    struct Case {
        fs::path path;
        ImportProblem problem;
    };
    test::TempFile missing;
    const Case cases[] = {
        {fifo.Path(), ImportProblem::NotRegularFile},  // no writer: a blocking open would hang
        {"/dev/zero", ImportProblem::NotRegularFile},
        {"/dev/null", ImportProblem::NotRegularFile},
        {fs::temp_directory_path(), ImportProblem::NotRegularFile},
        {missing.Path(), ImportProblem::CannotOpen},
    };
    for (const Case& c : cases) {
        auto table = MakeTable();
        const ImportResult result = ImportKeywordFile(c.path, table, 1, true);
        EXPECT_FALSE(result.opened) << c.path;
        EXPECT_EQ(result.problem, c.problem) << c.path;
        EXPECT_EQ(table.RowCount(), 0);
        EXPECT_EQ(ImportProblemText(c.problem).empty(), c.problem == ImportProblem::CannotOpen);
    }
}

TEST(ImportFileBytes, RefusesFilesOverTheCap) {
    test::TempFile big;
    MakeSparse(big.Path(), "a\n", static_cast<off_t>(kMaxImportFileBytes) + 1);
    auto table = MakeTable();
    const ImportResult result = ImportKeywordFile(big.Path(), table, 1, true);
    EXPECT_EQ(result.problem, ImportProblem::TooLarge);
    EXPECT_EQ(table.RowCount(), 0);
}

TEST(ImportFileBytes, StopsReadingAtTheEndOfTheData) {
    // 512 MB of NULs after one line: only the line is read.
    test::TempFile nuls;
    MakeSparse(nuls.Path(), "a\nb", off_t{512} << 20);
    const ImportFileBytes read = ReadImportFile(nuls.Path());
    EXPECT_EQ(read.problem, ImportProblem::None);
    EXPECT_EQ(read.bytes, "a\nb");
    EXPECT_LT(read.bytes.capacity(), std::size_t{4} << 20);

    // UTF-16 and zip containers hold NULs and are read whole.
    test::TempFile utf16(
        "\xFF\xFE"
        "a\0\n\0b\0"s);
    EXPECT_EQ(ReadImportFile(utf16.Path()).bytes.size(), 8u);
    test::TempFile zip("PK\x03\x04\0\0\x1A\0"s);
    EXPECT_EQ(ReadImportFile(zip.Path()).bytes.size(), 8u);
    test::TempFile sub(
        "ab\x1A"
        "cd");
    EXPECT_EQ(ReadImportFile(sub.Path()).bytes, "ab");
}

TEST(ImportFileBytes, CancelStopsTheRead) {
    test::TempFile file("a\nb\n");
    runtime::CancelToken cancel;
    cancel.Cancel();
    EXPECT_EQ(ReadImportFile(file.Path(), &cancel).problem, ImportProblem::Cancelled);
}

// Peak resident memory of a child that imports the file, beyond what it had before.
long ImportPeakKilobytes(const fs::path& path) {
    const long grown = mofeng::test::PeakGrowthBytes([&] {
        auto table = MakeTable();
        ImportKeywordFile(path, table, 1, true);
        return table.RowCount() == 1;
    });
    return grown < 0 ? -1 : grown / 1024;
}

TEST(ImportFileBytes, OneHugeLineCostsAboutTwiceItsSize) {
#ifdef MOFENG_UNDER_SANITIZER
    GTEST_SKIP() << "a sanitizer's shadow memory makes the peak meaningless";
#endif
    constexpr long kLineBytes = 100L << 20;
    test::TempFile file(std::string(static_cast<std::size_t>(kLineBytes), 'k'));
    const long grownKb = ImportPeakKilobytes(file.Path());
    ASSERT_GT(grownKb, 0);
    EXPECT_LE(grownKb * 1024, kLineBytes * 23 / 10) << grownKb << " kB";
    std::printf("peak growth %.2f x the line\n", grownKb * 1024.0 / kLineBytes);
}

}  // namespace
}  // namespace mofeng::app
