#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TempFile.h"
#include "app/RunFolder.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder final {
public:
    TempFolder() { fs::create_directories(m_path.Path()); }
    ~TempFolder() { fs::remove_all(m_path.Path(), m_ignored); }
    const fs::path& Path() const { return m_path.Path(); }

private:
    test::TempFile m_path;
    std::error_code m_ignored;
};

struct RunFolderCase {
    const char* name;
    bool programWritable;
    bool haveDocuments;
    bool subfolderExists;
    bool expectDocuments;
};

class ChooseRunFolderTest : public ::testing::TestWithParam<RunFolderCase> {};

TEST_P(ChooseRunFolderTest, PicksTheProgramFolderOnlyWhenItIsWritable) {
    const RunFolderCase& c = GetParam();
    TempFolder program;
    TempFolder documents;
    const fs::path subfolder = documents.Path() / u8"墨枫";
    if (c.subfolderExists) {
        fs::create_directory(subfolder);
        std::ofstream(subfolder / "kept.txt") << "kept";
    }
    fs::path asked;
    const RunFolder folder = ChooseRunFolder(
        program.Path(), c.haveDocuments ? documents.Path() : "", [&](const fs::path& dir) {
            asked = dir;
            return c.programWritable;
        });
    EXPECT_EQ(folder.inDocuments, c.expectDocuments);
    EXPECT_EQ(folder.path, c.expectDocuments ? subfolder : program.Path());
    if (c.haveDocuments) {
        EXPECT_EQ(asked, program.Path());  // the program's folder is what gets probed
    }
    // Only a folder that is used is created, and an existing one keeps its files.
    EXPECT_EQ(fs::is_directory(subfolder), c.expectDocuments || c.subfolderExists);
    if (c.subfolderExists) {
        EXPECT_TRUE(fs::exists(subfolder / "kept.txt"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseRunFolderTest,
    ::testing::Values(RunFolderCase{"writable", true, true, false, false},
                      RunFolderCase{"readOnly", false, true, false, true},
                      RunFolderCase{"readOnlySubfolderExists", false, true, true, true},
                      RunFolderCase{"readOnlyNoDocuments", false, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IsFolderWritable, ProbesTheFolderItselfAndLeavesNothingBehind) {
    TempFolder folder;
    EXPECT_TRUE(IsFolderWritable(folder.Path()));
    EXPECT_TRUE(fs::is_empty(folder.Path()));

    const fs::path file = folder.Path() / "plain-file";
    std::ofstream(file) << "x";
    EXPECT_FALSE(IsFolderWritable(file));
    EXPECT_FALSE(IsFolderWritable(folder.Path() / "missing"));
    EXPECT_FALSE(IsFolderWritable(fs::path()));
}

}  // namespace
}  // namespace mofeng::app
