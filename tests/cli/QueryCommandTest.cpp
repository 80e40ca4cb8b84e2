#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <thread>

#include "cli/OutputText.h"
#include "cli/QueryCommand.h"
#include "cli/TextField.h"
#include "net/LocalHttpServer.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

const char* const kHeader =
    "序号\t关键词\t宝贝数量\t昨日搜索指数\t7天平均指数\t指数趋势\t竞争倍数\t趋势比(斜率)\t状态";

using printed::Lines;

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1) {
        fields.push_back(line.substr(from, tab - from));
    }
    fields.push_back(line.substr(from));
    return fields;
}

class QueryCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_simulator.Start());
        m_folder = fs::temp_directory_path() /
                   ("mofeng-cli-test-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
        // GBK, CR LF, as the import reads it.
        std::ofstream(m_folder / "keywords.txt", std::ios::binary)
            << runtime::Utf8ToGbk("连衣裙\r\n碎花连衣裙\r\nshirt\tlong\r\n");
    }
    void TearDown() override { fs::remove_all(m_folder); }

    int Run(std::vector<std::string> args) {
        m_out.str({});
        m_err.str({});
        return RunQueryCommand(args, CommandStreams{m_out, m_err, false});
    }

    std::vector<std::string> SimulatorArgs(std::vector<std::string> more) const {
        std::vector<std::string> args = {"--search-url", m_simulator.BaseUrl(), "--index-url",
                                         m_simulator.BaseUrl()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    std::string Keywords() const { return (m_folder / "keywords.txt").string(); }

    sim::Simulator m_simulator;
    fs::path m_folder;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(QueryCommandTest, WritesTheFilledListAsUtf8Table) {
    ASSERT_EQ(Run(SimulatorArgs({Keywords()})), kExitOk) << m_err.str();
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], kHeader);
    const char* const keywords[] = {"连衣裙", "碎花连衣裙", "shirt long"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(keywords[i]);
        const std::vector<std::string> fields = Fields(lines[i + 1]);
        ASSERT_EQ(fields.size(), 9u);
        EXPECT_TRUE(fields[8] == "正常" || fields[8] == "无数据") << fields[8];
        EXPECT_EQ(fields[0], std::to_string(i + 1));
        EXPECT_EQ(fields[1], keywords[i]);
        EXPECT_EQ(fields[2], std::to_string(m_simulator.ExpectedListingCount(
                                 i == 2 ? std::string("shirt\tlong") : keywords[i])));
    }
    EXPECT_EQ(m_simulator.RequestCount(), 6u);
}

TEST_F(QueryCommandTest, WritesASpreadsheetWithOut) {
    const fs::path sheet = m_folder / "out.xls";
    ASSERT_EQ(Run(SimulatorArgs({"--out", sheet.string(), Keywords()})), kExitOk) << m_err.str();
    EXPECT_TRUE(m_out.str().empty());
    std::ifstream in(sheet, std::ios::binary);
    const std::string document((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(document.find(runtime::Utf8ToGbk("<td>碎花连衣裙</td>")), std::string::npos);
    EXPECT_NE(document.find(runtime::Utf8ToGbk("趋势比(斜率)")), std::string::npos);
}

TEST_F(QueryCommandTest, OutChoosesTheFormatByExtension) {
    const fs::path csv = m_folder / "out.csv";
    const fs::path xlsx = m_folder / "out.XLSX";
    ASSERT_EQ(Run(SimulatorArgs({"--out", csv.string(), Keywords()})), kExitOk) << m_err.str();
    ASSERT_EQ(Run(SimulatorArgs({"--out", xlsx.string(), Keywords()})), kExitOk) << m_err.str();
    std::ifstream in(csv, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF序号,关键词,")) << text;
    EXPECT_NE(text.find("\r\n2,碎花连衣裙,"), std::string::npos) << text;
    std::ifstream book(xlsx, std::ios::binary);
    const std::string zip((std::istreambuf_iterator<char>(book)), {});
    EXPECT_TRUE(zip.starts_with("PK\x03\x04"));
}

TEST_F(QueryCommandTest, TheWholeQueryRunsOverHttpsWithATrustedAuthority) {
    ASSERT_EQ(Run(SimulatorArgs({Keywords()})), kExitOk) << m_err.str();
    const std::string plain = m_out.str();

    sim::SimulatorOptions secure;
    secure.testAuthority = true;
    sim::Simulator https(secure);
    ASSERT_TRUE(https.Start());
    const std::vector<std::string> endpoints = {"--search-url",  https.BaseUrl(), "--index-url",
                                                https.BaseUrl(), "--retries",     "0"};
    std::vector<std::string> trusted = endpoints;
    trusted.insert(trusted.end(), {"--ca-file", https.TestAuthorityCaFile(), Keywords()});
    ASSERT_EQ(Run(trusted), kExitOk) << m_err.str();
    EXPECT_EQ(m_out.str(), plain);
    EXPECT_EQ(https.RequestCount(), 6u);
    EXPECT_LT(https.ConnectionCount(), 6u);  // kept alive between the requests

    // Without the authority: every row fails and nothing is sent.
    std::vector<std::string> untrusted = endpoints;
    untrusted.push_back(Keywords());
    ASSERT_EQ(Run(untrusted), kExitTrouble);
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(Fields(lines[i])[8], "失败") << lines[i];
    }
    EXPECT_EQ(https.RequestCount(), 6u);

    // --demo --https makes its own authority and gives the plain demo's table.
    ASSERT_EQ(Run({"--demo", Keywords()}), kExitOk) << m_err.str();
    const std::string demo = m_out.str();
    ASSERT_EQ(Run({"--demo", "--https", Keywords()}), kExitOk) << m_err.str();
    EXPECT_EQ(m_out.str(), demo);
    EXPECT_EQ(Run({"--https", Keywords()}), kExitUsage);
    EXPECT_EQ(Run({"--ca-file", (m_folder / "missing.pem").string(), Keywords()}), kExitUsage);
}

TEST_F(QueryCommandTest, DemoServesEveryEndpointInProcess) {
    ASSERT_EQ(Run({"--demo", Keywords()}), kExitOk) << m_err.str();
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 4u);
    // Yesterday's index is filled only when the trend endpoint answered.
    int answered = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        answered += !Fields(lines[i])[3].empty();
    }
    EXPECT_GT(answered, 0);
    EXPECT_EQ(m_simulator.RequestCount(), 0u);
}

TEST_F(QueryCommandTest, RefusesUnusableCommandLines) {
    const std::string missing = (m_folder / "missing.txt").string();
    const std::string noFolder = (m_folder / "no" / "out.xls").string();
    const std::string fifo = (m_folder / "fifo.txt").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // nobody writes: opening it would block
    const struct {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    } cases[] = {
        {"no keyword file", {}, kExitUsage, "missing KEYWORD_FILE"},
        {"two keyword files", {Keywords(), Keywords()}, kExitUsage, "one KEYWORD_FILE"},
        {"unknown option", {"--fast", Keywords()}, kExitUsage, "unknown option '--fast'"},
        {"option without value", {Keywords(), "--out"}, kExitUsage, "needs a value"},
        {"malformed URL", {"--search-url", "ftp://host", Keywords()}, kExitUsage, "ftp://host"},
        {"URL with a path", {"--index-url=http://host/x", Keywords()}, kExitUsage, "http://host/x"},
        {"retries out of range", {"--retries", "99", Keywords()}, kExitUsage, "--retries"},
        {"unusable proxy", {"--proxy", "host:1", Keywords()}, kExitUsage, "--proxy"},
        {"missing cookie file",
         {"--cookie-file", missing, Keywords()},
         kExitUsage,
         "--cookie-file"},
        {"missing keyword file", {missing}, kExitFailure, "missing.txt"},
        {"keyword file is a folder", {m_folder.string()}, kExitFailure, "is a directory"},
        {"output folder missing", {"--out", noFolder, Keywords()}, kExitFailure, "no such folder"},
        {"output is a folder",
         {"--out", m_folder.string(), Keywords()},
         kExitFailure,
         "is a directory"},
        {"keyword file is a device", {"/dev/zero"}, kExitFailure, "not a regular file"},
        {"keyword file is a FIFO", {fifo}, kExitFailure, "not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run(c.args), c.exitCode);
        EXPECT_NE(m_err.str().find(c.says), std::string::npos) << m_err.str();
        EXPECT_TRUE(m_out.str().empty());
    }
    EXPECT_EQ(m_simulator.RequestCount(), 0u);
}

TEST_F(QueryCommandTest, MalformedEnvironmentUrlIsAUsageError) {
    ::setenv("MOFENG_INDEX_URL", "localhost:8080", 1);
    const int exitCode = Run({Keywords()});
    ::unsetenv("MOFENG_INDEX_URL");
    EXPECT_EQ(exitCode, kExitUsage);
    EXPECT_NE(m_err.str().find("MOFENG_INDEX_URL"), std::string::npos) << m_err.str();
}

TEST_F(QueryCommandTest, FailedRowsAreMarkedSummedUpAndExitWithThree) {
    // The trend endpoint answers, the search page is not there at all (three
    // tries: too few for the host to be given up on).
    ASSERT_EQ(Run({"--index-url", m_simulator.BaseUrl(), "--search-url", "http://127.0.0.1:1",
                   "--retries", "0", "--cookie", "session=topsecret", Keywords()}),
              kExitTrouble)
        << m_err.str();
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = Fields(lines[i]);
        EXPECT_EQ(fields[8], "失败");
        EXPECT_EQ(fields[2], "");  // no count rather than a 0 that looks like data
    }
    EXPECT_NE(m_err.str().find("rows: 正常 0, 无数据 0, 失败 3, 被拦截 0, 未查询 0"),
              std::string::npos)
        << m_err.str();
    // The pasted cookie reached the server and no output.
    ASSERT_FALSE(m_simulator.Requests().empty());
    EXPECT_EQ(m_simulator.Requests().front().cookie.find("session=topsecret"), 0u);
    EXPECT_EQ(m_out.str().find("topsecret"), std::string::npos);
    EXPECT_EQ(m_err.str().find("topsecret"), std::string::npos);
}

TEST_F(QueryCommandTest, ARequeryThatFailsKeepsTheFiguresReadFromTheFile) {
    const fs::path sheet = m_folder / "done.xls";
    ASSERT_EQ(Run(SimulatorArgs({"--out", sheet.string(), Keywords()})), kExitOk) << m_err.str();
    ASSERT_EQ(Run(SimulatorArgs({sheet.string()})), kExitOk) << m_err.str();
    const std::vector<std::string> good = Lines(m_out.str());
    // The trend endpoint is gone: every row fails, none loses its figures.
    ASSERT_EQ(Run({"--search-url", m_simulator.BaseUrl(), "--index-url", "http://127.0.0.1:1",
                   "--retries", "0", sheet.string()}),
              kExitTrouble)
        << m_err.str();
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), good.size());
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> fields = Fields(lines[i]);
        std::vector<std::string> before = Fields(good[i]);
        EXPECT_EQ(fields[8], "失败");
        EXPECT_FALSE(fields[2].empty());  // the count read from the file
        fields.pop_back();
        before.pop_back();
        // A figure without a value reads "--" or none, as the file brings it back.
        std::replace(before.begin(), before.end(), std::string("--"), std::string());
        std::replace(fields.begin(), fields.end(), std::string("--"), std::string());
        EXPECT_EQ(fields, before);
    }
}

TEST_F(QueryCommandTest, ADeadTrendHostIsNamedOnceAndItsPartialRowsExitZero) {
    std::ofstream(m_folder / "more.txt", std::ios::binary) << "a\nb\nc\nd\ne\nf\n";
    ASSERT_EQ(Run({"--search-url", m_simulator.BaseUrl(), "--index-url", "http://127.0.0.1:1",
                   "--retries", "1", (m_folder / "more.txt").string()}),
              kExitOk)
        << m_err.str();
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 7u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = Fields(lines[i]);
        EXPECT_EQ(fields[8], "部分") << lines[i];
        EXPECT_EQ(fields[2], std::to_string(m_simulator.ExpectedListingCount(fields[1])));
    }
    const std::string err = m_err.str();
    EXPECT_NE(err.find("rows: 正常 0, 无数据 0, 部分 6, 失败 0, 被拦截 0, 未查询 0"), err.npos)
        << err;
    const std::string notice = "指数接口不可用，本次不再请求";
    ASSERT_NE(err.find(notice), err.npos) << err;
    EXPECT_EQ(err.find(notice, err.find(notice) + 1), err.npos) << err;
}

TEST_F(QueryCommandTest, InterruptWritesTheRowsDoneAndMarksTheRest) {
    sim::SimulatorOptions options;
    options.latencyMs = 150;
    sim::Simulator slow(options);
    ASSERT_TRUE(slow.Start());
    std::thread interrupter([&] {
        while (slow.RequestCount() < 3) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::raise(SIGINT);
    });
    const int exitCode =
        Run({"--index-url", slow.BaseUrl(), "--search-url", slow.BaseUrl(), Keywords()});
    interrupter.join();
    EXPECT_EQ(exitCode, kExitInterrupted);
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(Fields(lines[1])[8], "未查询");
    EXPECT_EQ(Fields(lines[3])[8], "未查询");
    EXPECT_NE(m_err.str().find("interrupted"), std::string::npos);
}

// A search page that writes its count in full-width digits (UTF-8, as pages
// are served) gives the count, and the competition multiple from it, on the
// command line and in the exported file.
TEST_F(QueryCommandTest, AFullWidthListingCountIsTheCount) {
    net::test::LocalHttpServer server([](httplib::Server& routes) {
        routes.Get("/trendindex.json", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"data":[1,100,110,121,133,146,161,177,0],"lastdate":"2026-12-06"})",
                            "application/json");
        });
        routes.Get("/search", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"(<script>g_page_config = {"totalHits":" １２３","q":"x"};</script>)",
                            "text/html; charset=utf-8");
        });
    });
    const std::vector<std::string> endpoints = {"--search-url", server.Url(""), "--index-url",
                                                server.Url("")};
    std::vector<std::string> args = endpoints;
    args.push_back(Keywords());
    ASSERT_EQ(Run(args), kExitOk) << m_err.str();
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = Fields(lines[i]);
        ASSERT_EQ(fields.size(), 9u);
        EXPECT_EQ(fields[2], "123");
        EXPECT_EQ(fields[4], "135");
        EXPECT_EQ(fields[6], "10976");  // 135 / 123 * 10000
        EXPECT_EQ(fields[8], "正常");
    }

    const std::string csv = (m_folder / "out.csv").string();
    args = endpoints;
    args.insert(args.end(), {"--out", csv, Keywords()});
    ASSERT_EQ(Run(args), kExitOk) << m_err.str();
    std::ifstream in(csv, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(written.find(",123,177,135,"), std::string::npos) << written;
}

TEST(TextField, ControlsNeverReachTheTerminal) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\tb\r\nc", "a b  c"},
        {"\x1B[31mred\x07", "\xEF\xBF\xBD[31mred\xEF\xBF\xBD"},
        {std::string("x\0y", 3), "x\xEF\xBF\xBDy"},
        {"del\x7F", "del\xEF\xBF\xBD"},
        {"\xC2\x9B"
         "2J",
         "\xEF\xBF\xBD"
         "2J"},  // C1 CSI in UTF-8
        {"\xC2\xA0"
         "nbsp",
         "\xC2\xA0"
         "nbsp"},  // not a control
        {"连衣裙", "连衣裙"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(SafeUtf8(in), out) << in;
    }
    EXPECT_EQ(TextField(runtime::Utf8ToGbk("裙\x1B")), "裙\xEF\xBF\xBD");
}

// A huge cell is written in pieces; no piece may cut a double-byte
// character, valid or not, so the output is TextField's byte for byte.
TEST(TextField, AHugeCellWrittenInPiecesReadsAsAWholeOne) {
    const std::string word = runtime::Utf8ToGbk("连衣裙");
    struct Case {
        const char* name;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"one ASCII byte shifts every pair", "a" +
                                                 [&] {
                                                     std::string s;
                                                     while (s.size() < 300'000) {
                                                         s += word;
                                                     }
                                                     return s;
                                                 }()},
        {"invalid pairs and lone lead bytes",
         [] {
             std::string s;
             while (s.size() < 300'000) {
                 s += "\x81\x7F\xFF\xFE\xFE\x81\x40x\x1B";
             }
             return s;
         }()},
        {"a lead byte last", std::string(200'000, 'k') + "\xB5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream out;
        WriteTextField(out, c.text);
        EXPECT_TRUE(out.str() == TextField(c.text));
    }
}

TEST_F(QueryCommandTest, HelpNamesEveryOption) {
    ASSERT_EQ(Run({"--help"}), kExitOk);
    for (const char* option :
         {"--search-url", "--index-url", "--suggest-url", "--demo", "--out", "--retries",
          "--delay-ms", "--cookie-file", "--cookie", "--proxy", "--connect-timeout-s",
          "--stall-timeout-s", "MOFENG_SEARCH_URL", "KEYWORD_FILE"}) {
        EXPECT_NE(m_out.str().find(option), std::string::npos) << option;
    }
}

TEST_F(QueryCommandTest, JobsPrintTheRowsOfOneJobInListOrder) {
    std::ofstream many(m_folder / "many.txt", std::ios::binary);
    for (int i = 0; i < 40; ++i) {
        many << runtime::Utf8ToGbk("连衣裙" + std::to_string(i)) << "\r\n";
    }
    many.close();
    const std::string file = (m_folder / "many.txt").string();
    ASSERT_EQ(Run(SimulatorArgs({file})), kExitOk) << m_err.str();
    const std::string one = m_out.str();
    for (const char* jobs : {"2", "8"}) {
        ASSERT_EQ(Run(SimulatorArgs({"--jobs", jobs, file})), kExitOk) << m_err.str();
        EXPECT_EQ(m_out.str(), one) << jobs << " jobs";
    }
    EXPECT_EQ(Run(SimulatorArgs({"--jobs", "17", file})), kExitUsage);
    EXPECT_NE(QueryCommandHelp().find("--jobs"), std::string::npos);
}

}  // namespace
}  // namespace mofeng::cli

namespace mofeng::cli {
namespace {

TEST_F(QueryCommandTest, KeywordWithoutGbkFormIsMarkedCountedAndNeverSent) {
    // UTF-8: ™ and 😀 have no GBK form.
    std::ofstream(m_folder / "utf8.txt", std::ios::binary) << "Nike™运动鞋\n连衣裙\n😀\n";
    EXPECT_EQ(Run(SimulatorArgs({(m_folder / "utf8.txt").string()})), 0);
    EXPECT_NE(m_err.str().find("2 keyword(s) hold a character GBK cannot hold"), std::string::npos)
        << m_err.str();
    const std::vector<std::string> lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Fields(lines[1])[1], "Nike〓运动鞋");
    EXPECT_EQ(Fields(lines[1]).back(), "未查询");
    EXPECT_NE(Fields(lines[2]).back(), "未查询");
    EXPECT_EQ(Fields(lines[3])[1], "〓");
    for (const sim::RequestRecord& request : m_simulator.Requests()) {
        EXPECT_EQ(request.target.find("Nike"), std::string::npos) << request.target;
    }
    EXPECT_EQ(m_simulator.RequestCount(), 2u);  // trend and search page of 连衣裙 only
}

TEST_F(QueryCommandTest, FilesThatAreNoKeywordListExitWithOne) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* said;
    };
    for (const Case& c :
         {Case{"a.pdf", "%PDF-1.4\n%\xE2\xE3\n1 0 obj", "(PDF"},
          Case{"a.xls",
               std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                   std::string("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32),
               "(加密的工作簿)"},
          Case{"a.html", "<html><body><table><tr><td> </td></tr></table></body></html>",
               "holds no keywords"}}) {
        SCOPED_TRACE(c.name);
        std::ofstream(m_folder / c.name, std::ios::binary) << c.bytes;
        EXPECT_EQ(Run(SimulatorArgs({(m_folder / c.name).string()})), 1);
        EXPECT_NE(m_err.str().find(c.said), std::string::npos) << m_err.str();
        EXPECT_EQ(m_out.str(), "");
    }
    EXPECT_EQ(m_simulator.RequestCount(), 0u);
    std::ofstream(m_folder / "a.csv") << "关键词\n女装\n";
    EXPECT_EQ(Run(SimulatorArgs({"--sheet", "2", (m_folder / "a.csv").string()})), 1);
    EXPECT_NE(m_err.str().find("has no such sheet"), std::string::npos) << m_err.str();
}

}  // namespace
}  // namespace mofeng::cli
