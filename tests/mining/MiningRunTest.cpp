#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CraftedEndpoints.h"
#include "FakeMiningView.h"
#include "mining/MiningList.h"
#include "mining/MiningRun.h"
#include "mining/MiningTexts.h"
#include "net/PercentEncode.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "sim/FaultPlan.h"
#include "sim/Simulator.h"

namespace mofeng::mining {
namespace {

using runtime::GbkToUtf8;
using runtime::Utf8ToGbk;
using Rows = std::vector<std::pair<std::string, std::string>>;  // number, keyword (UTF-8)

class MiningRunTest : public ::testing::Test {
protected:
    // Runs both stages; must and seed are UTF-8.
    bool Mine(const std::string& seed, const std::string& must, int levelIndex = 2) {
        view = std::make_unique<test::FakeMiningView>(Utf8ToGbk(must), levelIndex);
        auto lease = state.TryBeginRun();
        EXPECT_NE(lease, nullptr);
        return RunMining(*lease, server.Config(), list, *view, Utf8ToGbk(seed), cancel);
    }

    Rows ListRows() {
        Rows rows;
        for (const runtime::Row& row : list.Rows()) {
            rows.emplace_back(row[kNumberColumn], GbkToUtf8(row[kKeywordColumn]));
        }
        return rows;
    }

    test::CraftedEndpoints server;
    MiningState state;
    runtime::MemoryTable list{MiningListColumns()};
    std::unique_ptr<test::FakeMiningView> view;
    runtime::CancelToken cancel;
};

TEST_F(MiningRunTest, AcceptsByMustContainAndEachStagesOwnDuplicateRule) {
    server.SetRelated("连衣裙", {"碎花连衣裙", "连衣裙", "裤子", "碎花连衣裙", "半身裙"});
    server.SetSuggestions("碎花连衣裙", {"碎花连衣裙", "长<b>裙<\\/b>", "长裙", "衬衫"});
    server.SetSuggestions("半身裙", {"半身裙", "长裙"});

    EXPECT_TRUE(Mine("连衣裙", "裙", 0));
    // Stage 1 refuses what column 1 holds; stage 2 only what it accepted
    // before, so a stage-1 keyword comes back as a second row.
    EXPECT_EQ(ListRows(), (Rows{{"1", "碎花连衣裙"},
                                {"2", "连衣裙"},
                                {"3", "半身裙"},
                                {"4", "碎花连衣裙"},
                                {"5", "长裙"},
                                {"6", "半身裙"}}));
    EXPECT_EQ(state.MiningRowCounter(), 6);
}

TEST_F(MiningRunTest, MustContainIsByteExactAtCharacterBoundaries) {
    struct Case {
        const char* must;
        const char* candidate;
        bool accepted;
    };
    // 圓 is 0x88 0x41 in GBK: its trail byte is an ASCII "A".
    const Case cases[] = {
        {"A", "A字裙", true}, {"A", "a字裙", false}, {"a", "A字裙", false},
        {"A", "圓裙", false}, {"裙", "圓裙", true},  {"ab", "xaby", true},
        {"ab", "a b", false}, {"", "裙", true},      {"", "", false},
    };
    for (const Case& c : cases) {
        MiningState fresh;
        runtime::MemoryTable freshList(MiningListColumns());
        server.SetRelated("seed", {c.candidate});
        test::FakeMiningView freshView(Utf8ToGbk(c.must), 0);
        auto lease = fresh.TryBeginRun();
        MiningRun run(*lease, server.Config(), freshList, freshView, cancel);
        run.RelatedSearchStage("seed");
        EXPECT_EQ(freshList.RowCount(), c.accepted ? 1 : 0)
            << "must " << c.must << " candidate " << c.candidate;
    }
}

TEST_F(MiningRunTest, MustContainIsReadForEveryCandidate) {
    server.SetRelated("s", {"x1", "y1", "x2", "y2"});
    view = std::make_unique<test::FakeMiningView>("x", 0);
    int reads = 0;
    test::FakeMiningView* v = view.get();
    view->beforeMustContainRead = [&] {
        if (++reads == 2) {
            v->SetMustContain("y");
        }
    };
    auto lease = state.TryBeginRun();
    MiningRun(*lease, server.Config(), list, *view, cancel).RelatedSearchStage("s");
    EXPECT_EQ(ListRows(), (Rows{{"1", "x1"}, {"2", "y1"}, {"3", "y2"}}));
}

TEST_F(MiningRunTest, EachPassExpandsExactlyWhatThePassBeforeAccepted) {
    server.SetRelated("seed", {"a1", "a2"});
    server.SetRelated("a1", {"b1", "a2"});
    server.SetRelated("a2", {"b2", "seed"});
    server.SetRelated("b1", {"c1"});
    server.SetRelated("b2", {"a1"});
    server.SetRelated("c1", {"d1"});
    server.SetRelated("d1", {"e1"});

    EXPECT_TRUE(Mine("seed", "", 0));
    // Pass 1: seed; pass 2: a1 a2; pass 3: b1 b2 seed (seed came back in
    // pass 2); pass 4: c1 (and nothing from seed's repeat). d1 is never asked.
    EXPECT_EQ(server.Keywords("search"),
              (std::vector<std::string>{"seed", "a1", "a2", "b1", "b2", "seed", "c1"}));
    EXPECT_EQ(ListRows(), (Rows{{"1", "a1"},
                                {"2", "a2"},
                                {"3", "b1"},
                                {"4", "b2"},
                                {"5", "seed"},
                                {"6", "c1"},
                                {"7", "d1"}}));
    // Level 1 expands the related keywords in acceptance order.
    EXPECT_EQ(server.Keywords("sug"),
              (std::vector<std::string>{"a1", "a2", "b1", "b2", "seed", "c1", "d1"}));
}

TEST_F(MiningRunTest, LevelIndexDecidesHowFarSuggestionsGo) {
    server.SetRelated("seed", {"r"});
    server.SetSuggestions("r", {"s1"});
    server.SetSuggestions("s1", {"s2", "s1"});
    server.SetSuggestions("s2", {"s3"});
    server.SetSuggestions("s3", {"s4"});
    struct Case {
        int levelIndex;
        std::vector<std::string> asked;
        const std::string& label;
        int lastMaximum;
    };
    const Case cases[] = {
        {0, {"r"}, LevelOneLabel(), 1},
        {1, {"r", "s1"}, LevelTwoLabel(), 1},
        {2, {"r", "s1", "s2"}, MiningDoneLabel(), 1},
        {-1, {"r", "s1", "s2"}, MiningDoneLabel(), 1},
    };
    for (const Case& c : cases) {
        MiningState fresh;
        runtime::MemoryTable freshList(MiningListColumns());
        test::FakeMiningView freshView("", c.levelIndex);
        const std::size_t before = server.Keywords("sug").size();
        auto lease = fresh.TryBeginRun();
        EXPECT_TRUE(RunMining(*lease, server.Config(), freshList, freshView, "seed", cancel));
        const std::vector<std::string> all = server.Keywords("sug");
        EXPECT_EQ(std::vector<std::string>(all.begin() + before, all.end()), c.asked)
            << "level " << c.levelIndex;
        EXPECT_EQ(freshView.Label(), c.label) << "level " << c.levelIndex;
        EXPECT_EQ(freshView.Maximum(), c.lastMaximum);
        EXPECT_EQ(freshView.ProgressPosition(), c.lastMaximum);
        EXPECT_EQ(freshList.RowCount(), 1 + static_cast<int>(c.asked.size()));
    }
}

TEST_F(MiningRunTest, LaterRunsKeepNumberingAndRefuseEarlierSuggestions) {
    server.SetRelated("seed", {"r1", "r2"});
    server.SetSuggestions("r1", {"s1"});
    server.SetSuggestions("r2", {"s2"});
    server.SetSuggestions("s1", {"t1"});
    EXPECT_TRUE(Mine("seed", "", 1));
    ASSERT_EQ(list.RowCount(), 5);

    // Without clearing, the related keywords are refused by the list too.
    EXPECT_TRUE(Mine("seed", "", 1));
    EXPECT_EQ(list.RowCount(), 5);

    list.Clear();
    server.SetSuggestions("r1", {"s1", "s3"});
    EXPECT_TRUE(Mine("seed", "", 1));
    EXPECT_EQ(ListRows(), (Rows{{"6", "r1"}, {"7", "r2"}, {"8", "s3"}}));
    // Level 2 expanded every key seen in the program's life, in order.
    const std::vector<std::string> asked = server.Keywords("sug");
    EXPECT_EQ(std::vector<std::string>(asked.end() - 4, asked.end()),
              (std::vector<std::string>{"s1", "s2", "t1", "s3"}));
}

TEST_F(MiningRunTest, OneRunAtATimeAndCancelStopsWithinTheFetch) {
    server.SetRelated("seed", {"a", "b"});
    server.Hold("b");
    view = std::make_unique<test::FakeMiningView>("", 2);
    auto lease = state.TryBeginRun();
    ASSERT_NE(lease, nullptr);
    EXPECT_EQ(state.TryBeginRun(), nullptr);
    EXPECT_TRUE(state.IsRunActive());

    bool finished = true;
    std::thread worker([&, lease = std::move(lease)]() mutable {
        finished = RunMining(*lease, server.Config(), list, *view, "seed", cancel);
    });
    server.WaitForHeld();  // pass 2 is waiting for b's page
    const int rowsAtCancel = list.RowCount();
    cancel.Cancel();
    worker.join();  // returns although the server still holds the reply
    EXPECT_FALSE(finished);
    EXPECT_EQ(list.RowCount(), rowsAtCancel);
    EXPECT_TRUE(view->Labels().empty());
    EXPECT_FALSE(state.IsRunActive());
    EXPECT_NE(state.TryBeginRun(), nullptr);
}

TEST_F(MiningRunTest, FailedAndGarbledRepliesAreSkipped) {
    sim::SimulatorOptions options;
    options.failRate = 0.2;
    options.garbageRate = 0.2;
    options.dropRate = 0.1;
    const sim::FaultRates rates{options.failRate, options.dropRate, 0, options.garbageRate};
    // A seed whose first request (the seed's page) gets through.
    while (sim::DecideFault(options.seed, 1, rates) != sim::Outcome::Normal) {
        ++options.seed;
    }
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.Start());
    net::EndpointConfig config;
    config.searchBase = simulator.BaseUrl();
    config.suggestBase = simulator.BaseUrl();

    test::FakeMiningView faultyView(Utf8ToGbk("裙"), 0);
    auto lease = state.TryBeginRun();
    EXPECT_TRUE(RunMining(*lease, config, list, faultyView, Utf8ToGbk("连衣裙"), cancel));
    const Rows rows = ListRows();
    ASSERT_FALSE(rows.empty());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].first, std::to_string(i + 1));
        EXPECT_NE(rows[i].second.find("裙"), std::string::npos) << rows[i].second;
    }
    EXPECT_EQ(faultyView.Label(), LevelOneLabel());
}

TEST_F(MiningRunTest, SimulatorRunFollowsThePassAndLevelRules) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Start());
    net::EndpointConfig config;
    config.searchBase = simulator.BaseUrl();
    config.suggestBase = simulator.BaseUrl();

    // Record which stage and step accepted each row.
    struct Recorder final : MiningObserver {
        std::vector<std::pair<int, int>> steps;
        void Progressed(const MiningProgress& p) override {
            if (p.accepted > static_cast<std::int64_t>(steps.size())) {
                steps.emplace_back(p.stage, p.step);
            }
        }
    } recorder;
    test::FakeMiningView simView(Utf8ToGbk("花"), 0);
    auto lease = state.TryBeginRun();
    EXPECT_TRUE(
        RunMining(*lease, config, list, simView, Utf8ToGbk("碎花连衣裙"), cancel, &recorder));

    const Rows rows = ListRows();
    ASSERT_EQ(recorder.steps.size(), rows.size());
    std::map<std::string, int> searched;  // keyword -> search requests
    for (const sim::RequestRecord& record : simulator.Requests()) {
        const std::string prefix = "/search?initiative_id=staobaoz_20150308&js=1&q=";
        if (record.target.rfind(prefix, 0) == 0) {
            ++searched[record.target.substr(prefix.size())];
        }
    }
    // Every keyword accepted in passes 1 to 3 is searched once, the seed
    // once, pass-4 keywords never.
    std::map<std::string, int> expected{{net::PercentEncodeUtf8(Utf8ToGbk("碎花连衣裙")), 1}};
    int stageOne = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_NE(rows[i].second.find("花"), std::string::npos);
        if (recorder.steps[i].first == 1) {
            ++stageOne;
            if (recorder.steps[i].second < 4) {
                ++expected[net::PercentEncodeUtf8(Utf8ToGbk(rows[i].second))];
            }
        }
    }
    EXPECT_GT(stageOne, 0);
    EXPECT_LT(stageOne, static_cast<int>(rows.size()));
    EXPECT_EQ(searched, expected);
    EXPECT_EQ(simView.Label(), LevelOneLabel());
    EXPECT_EQ(state.SeenSuggestionSet().Size(), rows.size() - stageOne);
}

}  // namespace
}  // namespace mofeng::mining
