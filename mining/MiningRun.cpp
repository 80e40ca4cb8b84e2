#include "mining/MiningRun.h"

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "mining/KeywordSources.h"
#include "mining/MiningTexts.h"
#include "net/FetchSettings.h"
#include "runtime/NumberOps.h"
#include "runtime/ParallelRun.h"
#include "runtime/TextOps.h"

namespace mofeng::mining {
namespace {

constexpr int kRelatedPasses = 4;

}  // namespace

MiningRun::MiningRun(MiningRunLease& lease, MiningRunInput input, const MiningInputs& inputs,
                     MiningSink& sink, const runtime::CancelToken& cancel)
    : m_lease(lease), m_input(std::move(input)), m_inputs(inputs), m_sink(sink), m_cancel(cancel) {}

void MiningRun::Notify() {
    m_sink.Progressed(m_progress);
}

std::optional<bool> MiningRun::HoldsMustContain(std::string_view candidate) {
    if (Cancelled()) {
        return std::nullopt;
    }
    const bool holds = runtime::TextFind(candidate, m_inputs.MustContainText()) != -1 &&
                       !m_inputs.HoldsExcludedWord(candidate);
    if (Cancelled()) {
        return std::nullopt;
    }
    return holds;
}

bool MiningRun::AtRowLimit() {
    if (!m_progress.rowLimitReached && m_sink.ListRowCount() >= m_rowLimit) {
        m_progress.rowLimitReached = true;
        m_sink.SetStatusLabel(RowLimitLabel());
        Notify();
    }
    return m_progress.rowLimitReached;
}

bool MiningRun::AppendRow(const std::string& keyword) {
    if (AtRowLimit()) {
        return false;
    }
    const std::string number = runtime::ToText(static_cast<int>(m_lease.RowCounter()) + 1);
    if (!m_sink.AppendRow(number, keyword)) {
        return false;  // the list has gone: no row, so no number used
    }
    m_lease.CountRow();
    ++m_progress.accepted;
    Notify();
    return true;
}

bool MiningRun::Judge(net::LookupOutcome outcome) {
    if (Cancelled()) {
        return false;
    }
    // Reported with its outcome counted, so a pause after a blocked streak
    // shows the whole streak.
    ++m_progress.outcomes[static_cast<std::size_t>(outcome)];
    Notify();
    m_blockedStreak = outcome == net::LookupOutcome::Blocked ? m_blockedStreak + 1 : 0;
    const int pauseAfter = net::CurrentFetchSettings()->pauseAfterBlocked;
    if (pauseAfter <= 0 || m_blockedStreak < pauseAfter) {
        return true;
    }
    const bool resume = m_sink.ResumeAfterBlocked(m_blockedStreak);
    if (!resume || Cancelled()) {
        m_progress.stoppedForBlocked = !Cancelled();
        if (m_progress.stoppedForBlocked) {
            Notify();  // the observers learn why the run ends
        }
        return false;
    }
    m_blockedStreak = 0;
    return true;
}

bool MiningRun::JudgeRelated(const Candidates& looked) {
    ++m_progress.requests;
    if (!Judge(looked.outcome)) {
        return false;
    }
    std::vector<std::string>& related = m_lease.RelatedKeywords();
    for (const std::string& candidate : looked.candidates) {
        const std::optional<bool> holds = HoldsMustContain(candidate);
        if (!holds) {
            return false;
        }
        if (!*holds || m_sink.ListHasKeyword(candidate)) {
            continue;
        }
        if (!AppendRow(candidate)) {
            break;
        }
        related.push_back(candidate);
    }
    return !Ended();
}

bool MiningRun::ExpandRelated(const std::vector<std::string>& keywords) {
    return runtime::ConsumeInOrder<Candidates>(
        keywords.size(), m_input.jobs, m_cancel,
        [&](std::size_t i) {
            return RelatedSearchLookup(m_input.endpoints, keywords[i], &m_cancel);
        },
        [&](std::size_t, Candidates&& candidates) { return JudgeRelated(candidates); });
}

bool MiningRun::RelatedSearchStage(std::string_view seed) {
    std::vector<std::string>& related = m_lease.RelatedKeywords();
    related.clear();
    m_progress.stage = 1;
    m_progress.step = 1;
    if (AtRowLimit() || !ExpandRelated({std::string(seed)})) {
        return EndedWell();
    }
    // Each later pass expands what the pass before it accepted; the bounds
    // are fixed when the pass begins, so its own acceptances wait a pass.
    std::size_t begin = 0;
    for (int pass = 2; pass <= kRelatedPasses; ++pass) {
        const std::size_t end = related.size();
        m_progress.step = pass;
        // A copy: judging appends to the vector.
        const std::vector<std::string> keywords(related.begin() + static_cast<long>(begin),
                                                related.begin() + static_cast<long>(end));
        if (!ExpandRelated(keywords)) {
            return EndedWell();
        }
        begin = end;
    }
    return true;
}

bool MiningRun::JudgeSuggestions(const Candidates& looked) {
    ++m_progress.requests;
    if (!Judge(looked.outcome)) {
        return false;
    }
    runtime::OrderedKeySet& seen = m_lease.SeenSuggestionSet();
    for (std::size_t i = 0; i < looked.candidates.size(); ++i) {
        const std::string& candidate = looked.candidates[i];
        const std::optional<bool> holds = HoldsMustContain(candidate);
        if (!holds) {
            return false;
        }
        // Seen only once its row exists: a keyword marked seen without a row
        // would be refused by every later run of the session. Only the lease
        // holder writes the set, so check-then-add cannot race.
        if (*holds && !seen.Contains(candidate)) {
            if (!AppendRow(candidate)) {
                break;
            }
            seen.Add(candidate);
        }
        // Refused candidates too: their rows may stem from a related search,
        // an earlier level or an earlier run.
        if (i < looked.weights.size() && !looked.weights[i].empty()) {
            m_sink.SawWeight(candidate, looked.weights[i]);
        }
    }
    return !Ended();
}

bool MiningRun::ExpandSuggestions(const std::vector<std::string>& keywords, bool advanceBar) {
    return runtime::ConsumeInOrder<Candidates>(
        keywords.size(), m_input.jobs, m_cancel,
        [&](std::size_t i) {
            return SuggestionLookup(m_input.endpoints, keywords[i], &m_cancel,
                                    m_input.suggestionTags);
        },
        [&](std::size_t, Candidates&& candidates) {
            if (!JudgeSuggestions(candidates)) {
                return false;
            }
            if (advanceBar) {
                m_sink.SetProgress(++m_barPosition, m_barMaximum);
            }
            return true;
        });
}

void MiningRun::StartLevel(int level, int maximum, const std::string& label) {
    m_progress.step = level;
    m_barMaximum = maximum;
    m_barPosition = 0;
    m_sink.SetProgress(0, maximum);
    m_sink.SetStatusLabel(label);
}

bool MiningRun::SuggestionStage() {
    if (m_progress.rowLimitReached) {
        return EndedWell();
    }
    m_progress.stage = 2;
    const std::vector<std::string> related = m_lease.RelatedKeywords();
    std::vector<std::string>& keys = m_lease.SuggestionKeyList();
    runtime::OrderedKeySet& seen = m_lease.SeenSuggestionSet();

    StartLevel(1, static_cast<int>(related.size()), LevelOneLabel());
    if (!ExpandSuggestions(related, true)) {
        return EndedWell();
    }
    keys = seen.Keys();
    const std::size_t levelOneEnd = keys.size();
    if (Cancelled()) {
        return false;
    }
    if (m_inputs.LevelIndex() == 0) {
        return true;
    }

    // Level 2 expands every key seen so far, earlier runs' included.
    StartLevel(2, static_cast<int>(levelOneEnd), LevelTwoLabel());
    if (!ExpandSuggestions(keys, true)) {
        return EndedWell();
    }
    if (m_inputs.LevelIndex() == 1) {
        return true;
    }

    // Level 3 expands the keys level 2 added.
    keys = seen.Keys();
    const std::size_t levelTwoEnd = keys.size();
    StartLevel(3, static_cast<int>(levelTwoEnd - levelOneEnd), LevelThreeLabel());
    const std::vector<std::string> added(keys.begin() + static_cast<long>(levelOneEnd),
                                         keys.begin() + static_cast<long>(levelTwoEnd));
    if (!ExpandSuggestions(added, true)) {
        return EndedWell();
    }
    m_sink.SetStatusLabel(MiningDoneLabel());
    keys = seen.Keys();
    return true;
}

bool RunMining(MiningRunLease& lease, const MiningRunInput& input, const MiningInputs& inputs,
               MiningSink& sink, std::string_view seed, const runtime::CancelToken& cancel) {
    MiningRun run(lease, input, inputs, sink, cancel);
    return run.RelatedSearchStage(seed) && run.SuggestionStage();
}

}  // namespace mofeng::mining
