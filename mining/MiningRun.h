#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mining/KeywordSources.h"
#include "mining/MiningInputs.h"
#include "mining/MiningSink.h"
#include "mining/MiningState.h"
#include "net/EndpointConfig.h"
#include "net/LookupOutcome.h"
#include "runtime/CancelToken.h"

namespace mofeng::mining {

// What a run works from, taken as values when it starts.
struct MiningRunInput {
    net::EndpointConfig endpoints;
    int jobs = 1;  // source fetches under way at a time, 1..16
    // The source "联想标签": each suggestion expansion also offers keyword +
    // each tag of the reply's magic block. Off: the suggestions only.
    bool suggestionTags = false;
};

// One mining run: expands a seed into the mining list through the
// related-search links, four passes, then through the suggestions, one to
// three levels as the live level index says. A keyword is accepted when it
// holds the must-contain text (read anew per candidate; byte-wise,
// case-sensitive, at character boundaries) and none of the exclude words
// (matched alike; an excluded candidate is not expanded either), and is new
// by the stage's rule:
// stage 1 asks the sink whether the list's keyword column holds it, stage 2
// adds it to the program-wide seen set. Each accepted keyword is appended as
// one row numbered by the never-reset row counter. Only stage 2 reports the
// status label and the progress bar. The weight a suggestion reply gives
// each of its candidates, accepted or not, goes to the sink (SawWeight) after
// that candidate's row, if it made one: the weights cost no request.
//
// The keywords a pass or level expands are fixed when it begins, so up to
// input.jobs of their fetches run ahead while the candidates are judged on
// the calling thread strictly in order: rows, numbers, the seen set, labels
// and progress are those of one job, and with one job the requests are made
// one after the other in that order.
//
// Each expansion is fetched through the fetch policy (paced, retried) and
// counted by outcome, in judging order; after the configured number of
// blocked expansions in a row the sink decides whether the run goes on.
//
// The lease makes this the only run touching the shared state. A raised
// cancel token ends a stage at the next fetch or candidate (every fetch in
// flight returns early); nothing more is reported then. Blocks the calling
// thread; the two stages may run on different threads, one after the other.
// Once the list holds the row limit (kMaxMiningRows unless set) the run stops
// as if finished: no further fetch or row, the status label says so, and the
// stages still return true.
class MiningRun final {
public:
    MiningRun(MiningRunLease& lease, MiningRunInput input, const MiningInputs& inputs,
              MiningSink& sink, const runtime::CancelToken& cancel);

    // Empties the run's related keywords and runs the four passes from seed
    // (GBK, may be empty). False when cancelled.
    bool RelatedSearchStage(std::string_view seed);
    // Expands the related keywords, then the seen set. False when cancelled.
    bool SuggestionStage();

    const MiningProgress& Progress() const { return m_progress; }
    void SetRowLimit(std::int64_t rows) { m_rowLimit = rows; }

private:
    using Candidates = SourceResult;

    // Fetches the candidates of every keyword, judging them in order.
    bool ExpandRelated(const std::vector<std::string>& keywords);
    bool ExpandSuggestions(const std::vector<std::string>& keywords, bool advanceBar);
    // Counts the expansion's outcome; false ends the run (cancelled, or a
    // blocked streak the sink does not resume).
    bool Judge(net::LookupOutcome outcome);
    bool JudgeRelated(const Candidates& candidates);
    bool JudgeSuggestions(const Candidates& candidates);
    // Whether the candidate holds the must-contain text and no exclude word;
    // nullopt once cancelled.
    std::optional<bool> HoldsMustContain(std::string_view candidate);
    bool AppendRow(const std::string& keyword);
    void StartLevel(int level, int maximum, const std::string& label);
    void Notify();
    bool Cancelled() const { return m_cancel.IsCancelled(); }
    // True once the list holds the row limit; says so the first time.
    bool AtRowLimit();
    // Cancelled, or stopped at the row limit.
    bool Ended() { return Cancelled() || AtRowLimit(); }
    // A stage that ended early succeeded only when the row limit ended it:
    // a cancel or a blocked streak fails it.
    bool EndedWell() const { return !Cancelled() && !m_progress.stoppedForBlocked; }

    MiningRunLease& m_lease;
    const MiningRunInput m_input;
    const MiningInputs& m_inputs;
    MiningSink& m_sink;
    const runtime::CancelToken& m_cancel;
    MiningProgress m_progress;
    int m_barPosition = 0;
    int m_barMaximum = 0;
    std::int64_t m_rowLimit = kMaxMiningRows;
    int m_blockedStreak = 0;
};

// Both stages of a run, one after the other, on the calling thread. False
// when cancelled.
bool RunMining(MiningRunLease& lease, const MiningRunInput& input, const MiningInputs& inputs,
               MiningSink& sink, std::string_view seed, const runtime::CancelToken& cancel);

}  // namespace mofeng::mining
