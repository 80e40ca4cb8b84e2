#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mining/MiningState.h"
#include "mining/MiningView.h"
#include "net/EndpointConfig.h"
#include "net/LookupOutcome.h"
#include "runtime/CancelToken.h"
#include "runtime/Table.h"

namespace mofeng::mining {

// Where a run is; counts are this run's own.
struct MiningProgress {
    int stage = 0;              // 1 related searches, 2 suggestions; 0 before the first
    int step = 0;               // stage 1: pass 1..4; stage 2: level 1..3
    std::int64_t requests = 0;  // source fetches made
    std::int64_t accepted = 0;  // rows added
    // Expansions per outcome (net::LookupOutcome order); 未查询 stays 0.
    std::array<std::int64_t, 5> outcomes{};
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

// Told on the run's thread after every fetch and every accepted keyword.
class MiningObserver {
public:
    virtual ~MiningObserver() = default;
    virtual void Progressed(const MiningProgress& progress) = 0;
    // After `streak` expansions in a row met a login page: true goes on (with
    // the fetch settings as they are then), false ends the run. Default: end.
    virtual bool ResumeAfterBlocked(int streak) { return false; }
};

// One mining run: expands a seed into the mining list (MiningList columns)
// through the related-search links, four passes, then through the
// suggestions, one to three levels as the view's level index says. A keyword
// is accepted when it holds the must-contain text (read anew per candidate;
// byte-wise, case-sensitive, at character boundaries) and is new by the
// stage's rule: stage 1 looks for it in the list's keyword column, stage 2
// adds it to the program-wide seen set. Each accepted keyword is appended as
// one row numbered by the never-reset row counter. Only stage 2 writes the
// status label and the progress bar.
//
// Each expansion is fetched through the fetch policy (paced, retried) and
// counted by outcome; after the configured number of blocked expansions in a
// row the observer decides whether the run goes on.
//
// The lease makes this the only run touching the shared state. A raised
// cancel token ends a stage at the next fetch or candidate (the fetch in
// flight returns early); nothing more is written then. Blocks the calling
// thread; the two stages may run on different threads, one after the other.
// Once the list holds the row limit (kMaxMiningRows unless set) the run stops
// as if finished: no further fetch or row, the status label says so, and the
// stages still return true.
class MiningRun final {
public:
    MiningRun(MiningRunLease& lease, const net::EndpointConfig& endpoints, runtime::Table& list,
              MiningView& view, const runtime::CancelToken& cancel,
              MiningObserver* observer = nullptr);

    // Empties the run's related keywords and runs the four passes from seed
    // (GBK, may be empty). False when cancelled.
    bool RelatedSearchStage(std::string_view seed);
    // Expands the related keywords, then the seen set. False when cancelled.
    bool SuggestionStage();

    const MiningProgress& Progress() const { return m_progress; }
    void SetRowLimit(std::int64_t rows) { m_rowLimit = rows; }

private:
    // Fetches and judges the candidates of one keyword. False when cancelled.
    bool ExpandRelated(const std::string& keyword);
    bool ExpandSuggestions(const std::string& keyword);
    // Whether the candidate holds the must-contain text; nullopt once cancelled.
    std::optional<bool> HoldsMustContain(std::string_view candidate);
    bool AppendRow(const std::string& keyword);
    // Expands keys [from, to) of the suggestion key list, advancing the bar.
    bool ExpandSuggestionKeys(std::size_t from, std::size_t to);
    void Notify();
    // Counts the expansion; false when a blocked streak ends the run.
    bool Judge(net::LookupOutcome outcome);
    bool Cancelled() const { return m_cancel.IsCancelled(); }
    // True once the list holds the row limit; says so the first time.
    bool AtRowLimit();
    // Cancelled, or stopped at the row limit.
    bool Ended() { return Cancelled() || AtRowLimit(); }
    // A stage that ended early succeeded only when the row limit ended it:
    // a cancel or a blocked streak fails it.
    bool EndedWell() const { return !Cancelled() && !m_progress.stoppedForBlocked; }

    MiningRunLease& m_lease;
    const net::EndpointConfig m_endpoints;  // a copy: callers often pass a temporary
    runtime::Table& m_list;
    MiningView& m_view;
    const runtime::CancelToken& m_cancel;
    MiningObserver* m_observer;
    MiningProgress m_progress;
    std::int64_t m_rowLimit = kMaxMiningRows;
    int m_blockedStreak = 0;
};

// Both stages of a run, one after the other, on the calling thread. False
// when cancelled.
bool RunMining(MiningRunLease& lease, const net::EndpointConfig& endpoints, runtime::Table& list,
               MiningView& view, std::string_view seed, const runtime::CancelToken& cancel,
               MiningObserver* observer = nullptr);

}  // namespace mofeng::mining
