#include "mining/MiningRun.h"

#include <optional>
#include <vector>

#include "mining/KeywordSources.h"
#include "mining/MiningList.h"
#include "mining/MiningTexts.h"
#include "net/FetchSettings.h"
#include "runtime/NumberOps.h"
#include "runtime/TextOps.h"

namespace mofeng::mining {
namespace {

constexpr int kRelatedPasses = 4;

}  // namespace

MiningRun::MiningRun(MiningRunLease& lease, const net::EndpointConfig& endpoints,
                     runtime::Table& list, MiningView& view, const runtime::CancelToken& cancel,
                     MiningObserver* observer)
    : m_lease(lease),
      m_endpoints(endpoints),
      m_list(list),
      m_view(view),
      m_cancel(cancel),
      m_observer(observer) {}

void MiningRun::Notify() {
    if (m_observer != nullptr) {
        m_observer->Progressed(m_progress);
    }
}

std::optional<bool> MiningRun::HoldsMustContain(std::string_view candidate) {
    if (Cancelled()) {
        return std::nullopt;
    }
    const bool holds = runtime::TextFind(candidate, m_view.MustContainText()) != -1;
    // A window closing meanwhile answers the read with an empty text.
    if (Cancelled()) {
        return std::nullopt;
    }
    return holds;
}

bool MiningRun::AtRowLimit() {
    if (!m_progress.rowLimitReached && m_list.RowCount() >= m_rowLimit) {
        m_progress.rowLimitReached = true;
        m_view.SetStatusLabel(RowLimitLabel());
        Notify();
    }
    return m_progress.rowLimitReached;
}

bool MiningRun::AppendRow(const std::string& keyword) {
    if (AtRowLimit()) {
        return false;
    }
    const std::string number = runtime::ToText(static_cast<int>(m_lease.RowCounter()) + 1);
    if (m_list.AppendRows({runtime::Row{number, keyword}}) < 0) {
        return false;  // the list has gone: no row, so no number used
    }
    m_lease.CountRow();
    ++m_progress.accepted;
    Notify();
    return true;
}

bool MiningRun::Judge(net::LookupOutcome outcome) {
    if (Cancelled())
        return false;
    ++m_progress.outcomes[static_cast<std::size_t>(outcome)];
    m_blockedStreak = outcome == net::LookupOutcome::Blocked ? m_blockedStreak + 1 : 0;
    const int pauseAfter = net::CurrentFetchSettings()->pauseAfterBlocked;
    if (pauseAfter <= 0 || m_blockedStreak < pauseAfter)
        return true;
    const bool resume = m_observer != nullptr && m_observer->ResumeAfterBlocked(m_blockedStreak);
    if (!resume || Cancelled()) {
        m_progress.stoppedForBlocked = !Cancelled();
        return false;
    }
    m_blockedStreak = 0;
    return true;
}

bool MiningRun::ExpandRelated(const std::string& keyword) {
    const SourceResult looked = RelatedSearchLookup(m_endpoints, keyword, &m_cancel);
    const std::vector<std::string>& candidates = looked.candidates;
    ++m_progress.requests;
    Notify();
    if (!Judge(looked.outcome))
        return false;
    std::vector<std::string>& related = m_lease.RelatedKeywords();
    for (const std::string& candidate : candidates) {
        const std::optional<bool> holds = HoldsMustContain(candidate);
        if (!holds) {
            return false;
        }
        if (!*holds || m_list.FindRow(candidate, kKeywordColumn) != -1) {
            continue;
        }
        if (!AppendRow(candidate)) {
            break;
        }
        related.push_back(candidate);
    }
    return !Ended();
}

bool MiningRun::RelatedSearchStage(std::string_view seed) {
    std::vector<std::string>& related = m_lease.RelatedKeywords();
    related.clear();
    m_progress.stage = 1;
    m_progress.step = 1;
    if (AtRowLimit() || !ExpandRelated(std::string(seed))) {
        return EndedWell();
    }
    // Each later pass expands what the pass before it accepted; the bounds
    // are fixed when the pass begins, so its own acceptances wait a pass.
    std::size_t begin = 0;
    for (int pass = 2; pass <= kRelatedPasses; ++pass) {
        const std::size_t end = related.size();
        m_progress.step = pass;
        for (std::size_t i = begin; i < end; ++i) {
            // A copy: accepting candidates appends to the vector.
            if (!ExpandRelated(std::string(related[i]))) {
                return EndedWell();
            }
        }
        begin = end;
    }
    return true;
}

bool MiningRun::ExpandSuggestions(const std::string& keyword) {
    const SourceResult looked = SuggestionLookup(m_endpoints, keyword, &m_cancel);
    const std::vector<std::string>& candidates = looked.candidates;
    ++m_progress.requests;
    Notify();
    if (!Judge(looked.outcome))
        return false;
    runtime::OrderedKeySet& seen = m_lease.SeenSuggestionSet();
    for (const std::string& candidate : candidates) {
        const std::optional<bool> holds = HoldsMustContain(candidate);
        if (!holds) {
            return false;
        }
        // Seen only once its row exists: a keyword marked seen without a row
        // would be refused by every later run of the session. Only the lease
        // holder writes the set, so check-then-add cannot race.
        if (!*holds || seen.Contains(candidate)) {
            continue;
        }
        if (!AppendRow(candidate)) {
            break;
        }
        seen.Add(candidate);
    }
    return !Ended();
}

bool MiningRun::ExpandSuggestionKeys(std::size_t from, std::size_t to) {
    std::vector<std::string>& keys = m_lease.SuggestionKeyList();
    for (std::size_t i = from; i < to; ++i) {
        if (!ExpandSuggestions(keys[i])) {
            return false;
        }
        m_view.SetProgressPosition(m_view.ProgressPosition() + 1);
    }
    return !Ended();
}

bool MiningRun::SuggestionStage() {
    if (m_progress.rowLimitReached) {
        return EndedWell();
    }
    m_progress.stage = 2;
    m_progress.step = 1;
    const std::vector<std::string>& related = m_lease.RelatedKeywords();
    std::vector<std::string>& keys = m_lease.SuggestionKeyList();
    runtime::OrderedKeySet& seen = m_lease.SeenSuggestionSet();

    m_view.SetProgressMaximum(static_cast<int>(related.size()));
    m_view.SetProgressPosition(0);
    m_view.SetStatusLabel(LevelOneLabel());
    for (const std::string& keyword : related) {
        if (!ExpandSuggestions(keyword)) {
            return EndedWell();
        }
        m_view.SetProgressPosition(m_view.ProgressPosition() + 1);
    }
    keys = seen.Keys();
    const std::size_t levelOneEnd = keys.size();
    if (Cancelled()) {
        return false;
    }
    if (m_view.LevelIndex() == 0) {
        return true;
    }

    // Level 2 expands every key seen so far, earlier runs' included.
    m_progress.step = 2;
    m_view.SetProgressMaximum(static_cast<int>(levelOneEnd));
    m_view.SetProgressPosition(0);
    m_view.SetStatusLabel(LevelTwoLabel());
    if (!ExpandSuggestionKeys(0, levelOneEnd)) {
        return EndedWell();
    }
    if (m_view.LevelIndex() == 1) {
        return true;
    }

    // Level 3 expands the keys level 2 added.
    m_progress.step = 3;
    keys = seen.Keys();
    const std::size_t levelTwoEnd = keys.size();
    m_view.SetProgressMaximum(static_cast<int>(levelTwoEnd - levelOneEnd));
    m_view.SetProgressPosition(0);
    m_view.SetStatusLabel(LevelThreeLabel());
    if (!ExpandSuggestionKeys(levelOneEnd, levelTwoEnd)) {
        return EndedWell();
    }
    m_view.SetStatusLabel(MiningDoneLabel());
    keys = seen.Keys();
    return true;
}

bool RunMining(MiningRunLease& lease, const net::EndpointConfig& endpoints, runtime::Table& list,
               MiningView& view, std::string_view seed, const runtime::CancelToken& cancel,
               MiningObserver* observer) {
    MiningRun run(lease, endpoints, list, view, cancel, observer);
    return run.RelatedSearchStage(seed) && run.SuggestionStage();
}

}  // namespace mofeng::mining
