#include <gtest/gtest.h>

#include <functional>
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
#include "runtime/MemoryTable.h"
#include "sim/FaultPlan.h"
#include "sim/Simulator.h"

namespace mofeng::mining {
namespace {

using runtime::Utf8ToGbk;
using Texts = std::vector<std::string>;

// "NUMBER KEYWORD" per row, UTF-8.
Texts RowsOf(runtime::MemoryTable& list) {
    Texts rows;
    for (const runtime::Row& row : list.Rows()) {
        rows.push_back(row[kNumberColumn] + " " + runtime::GbkToUtf8(row[kKeywordColumn]));
    }
    return rows;
}

// Requests to one endpoint ("search" or "sug") since index `from`.
Texts Asked(const test::CraftedEndpoints& server, const std::string& endpoint,
            std::size_t from = 0) {
    Texts asked;
    const Texts all = server.Asked();
    for (std::size_t i = from; i < all.size(); ++i) {
        if (all[i].rfind(endpoint + " ", 0) == 0) {
            asked.push_back(all[i].substr(endpoint.size() + 1));
        }
    }
    return asked;
}

struct Miner {
    net::EndpointConfig config;
    MiningState state;
    runtime::MemoryTable list{MiningListColumns()};
    runtime::CancelToken cancel;
    int jobs = 1;

    // seed and must are UTF-8.
    bool Run(const std::string& seed, const std::string& must, int levelIndex,
             test::FakeMiningView* view = nullptr, MiningObserver* observer = nullptr) {
        test::FakeMiningView own(Utf8ToGbk(must), levelIndex);
        auto lease = state.TryBeginRun();
        EXPECT_NE(lease, nullptr);
        test::FakeMiningView& used = view ? *view : own;
        test::ViewSink sink(list, used, observer);
        return RunMining(*lease, {config, jobs}, used, sink, Utf8ToGbk(seed), cancel);
    }
};

TEST(MiningRun, AcceptsByMustContainAndEachStagesOwnDuplicateRule) {
    test::CraftedEndpoints server;
    server.SetRelated("连衣裙", {"碎花连衣裙", "连衣裙", "裤子", "碎花连衣裙", "半身裙"});
    server.SetSuggestions("碎花连衣裙", {"碎花连衣裙", "长<b>裙<\\/b>", "长裙", "衬衫"});
    server.SetSuggestions("半身裙", {"半身裙", "长裙"});
    Miner m{server.Config()};
    EXPECT_TRUE(m.Run("连衣裙", "裙", 0));
    // Stage 1 refuses what column 1 holds; stage 2 only what it accepted
    // before, so a stage-1 keyword comes back as a second row.
    EXPECT_EQ(RowsOf(m.list), (Texts{"1 碎花连衣裙", "2 连衣裙", "3 半身裙", "4 碎花连衣裙",
                                     "5 长裙", "6 半身裙"}));
}

// Suggestion entries (UTF-8 text, weight) as a reply carries them.
void SetWeighted(test::CraftedEndpoints& server, const std::string& keyword,
                 const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string reply = "jsonp12556({\"result\":[";
    for (const auto& [text, weight] : entries) {
        reply += (reply.back() == '[' ? "[\"" : ",[\"") + text + "\",\"" + weight + "\"]";
    }
    server.SetReply("sug " + keyword, reply + "]})", "text/javascript; charset=utf-8");
}

TEST(MiningRun, EachKeywordKeepsTheLatestWeightARepliedEntryGaveIt) {
    test::CraftedEndpoints server;
    server.SetRelated("连衣裙", {"碎花连衣裙", "雪纺裙"});
    SetWeighted(server, "碎花连衣裙", {{"碎花连衣裙", "500.5"}, {"长裙", "3"}, {"衬衫", "9"}});
    SetWeighted(server, "雪纺裙", {{"雪纺裙子", "1"}});
    SetWeighted(server, "长裙", {{"长裙", "7.25"}, {"碎花连衣裙", "42"}});
    SetWeighted(server, "雪纺裙子", {{"衬衫", "2"}});
    MiningState state;
    runtime::MemoryTable list{MiningListColumns()};
    TableMiningSink sink(list);
    sink.KeepWeights();
    const test::FakeMiningView view(Utf8ToGbk("裙"), 1);
    const runtime::CancelToken cancel;
    auto lease = state.TryBeginRun();
    MiningRun run(*lease, {server.Config(), 1}, view, sink, cancel);
    ASSERT_TRUE(run.RelatedSearchStage(Utf8ToGbk("连衣裙")) && run.SuggestionStage());

    EXPECT_EQ(RowsOf(list),
              (Texts{"1 碎花连衣裙", "2 雪纺裙", "3 碎花连衣裙", "4 长裙", "5 雪纺裙子"}));
    const std::map<std::string, std::string> expected{
        // Level 2's reply for 长裙 came last, naming the keyword it had refused.
        {"碎花连衣裙", "42"},
        {"长裙", "7.25"},
        {"雪纺裙子", "1"},
        // From a related-search link only, never named by a reply.
        {"雪纺裙", ""},
        // Named, but refused without a row: nothing to keep it with.
        {"衬衫", ""}};
    for (const auto& [keyword, weight] : expected) {
        EXPECT_EQ(sink.WeightOf(Utf8ToGbk(keyword)), weight) << keyword;
    }
    // The weights come with the replies the run asked for anyway.
    EXPECT_EQ(Asked(server, "sug").size(), static_cast<std::size_t>(run.Progress().requests) - 3);
    EXPECT_EQ(Asked(server, "search").size(), 3u);
}

class BlockedStreakObserver final : public MiningObserver {
public:
    void Progressed(const MiningProgress&) override {}
    bool ResumeAfterBlocked(int streak) override {
        streaks.push_back(streak);
        return false;
    }
    std::vector<int> streaks;
};

TEST(MiningRun, ExpansionsAreCountedByOutcomeAndBlockedOnesInARowEndTheRun) {
    test::CraftedEndpoints server;
    server.SetRelated("裙", {"长裙", "短裙", "中裙", "花裙", "蓝裙"});
    server.SetSuggestions("长裙", {"长裙子"});
    for (const char* blocked : {"短裙", "中裙", "花裙"}) {
        server.SetReply(std::string("sug ") + blocked, "<script>var x5secdata='1';</script>",
                        "text/html");
    }
    for (const int jobs : {1, 8}) {
        SCOPED_TRACE(std::to_string(jobs) + " jobs");
        const std::size_t before = server.Asked().size();
        Miner m{server.Config()};
        BlockedStreakObserver observer;
        test::FakeMiningView view(Utf8ToGbk("裙"), 0);
        test::ViewSink sink(m.list, view, &observer);
        auto lease = m.state.TryBeginRun();
        MiningRun run(*lease, {m.config, jobs}, view, sink, m.cancel);
        ASSERT_TRUE(run.RelatedSearchStage(Utf8ToGbk("裙")));
        EXPECT_FALSE(run.SuggestionStage());
        EXPECT_EQ(observer.streaks, std::vector<int>{3});
        const MiningProgress& progress = run.Progress();
        EXPECT_TRUE(progress.stoppedForBlocked);
        EXPECT_TRUE(progress.AnyTrouble());
        EXPECT_EQ(progress.Count(net::LookupOutcome::Blocked), 3);
        EXPECT_EQ(progress.Count(net::LookupOutcome::Normal), 2);  // the seed's page, 长裙
        EXPECT_EQ(progress.Count(net::LookupOutcome::NoData), 5);  // related pages without links
        EXPECT_EQ(RowsOf(m.list),
                  (Texts{"1 长裙", "2 短裙", "3 中裙", "4 花裙", "5 蓝裙", "6 长裙子"}));
        // With one job 蓝裙 is never asked; more jobs may have fetched it ahead.
        if (jobs == 1) {
            EXPECT_EQ(Asked(server, "sug", before), (Texts{"长裙", "短裙", "中裙", "花裙"}));
        }
    }
}

TEST(MiningRun, MustContainIsByteExactAtCharacterBoundariesAndReadLive) {
    test::CraftedEndpoints server;
    // 圓 is 0x88 0x41 in GBK: its trail byte is an ASCII "A".
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"A", "A字裙", true}, {"A", "a字裙", false}, {"a", "A字裙", false},
        {"A", "圓裙", false}, {"裙", "圓裙", true},  {"ab", "xaby", true},
        {"ab", "a b", false}, {"", "裙", true},      {"", "", false},
    };
    for (const auto& [must, candidate, accepted] : cases) {
        server.SetRelated("seed", {candidate});
        Miner m{server.Config()};
        m.Run("seed", must, 0);
        EXPECT_EQ(m.list.RowCount(), accepted ? 1 : 0) << must << " in " << candidate;
    }

    // An edit during the run counts from the next candidate on.
    server.SetRelated("seed", {"x1", "y1", "x2", "y2"});
    Miner m{server.Config()};
    test::FakeMiningView view("x", 0);
    int reads = 0;
    view.beforeMustContainRead = [&] {
        if (++reads == 2) {
            view.mustContain = "y";
        }
    };
    m.Run("seed", "", 0, &view);
    EXPECT_EQ(RowsOf(m.list), (Texts{"1 x1", "2 y1", "3 y2"}));
}

TEST(MiningRun, ExcludeWordsRefuseCandidatesInBothStagesAtCharacterBoundaries) {
    test::CraftedEndpoints server;
    // 圓 ends in the byte of "A": an exclude word "A" must not refuse it.
    server.SetRelated("裙", {"长裙", "短裙", "A字裙", "圓裙", "蓝色短裙"});
    server.SetSuggestions("圓裙", {"圓裙子", "红圓裙"});
    server.SetSuggestions("短裙", {"短裙女", "短裙红"});
    Miner m{server.Config()};
    LiveMiningInputs inputs(Utf8ToGbk("裙"), 0);
    inputs.SetExcludeWords({Utf8ToGbk("长"), "A", Utf8ToGbk("红"), ""});
    auto lease = m.state.TryBeginRun();
    TableMiningSink sink(m.list);
    const std::size_t before = server.Asked().size();
    EXPECT_TRUE(RunMining(*lease, {m.config, 1}, inputs, sink, Utf8ToGbk("裙"), m.cancel));
    EXPECT_EQ(RowsOf(m.list), (Texts{"1 短裙", "2 圓裙", "3 蓝色短裙", "4 短裙女", "5 圓裙子"}));
    // Excluded candidates are never expanded.
    for (const std::string& asked : Asked(server, "sug", before)) {
        EXPECT_EQ(asked.find("长"), std::string::npos) << asked;
    }

    // Words set mid-way count from the next candidate; none leaves all in.
    inputs.SetExcludeWords({});
    EXPECT_FALSE(inputs.HoldsExcludedWord(Utf8ToGbk("长裙")));
    inputs.SetExcludeWords({Utf8ToGbk("长裙")});
    EXPECT_TRUE(inputs.HoldsExcludedWord(Utf8ToGbk("加长裙子")));
    EXPECT_FALSE(inputs.HoldsExcludedWord(Utf8ToGbk("长 裙")));
}

TEST(MiningRun, EachPassExpandsExactlyWhatThePassBeforeAccepted) {
    test::CraftedEndpoints server;
    const std::pair<const char*, Texts> graph[] = {
        {"seed", {"a1", "a2"}}, {"a1", {"b1", "a2"}}, {"a2", {"b2", "seed"}}, {"b1", {"c1"}},
        {"b2", {"a1"}},         {"c1", {"d1"}},       {"d1", {"e1"}},
    };
    for (const auto& [keyword, links] : graph) {
        server.SetRelated(keyword, links);
    }
    Miner m{server.Config()};
    EXPECT_TRUE(m.Run("seed", "", 0));
    // Pass 1: seed; 2: a1 a2; 3: b1 b2 seed (seed came back in pass 2); 4: c1.
    EXPECT_EQ(Asked(server, "search"), (Texts{"seed", "a1", "a2", "b1", "b2", "seed", "c1"}));
    EXPECT_EQ(RowsOf(m.list), (Texts{"1 a1", "2 a2", "3 b1", "4 b2", "5 seed", "6 c1", "7 d1"}));
    EXPECT_EQ(Asked(server, "sug"), (Texts{"a1", "a2", "b1", "b2", "seed", "c1", "d1"}));
}

TEST(MiningRun, LevelsLabelsAndLaterRuns) {
    test::CraftedEndpoints server;
    server.SetRelated("seed", {"r"});
    server.SetSuggestions("r", {"s1"});
    server.SetSuggestions("s1", {"s2", "s1"});
    server.SetSuggestions("s2", {"s3"});
    server.SetSuggestions("s3", {"s4"});
    const std::tuple<int, Texts, const std::string&> cases[] = {
        {0, {"r"}, LevelOneLabel()},
        {1, {"r", "s1"}, LevelTwoLabel()},
        {2, {"r", "s1", "s2"}, MiningDoneLabel()},
        {-1, {"r", "s1", "s2"}, MiningDoneLabel()},
    };
    for (const auto& [level, asked, label] : cases) {
        Miner m{server.Config()};
        test::FakeMiningView view("", level);
        const std::size_t before = server.Asked().size();
        EXPECT_TRUE(m.Run("seed", "", level, &view));
        EXPECT_EQ(Asked(server, "sug", before), asked) << level;
        EXPECT_EQ(view.label, label) << level;
        EXPECT_EQ(view.position, 1);
        EXPECT_EQ(view.maximum, 1);
    }

    // One program: numbering goes on after a clear, seen suggestions are
    // refused, and level 2 expands every key seen so far.
    Miner m{server.Config()};
    server.SetSuggestions("r", {"s1"});
    EXPECT_TRUE(m.Run("seed", "", 1));
    EXPECT_EQ(RowsOf(m.list), (Texts{"1 r", "2 s1", "3 s2"}));
    // r is still in the list; level 2 expands the keys of the first run.
    EXPECT_TRUE(m.Run("seed", "", 1));
    EXPECT_EQ(RowsOf(m.list).back(), "4 s3");
    m.list.Clear();
    server.SetSuggestions("r", {"s1", "s9"});
    const std::size_t before = server.Asked().size();
    EXPECT_TRUE(m.Run("seed", "", 1));
    EXPECT_EQ(RowsOf(m.list), (Texts{"5 r", "6 s9", "7 s4"}));
    EXPECT_EQ(Asked(server, "sug", before), (Texts{"r", "s1", "s2", "s3", "s9"}));
}

TEST(MiningRun, OneRunAtATimeAndCancelWritesNothingMore) {
    test::CraftedEndpoints server;
    server.SetRelated("seed", {"a", "b", "c"});
    Miner m{server.Config()};
    test::FakeMiningView view("", 2);
    int reads = 0;
    view.beforeMustContainRead = [&] {
        if (++reads == 2) {
            m.cancel.Cancel();
        }
    };
    auto lease = m.state.TryBeginRun();
    EXPECT_EQ(m.state.TryBeginRun(), nullptr);
    test::ViewSink sink(m.list, view);
    EXPECT_FALSE(RunMining(*lease, {m.config}, view, sink, "seed", m.cancel));
    // Raised while b was judged: nothing goes in from then on.
    EXPECT_EQ(RowsOf(m.list), (Texts{"1 a"}));
    EXPECT_EQ(server.Asked().size(), 1u);
    EXPECT_TRUE(view.label.empty());
    lease.reset();
    EXPECT_NE(m.state.TryBeginRun(), nullptr);
}

// The list never grows past the row limit: the run stops at the row that
// reaches it (no further fetch, in either stage), says so on the status
// label and in its progress, and reports success, not a cancel.
TEST(MiningRun, StopsAtTheRowLimitAndSaysSo) {
    test::CraftedEndpoints server;
    server.SetRelated("seed", {"a", "b", "c"});
    server.SetRelated("a", {"d"});
    server.SetSuggestions("a", {"s"});
    const std::tuple<int, Texts, std::size_t> cases[] = {
        {3, {" old", "1 a", "2 b"}, 1},
        {5, {" old", "1 a", "2 b", "3 c", "4 d"}, 2},
        {1, {" old"}, 0},
    };
    for (const auto& [limit, rows, searches] : cases) {
        SCOPED_TRACE(limit);
        Miner m{server.Config()};
        m.list.AppendRows({{"", Utf8ToGbk("old")}});
        test::FakeMiningView view("", 2);
        const std::size_t before = server.Asked().size();
        auto lease = m.state.TryBeginRun();
        test::ViewSink sink(m.list, view);
        MiningRun run(*lease, {m.config}, view, sink, m.cancel);
        run.SetRowLimit(limit);
        EXPECT_TRUE(run.RelatedSearchStage("seed"));
        EXPECT_TRUE(run.SuggestionStage());
        EXPECT_EQ(RowsOf(m.list), rows);
        EXPECT_EQ(Asked(server, "search", before).size(), searches);
        EXPECT_TRUE(Asked(server, "sug", before).empty());
        EXPECT_TRUE(run.Progress().rowLimitReached);
        EXPECT_EQ(view.label, RowLimitLabel());
    }
}

TEST(MiningRun, AWindowClosingMidJudgementMarksNothingSeen) {
    // A closed window answers the must-contain read with an empty text, which
    // every candidate would pass; the suggestion must neither become a row nor
    // be marked seen for the rest of the session.
    test::CraftedEndpoints server;
    server.SetRelated("seed", {"r"});
    server.SetSuggestions("r", {"s1", "s2"});
    Miner m{server.Config()};
    test::FakeMiningView view("", 0);
    int reads = 0;
    view.beforeMustContainRead = [&] {
        if (++reads == 2) {
            m.cancel.Cancel();
            view.mustContain.clear();
        }
    };
    EXPECT_FALSE(m.Run("seed", "", 0, &view));
    EXPECT_EQ(RowsOf(m.list), (Texts{"1 r"}));
    EXPECT_EQ(m.state.SeenSuggestionSet().Size(), 0u);
}

TEST(MiningRun, SimulatorRunsFollowThePassRulesAndSkipBadReplies) {
    for (const double faults : {0.0, 0.4}) {
        sim::SimulatorOptions options;
        options.failRate = options.garbageRate = faults / 2;
        // A seed whose first request (the seed's own page) gets through.
        while (sim::DecideFault(options.seed, 1, {options.failRate, 0, 0, options.garbageRate}) !=
               sim::Outcome::Normal) {
            ++options.seed;
        }
        sim::Simulator simulator(options);
        ASSERT_TRUE(simulator.Start());
        Miner m{};
        m.config.searchBase = m.config.suggestBase = simulator.BaseUrl();
        struct : MiningObserver {
            std::vector<std::pair<int, int>> steps;  // stage, step of each acceptance
            void Progressed(const MiningProgress& p) override {
                if (p.accepted > static_cast<std::int64_t>(steps.size())) {
                    steps.emplace_back(p.stage, p.step);
                }
            }
        } recorder;
        test::FakeMiningView view(Utf8ToGbk("花"), 0);
        EXPECT_TRUE(m.Run("碎花连衣裙", "", 0, &view, &recorder));
        EXPECT_EQ(view.label, LevelOneLabel());

        // The seed and every keyword of passes 1 to 3 are searched once.
        const std::string prefix = "/search?initiative_id=staobaoz_20150308&js=1&q=";
        std::map<std::string, int> searched,
            expected{{net::PercentEncodeUtf8(Utf8ToGbk("碎花连衣裙")), 1}};
        for (const sim::RequestRecord& record : simulator.Requests()) {
            if (record.target.rfind(prefix, 0) == 0) {
                ++searched[record.target.substr(prefix.size())];
            }
        }
        const std::vector<runtime::Row> rows = m.list.Rows();
        ASSERT_EQ(recorder.steps.size(), rows.size());
        ASSERT_FALSE(rows.empty());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i][0], std::to_string(i + 1));
            EXPECT_NE(runtime::GbkToUtf8(rows[i][1]).find("花"), std::string::npos);
            if (recorder.steps[i].first == 1 && recorder.steps[i].second < 4) {
                ++expected[net::PercentEncodeUtf8(rows[i][1])];
            }
        }
        if (faults == 0) {
            EXPECT_EQ(searched, expected);
        }
    }
}

// Everything a run reports, in order, with a hook after each accepted row.
class RecordingSink final : public TableMiningSink {
public:
    explicit RecordingSink(runtime::Table& list) : TableMiningSink(list) {}

    bool AppendRow(std::string number, std::string keyword) override {
        log.push_back("row " + number + " " + runtime::GbkToUtf8(keyword));
        const bool added = TableMiningSink::AppendRow(std::move(number), std::move(keyword));
        if (afterRow) {
            afterRow(++rows);
        }
        return added;
    }
    void SawWeight(std::string_view keyword, std::string weight) override {
        log.push_back("weight " + runtime::GbkToUtf8(keyword) + " " + weight);
    }
    void SetStatusLabel(const std::string& text) override {
        log.push_back("label " + runtime::GbkToUtf8(text));
    }
    void SetProgress(int position, int maximum) override {
        log.push_back("bar " + std::to_string(position) + "/" + std::to_string(maximum));
    }
    void Progressed(const MiningProgress& p) override {
        log.push_back("at " + std::to_string(p.stage) + "." + std::to_string(p.step) + " " +
                      std::to_string(p.requests) + " " + std::to_string(p.accepted));
    }

    std::function<void(int rows)> afterRow;
    Texts log;
    int rows = 0;
};

// One run from a fresh program state; the log of what it reported and the
// seen set afterwards.
struct RunRecord {
    Texts log;
    Texts rows;
    std::vector<std::string> seen;
};

RunRecord RecordRun(
    const net::EndpointConfig& config, int jobs, int levelIndex,
    const std::function<void(int, test::FakeMiningView&, runtime::MemoryTable&)>& afterRow = {}) {
    MiningState state;
    runtime::MemoryTable list{MiningListColumns()};
    test::FakeMiningView view(Utf8ToGbk("裙"), levelIndex);
    RecordingSink sink(list);
    if (afterRow) {
        sink.afterRow = [&](int rows) { afterRow(rows, view, list); };
    }
    runtime::CancelToken cancel;
    auto lease = state.TryBeginRun();
    EXPECT_TRUE(RunMining(*lease, {config, jobs}, view, sink, Utf8ToGbk("连衣裙"), cancel));
    return {sink.log, RowsOf(list), state.SeenSuggestionSet().Keys()};
}

void ExpectSameRuns(const RunRecord& one, const RunRecord& many) {
    EXPECT_EQ(many.log, one.log);
    EXPECT_EQ(many.rows, one.rows);
    EXPECT_EQ(many.seen, one.seen);
}

TEST(MiningRunJobs, AnyNumberOfJobsGivesTheRowsLabelsAndProgressOfOneJob) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Start());
    net::EndpointConfig config;
    config.searchBase = config.suggestBase = simulator.BaseUrl();
    for (const int levelIndex : {0, 1}) {
        const RunRecord one = RecordRun(config, 1, levelIndex);
        ASSERT_GT(one.rows.size(), 50u);
        for (const int jobs : {2, 8}) {
            SCOPED_TRACE(std::to_string(jobs) + " jobs, level index " + std::to_string(levelIndex));
            ExpectSameRuns(one, RecordRun(config, jobs, levelIndex));
        }
    }
}

TEST(MiningRunJobs, ChangesDuringAParallelRunTakeEffectAsWithOneJob) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Start());
    net::EndpointConfig config;
    config.searchBase = config.suggestBase = simulator.BaseUrl();
    const struct {
        const char* name;
        std::function<void(int, test::FakeMiningView&, runtime::MemoryTable&)> afterRow;
    } cases[] = {
        // The must-contain edit counts from the next candidate on.
        {"must-contain changed",
         [](int rows, test::FakeMiningView& view, runtime::MemoryTable&) {
             if (rows == 12) {
                 view.mustContain = Utf8ToGbk("衣");
             }
         }},
        // "清空关键词": later stage-1 duplicates of cleared rows come back.
        {"list cleared",
         [](int rows, test::FakeMiningView&, runtime::MemoryTable& list) {
             if (rows == 6) {
                 list.Clear();
             }
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunRecord one = RecordRun(config, 1, 0, c.afterRow);
        ExpectSameRuns(one, RecordRun(config, 8, 0, c.afterRow));
        ASSERT_GT(one.rows.size(), 12u);
    }
    // The edit really changed what was accepted.
    const RunRecord edited = RecordRun(config, 8, 0, cases[0].afterRow);
    for (std::size_t i = 12; i < edited.rows.size(); ++i) {
        EXPECT_NE(edited.rows[i].find("衣"), std::string::npos) << edited.rows[i];
    }
}

TEST(MiningRunJobs, CancelEndsEveryFetchInFlight) {
    test::CraftedEndpoints server;
    server.SetRelated("seed", {"a", "b", "c", "d", "e", "f"});
    for (const char* keyword : {"a", "b", "c", "d", "e", "f"}) {
        server.StallReplies("search " + std::string(keyword));
    }
    MiningState state;
    runtime::MemoryTable list{MiningListColumns()};
    const LiveMiningInputs inputs("", 2);
    TableMiningSink sink(list);
    runtime::CancelToken cancel;
    std::thread run([&] {
        auto lease = state.TryBeginRun();
        EXPECT_FALSE(RunMining(*lease, {server.Config(), 4}, inputs, sink, "seed", cancel));
    });
    // Pass 2: four of the six pages are asked for at once, and none answers.
    server.AwaitStalled(4);
    cancel.Cancel();
    run.join();  // a fetch that ignored the cancel would hold this
    server.ReleaseStalls();
    EXPECT_EQ(RowsOf(list), (Texts{"1 a", "2 b", "3 c", "4 d", "5 e", "6 f"}));
    EXPECT_EQ(Asked(server, "search").size(), 1u + 4u);
    EXPECT_TRUE(Asked(server, "sug").empty());
}

}  // namespace
}  // namespace mofeng::mining
