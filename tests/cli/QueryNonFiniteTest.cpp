#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/CellDisplayText.h"
#include "cli/QueryCommand.h"
#include "query/IndexMetrics.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

// Figures the query stores for a keyword of the simulator.
query::IndexMetrics StoredMetrics(const sim::Simulator& simulator, const std::string& keyword) {
    query::TrendSeries series;
    if (const auto values = simulator.ExpectedSeries(keyword)) {
        for (std::size_t k = 0; k < 7; ++k) {
            series.values[k] = std::to_string((*values)[k]);
        }
    }
    return query::ComputeIndexMetrics(
        series, static_cast<std::int32_t>(simulator.ExpectedListingCount(keyword)));
}

// Keywords whose stored competition or slope is each non-finite text the
// query writes ("inf", "-inf", "nan", "-nan"), and one finite keyword.
std::vector<std::string> KeywordsOfEveryKind(const sim::Simulator& simulator) {
    std::map<std::string, std::string> byKind;
    for (int i = 0; i < 20000 && byKind.size() < 4; ++i) {
        const std::string keyword = "词" + std::to_string(i);
        const query::IndexMetrics m = StoredMetrics(simulator, keyword);
        for (const std::string& figure : {m.competition, m.slope}) {
            if (app::IsNonFiniteText(figure)) {
                byKind.emplace(figure, keyword);
            }
        }
    }
    std::vector<std::string> keywords{"连衣裙"};
    for (const auto& [kind, keyword] : byKind) {
        keywords.push_back(keyword);
    }
    return keywords;
}

TEST(QueryNonFinite, StdoutAndEveryOutFileShowTwoHyphensForFiguresWithoutValue) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Start());
    const std::vector<std::string> keywords = KeywordsOfEveryKind(simulator);
    std::set<std::string> kinds;
    for (const std::string& keyword : keywords) {
        const query::IndexMetrics m = StoredMetrics(simulator, keyword);
        kinds.insert({m.competition, m.slope});
    }
    for (const char* kind : {"inf", "-inf"}) {
        EXPECT_TRUE(kinds.contains(kind)) << kind << " never met";
    }
    EXPECT_TRUE(kinds.contains("nan") || kinds.contains("-nan")) << "no NaN met";

    const fs::path folder =
        fs::temp_directory_path() / ("mofeng-cli-nonfinite-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::string lines;
    for (const std::string& keyword : keywords) {
        lines += runtime::Utf8ToGbk(keyword) + "\r\n";
    }
    std::ofstream(folder / "k.txt", std::ios::binary) << lines;

    const std::vector<std::string> endpoint = {"--search-url", simulator.BaseUrl(), "--index-url",
                                               simulator.BaseUrl()};
    struct Output {
        const char* name;  // empty: stdout
        char separator;
    };
    for (const Output& output : {Output{"", '\t'}, Output{"out.csv", ','}}) {
        SCOPED_TRACE(*output.name ? output.name : "stdout");
        std::ostringstream out;
        std::ostringstream err;
        std::vector<std::string> args = endpoint;
        if (*output.name) {
            args.insert(args.end(), {"--out", (folder / output.name).string()});
        }
        args.push_back((folder / "k.txt").string());
        RunQueryCommand(args, CommandStreams{out, err, false});
        std::string text = out.str();
        if (*output.name) {
            std::ifstream in(folder / output.name, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        const std::vector<std::string> rows = Split(text, '\n');
        ASSERT_EQ(rows.size(), keywords.size() + 1) << err.str();
        for (std::size_t r = 0; r < keywords.size(); ++r) {
            std::string row = rows[r + 1];
            if (row.ends_with('\r')) {
                row.pop_back();
            }
            const std::vector<std::string> fields = Split(row, output.separator);
            ASSERT_GE(fields.size(), 8u) << row;
            const query::IndexMetrics m = StoredMetrics(simulator, keywords[r]);
            EXPECT_EQ(fields[1], keywords[r]);
            EXPECT_EQ(fields[6], app::CellDisplayText(6, m.competition)) << keywords[r];
            EXPECT_EQ(fields[7], app::CellDisplayText(7, m.slope)) << keywords[r];
            EXPECT_FALSE(app::IsNonFiniteText(fields[6]) || app::IsNonFiniteText(fields[7]));
        }
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace mofeng::cli
