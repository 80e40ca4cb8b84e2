#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "net/LookupOutcome.h"
#include "runtime/Table.h"

namespace mofeng::mining {

// Where a run is; counts are this run's own.
struct MiningProgress {
    int stage = 0;              // 1 related searches, 2 suggestions; 0 before the first
    int step = 0;               // stage 1: pass 1..4; stage 2: level 1..3
    std::int64_t requests = 0;  // source fetches judged
    std::int64_t accepted = 0;  // rows added
    // Expansions per outcome (net::LookupOutcome order); 未查询 stays 0.
    std::array<std::int64_t, net::kLookupOutcomeCount> outcomes{};
    bool stoppedForBlocked = false;
    bool rowLimitReached = false;  // the list holds the most rows a run may leave

    std::int64_t Count(net::LookupOutcome outcome) const {
        return outcomes[static_cast<std::size_t>(outcome)];
    }
    bool AnyTrouble() const {
        return Count(net::LookupOutcome::Failed) > 0 || Count(net::LookupOutcome::Blocked) > 0;
    }
};

// Most rows a run leaves in its list, earlier runs' rows included.
inline constexpr std::int64_t kMaxMiningRows = 1'000'000;

// Told after every judged fetch and every accepted keyword.
class MiningObserver {
public:
    virtual ~MiningObserver() = default;
    virtual void Progressed(const MiningProgress& progress) = 0;
    // After `streak` expansions in a row met a login page: true goes on (with
    // the fetch settings as they are then), false ends the run. Default: end.
    // May wait for the user.
    virtual bool ResumeAfterBlocked(int streak) { return false; }
};

// Where a mining run reports, and its view of the mining list's keyword
// column. Called only from the thread that judges candidates (one at a
// time, in the run's order); no call may wait for the UI thread.
class MiningSink : public MiningObserver {
public:
    // Whether column 1 of the mining list holds keyword (byte-exact) as the
    // list stands after every row this run appended and every clear so far.
    virtual bool ListHasKeyword(std::string_view keyword) = 0;
    // Rows of the mining list as it stands after every row this run appended
    // and every clear so far.
    virtual std::int64_t ListRowCount() = 0;
    // Appends the row (number, keyword) at the end of the mining list; false
    // when the list has gone (no row, so the number is not used).
    virtual bool AppendRow(std::string number, std::string keyword) = 0;
    // A suggestion reply gave keyword (GBK) this weight (decimal text), told
    // after the row the candidate may have added. Each row of the list that
    // holds keyword takes it: the latest weight seen is the one kept. Rows
    // of keywords no reply named stay without one. Default: dropped.
    virtual void SawWeight(std::string_view keyword, std::string weight) {}
    // The status label and the progress bar (stage 2 only).
    virtual void SetStatusLabel(const std::string& text) {}
    virtual void SetProgress(int position, int maximum) {}
    void Progressed(const MiningProgress&) override {}
};

// A sink over a thread-safe table (the command line, tests): rows are
// appended straight into it, the duplicate test is the table's column
// search, and the label, the bar and (when asked) the weights are kept as
// values.
class TableMiningSink : public MiningSink {
public:
    explicit TableMiningSink(runtime::Table& list, MiningObserver* observer = nullptr)
        : m_list(list), m_observer(observer) {}

    bool ListHasKeyword(std::string_view keyword) override;
    std::int64_t ListRowCount() override { return m_list.RowCount(); }
    bool AppendRow(std::string number, std::string keyword) override;
    void SawWeight(std::string_view keyword, std::string weight) override;
    void SetStatusLabel(const std::string& text) override { m_label = text; }
    void SetProgress(int position, int maximum) override {
        m_position = position;
        m_maximum = maximum;
    }
    void Progressed(const MiningProgress& progress) override {
        if (m_observer != nullptr) {
            m_observer->Progressed(progress);
        }
    }
    bool ResumeAfterBlocked(int streak) override {
        return m_observer != nullptr && m_observer->ResumeAfterBlocked(streak);
    }

    const std::string& Label() const { return m_label; }
    int Position() const { return m_position; }
    int Maximum() const { return m_maximum; }
    // From now on the weights of the list's keywords are kept (off by
    // default: they cost memory per keyword).
    void KeepWeights() { m_keepWeights = true; }
    // The latest weight kept for a keyword of the list; empty when none.
    std::string WeightOf(std::string_view keyword) const;

private:
    runtime::Table& m_list;
    bool m_keepWeights = false;
    std::map<std::string, std::string, std::less<>> m_weights;
    MiningObserver* m_observer;
    std::string m_label;
    int m_position = 0;
    int m_maximum = 0;
};

}  // namespace mofeng::mining
