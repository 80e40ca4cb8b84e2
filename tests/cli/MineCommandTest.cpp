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
#include "tests/platform/Fifo.h"
#include "tests/sim/SkipWithoutHttps.h"

namespace mofeng::cli {
namespace {

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
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    sim::Simulator m_simulator;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(MineCommandTest, RefusesBadArgumentsBeforeAnyRequest) {
    const std::string missing =
        "一定要输入一个能区别于其他关键词的字，例如：连衣裙，可以输入‘裙’字\n";
    const std::string tooLong =
        "一字定江山：精准匹配的话只能输入一个能区别于其他关键词的字，例如：连衣裙，可以输入‘裙’"
        "字\n";
    const std::pair<std::vector<std::string>, std::string> messages[] = {
        {{"连衣裙"}, missing},
        {{"--must", "", "连衣裙"}, missing},
        {{"--must", "裙子", "连衣裙"}, tooLong},
        {{"--must", "abc", "连衣裙"}, tooLong},
    };
    for (const auto& [args, message] : messages) {
        EXPECT_EQ(Run(args), kExitUsage);
        EXPECT_EQ(m_err.str(), message);
    }
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--must", "裙"}, {"--must", "裙", "--levels", "4", "a"}, {"--must", "\xFF", "a"}}) {
        EXPECT_EQ(Run(args), kExitUsage) << args.back();
    }
    EXPECT_EQ(Run({"--must", "裙", "--out", "/nonexistent-dir/x.txt", "a"}), kExitFailure);
    EXPECT_EQ(m_simulator.RequestCount(), 0u);
}

TEST_F(MineCommandTest, PrintsNumberedRowsOrWritesTheKeywordFile) {
    ASSERT_EQ(Run({"--must", "花", "--levels", "1", "碎花连衣裙"}), kExitOk) << m_err.str();
    const std::vector<std::string> lines = OutLines();
    ASSERT_FALSE(lines.empty());
    std::string expectedFile;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string prefix = std::to_string(i + 1) + "\t";
        ASSERT_EQ(lines[i].rfind(prefix, 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find("花"), std::string::npos) << lines[i];
        expectedFile += runtime::Utf8ToGbk(lines[i].substr(prefix.size())) + "\r\n";
    }

    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("mofeng-mine-" + std::to_string(::getpid()) + ".txt");
    ASSERT_EQ(Run({"--must", "花", "--levels", "1", "--out", file.string(), "碎花连衣裙"}),
              kExitOk);
    EXPECT_EQ(m_out.str(), "");
    {
        std::ifstream in(file, std::ios::binary);  // closed before the removal: Windows refuses
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expectedFile);
    }
    std::filesystem::remove(file);

    // Each level more finds more here.
    std::vector<std::size_t> rows;
    for (const char* levels : {"1", "2", "3"}) {
        ASSERT_EQ(Run({"--must", "新", "--levels", levels, "碎花连衣裙"}), kExitOk);
        rows.push_back(OutLines().size());
    }
    EXPECT_LT(rows[0], rows[1]);
    EXPECT_LT(rows[1], rows[2]);
}

TEST_F(MineCommandTest, WeightsAddAColumnButNoRequest) {
    ASSERT_EQ(Run({"--must", "花", "--levels", "2", "碎花连衣裙"}), kExitOk) << m_err.str();
    const std::vector<std::string> plain = OutLines();
    const std::uint64_t requests = m_simulator.RequestCount();
    ASSERT_EQ(Run({"--weights", "--must", "花", "--levels", "2", "碎花连衣裙"}), kExitOk);
    EXPECT_EQ(m_simulator.RequestCount() - requests, requests);
    const std::vector<std::string> weighted = OutLines();
    ASSERT_EQ(weighted.size(), plain.size());
    std::size_t named = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        // The line as without --weights, then a tab and a whole number or nothing.
        ASSERT_EQ(weighted[i].rfind(plain[i] + "\t", 0), 0u) << weighted[i];
        const std::string weight = weighted[i].substr(plain[i].size() + 1);
        EXPECT_EQ(weight.find_first_not_of("0123456789"), std::string::npos) << weighted[i];
        named += weight.empty() ? 0 : 1;
    }
    EXPECT_GT(named, 0u);
}

TEST_F(MineCommandTest, MiningRunsOverHttpsWithATrustedAuthority) {
    MOFENG_SKIP_WITHOUT_HTTPS();
    ASSERT_EQ(Run({"--must", "花", "--levels", "2", "碎花连衣裙"}), kExitOk) << m_err.str();
    const std::string plain = m_out.str();
    ASSERT_FALSE(OutLines().empty());

    sim::SimulatorOptions secure;
    secure.testAuthority = true;
    sim::Simulator https(secure);
    ASSERT_TRUE(https.Start());
    m_out.str({});
    m_err.str({});
    const std::vector<std::string> args = {"--search-url",  https.BaseUrl(),
                                           "--suggest-url", https.BaseUrl(),
                                           "--ca-file",     https.TestAuthorityCaFile(),
                                           "--jobs",        "2",
                                           "--must",        "花",
                                           "--levels",      "2",
                                           "碎花连衣裙"};
    ASSERT_EQ(RunMineCommand(args, CommandStreams{m_out, m_err, false}), kExitOk) << m_err.str();
    EXPECT_EQ(m_out.str(), plain);
    EXPECT_LT(https.ConnectionCount(), https.RequestCount());
}

TEST_F(MineCommandTest, SuggestionTagsAreOfferedOnlyWhenAskedFor) {
    // The same keyword graph, once with today's suggestion replies (decimals
    // and the magic block) and a logged-in search page.
    sim::SimulatorOptions decimals;
    decimals.decimalCounts = true;
    sim::Simulator plain(decimals);
    sim::SimulatorOptions current;
    current.today = true;
    sim::Simulator today(current);
    ASSERT_TRUE(plain.Start());
    ASSERT_TRUE(today.Start());
    auto mine = [&](const sim::Simulator& simulator, bool tags) {
        std::vector<std::string> args = {"--search-url",  simulator.BaseUrl(),
                                         "--suggest-url", simulator.BaseUrl(),
                                         "--cookie",      "sess=1",
                                         "--must",        "花",
                                         "--levels",      "2",
                                         "碎花连衣裙"};
        if (tags) {
            args.insert(args.begin(), "--tags");
        }
        m_out.str({});
        m_err.str({});
        EXPECT_EQ(RunMineCommand(args, CommandStreams{m_out, m_err, false}), kExitOk)
            << m_err.str();
        return OutLines();
    };
    const std::vector<std::string> before = mine(plain, false);
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(mine(today, false), before);
    const std::vector<std::string> withTags = mine(today, true);
    EXPECT_GT(withTags.size(), before.size());
}

TEST_F(MineCommandTest, TheKeywordFileIsWrittenWholeOrRefused) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("mofeng-mine-out-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // A FIFO nobody reads: refused at once instead of waiting for a reader.
    if (test::kFileSystemHasFifos) {
        const std::filesystem::path fifo = folder / "fifo.txt";
        ASSERT_TRUE(test::MakeFifo(fifo));
        EXPECT_EQ(Run({"--must", "花", "--levels", "1", "--out", fifo.string(), "碎花连衣裙"}),
                  kExitFailure);
        EXPECT_NE(m_err.str().find("cannot write"), std::string::npos) << m_err.str();
    }
    // A file replaced leaves no temporary file beside it.
    const std::filesystem::path file = folder / "keywords.txt";
    std::ofstream(file) << "old";
    ASSERT_EQ(Run({"--must", "花", "--levels", "1", "--out", file.string(), "碎花连衣裙"}),
              kExitOk);
    {
        std::ifstream in(file, std::ios::binary);
        const std::string written{std::istreambuf_iterator<char>(in), {}};
        EXPECT_NE(written.find(runtime::Utf8ToGbk("花")), std::string::npos);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}),
              test::kFileSystemHasFifos ? 2 : 1);
    std::filesystem::remove_all(folder);
}

TEST_F(MineCommandTest, JobsGiveTheOutputOfOneJob) {
    ASSERT_EQ(Run({"--must", "花", "--levels", "2", "碎花连衣裙"}), kExitOk) << m_err.str();
    const std::string one = m_out.str();
    ASSERT_FALSE(one.empty());
    for (const char* jobs : {"2", "8", "16"}) {
        ASSERT_EQ(Run({"--jobs", jobs, "--must", "花", "--levels", "2", "碎花连衣裙"}), kExitOk);
        EXPECT_EQ(m_out.str(), one) << jobs << " jobs";
    }
    for (const char* bad : {"0", "17", "-1", "x", "", "2.5", "008"}) {
        EXPECT_EQ(Run({"--jobs", bad, "--must", "花", "a"}), kExitUsage) << bad;
        EXPECT_NE(m_err.str().find("--jobs"), std::string::npos) << m_err.str();
    }
}

TEST_F(MineCommandTest, FailedExpansionsAreSummedUpAndExitWithThree) {
    ASSERT_EQ(Run({"--must", "花", "--levels", "1", "碎花连衣裙"}), kExitOk) << m_err.str();
    EXPECT_NE(m_err.str().find("expansions: 正常 "), std::string::npos) << m_err.str();
    EXPECT_NE(m_err.str().find("失败 0, 被拦截 0"), std::string::npos) << m_err.str();
    // The suggestion server is gone: the related searches still give rows.
    ASSERT_EQ(Run({"--suggest-url", "http://127.0.0.1:1", "--retries", "0", "--must", "花",
                   "--levels", "1", "碎花连衣裙"}),
              kExitTrouble);
    EXPECT_FALSE(OutLines().empty());
    EXPECT_EQ(m_err.str().find("失败 0,"), std::string::npos) << m_err.str();
}

}  // namespace
}  // namespace mofeng::cli
