#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/MineCommand.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

class MineCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_simulator.Start()); }

    int Run(std::vector<std::string> args) {
        m_out.str({});
        m_err.str({});
        args.insert(args.begin(), {"--search-url", m_simulator.BaseUrl(), "--suggest-url",
                                   m_simulator.BaseUrl()});
        return RunMineCommand(args, CommandStreams{m_out, m_err, false});
    }

    std::vector<std::string> OutLines() const {
        std::vector<std::string> lines;
        std::istringstream in(m_out.str());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    sim::Simulator m_simulator;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(MineCommandTest, MustContainIsCheckedAsTheWindowChecksIt) {
    const std::string missing =
        "一定要输入一个能区别于其他关键词的字，例如：连衣裙，可以输入‘裙’字\n";
    const std::string tooLong =
        "一字定江山：精准匹配的话只能输入一个能区别于其他关键词的字，例如：连衣裙，可以输入‘裙’"
        "字\n";
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"连衣裙"}, missing},
        {{"--must", "", "连衣裙"}, missing},
        {{"--must", "裙子", "连衣裙"}, tooLong},
        {{"--must", "abc", "连衣裙"}, tooLong},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), kExitUsage);
        EXPECT_EQ(m_err.str(), c.err);
        EXPECT_EQ(m_out.str(), "");
    }
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--must", "裙"},
                                               {"--must", "裙", "--levels", "4", "连衣裙"},
                                               {"--must", "裙", "a", "b"},
                                               {"--must", "\xFF", "a"}}) {
        EXPECT_EQ(Run(args), kExitUsage) << args.back();
    }
    EXPECT_EQ(m_simulator.RequestCount(), 0u);
}

TEST_F(MineCommandTest, PrintsNumberedRowsAndWritesTheSameKeywordsToAFile) {
    ASSERT_EQ(Run({"--must", "花", "--levels", "1", "碎花连衣裙"}), kExitOk) << m_err.str();
    const std::vector<std::string> lines = OutLines();
    ASSERT_FALSE(lines.empty());
    std::string expectedFile;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string prefix = std::to_string(i + 1) + "\t";
        ASSERT_EQ(lines[i].rfind(prefix, 0), 0u) << lines[i];
        const std::string keyword = lines[i].substr(prefix.size());
        EXPECT_NE(keyword.find("花"), std::string::npos) << keyword;
        expectedFile += runtime::Utf8ToGbk(keyword) + "\r\n";
    }

    const fs::path file =
        fs::temp_directory_path() / ("mofeng-mine-" + std::to_string(::getpid()) + ".txt");
    ASSERT_EQ(Run({"--must", "花", "--levels", "1", "--out", file.string(), "碎花连衣裙"}),
              kExitOk);
    EXPECT_EQ(m_out.str(), "");
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expectedFile);
    fs::remove(file);
}

TEST_F(MineCommandTest, LevelsSetHowFarSuggestionsGo) {
    std::vector<std::size_t> rows;
    for (const char* levels : {"1", "2", "3"}) {
        ASSERT_EQ(Run({"--must", "新", "--levels", levels, "碎花连衣裙"}), kExitOk);
        rows.push_back(OutLines().size());
    }
    EXPECT_LT(rows[0], rows[1]);
    EXPECT_LT(rows[1], rows[2]);
}

TEST_F(MineCommandTest, UnwritableOutputFailsBeforeTheRun) {
    EXPECT_EQ(Run({"--must", "裙", "--out", "/nonexistent-dir/x.txt", "a"}), kExitFailure);
    EXPECT_EQ(m_simulator.RequestCount(), 0u);
}

}  // namespace
}  // namespace mofeng::cli
