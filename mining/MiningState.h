#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/OrderedKeySet.h"

namespace mofeng::mining {

class MiningRunLease;

// The program-wide state of keyword mining, shared by every mining window.
// Created before the first window and kept until the program ends. Only the
// holder of the run lease touches the run members, and at most one lease
// exists at a time, so two runs never share them.
class MiningState final {
public:
    MiningState() = default;
    MiningState(const MiningState&) = delete;
    MiningState& operator=(const MiningState&) = delete;

    // The lease of a new run; null while another run holds it. Any thread.
    std::unique_ptr<MiningRunLease> TryBeginRun();
    bool IsRunActive() const { return m_runActive.load(std::memory_order_acquire); }

    // Every suggestion ever accepted, in acceptance order; never emptied.
    runtime::OrderedKeySet& SeenSuggestionSet() { return m_seenSuggestions; }
    // Number of rows runs have added since the program started; never reset.
    std::int32_t MiningRowCounter() const { return m_rowCounter.load(); }

private:
    friend class MiningRunLease;

    std::atomic<bool> m_runActive{false};
    runtime::OrderedKeySet m_seenSuggestions;  // thread-safe on its own
    std::atomic<std::int32_t> m_rowCounter{0};
    // Lease holder only:
    std::vector<std::string> m_relatedKeywords;    // stage-1 acceptances of this run
    std::vector<std::string> m_suggestionKeyList;  // snapshot of the seen set
};

// The right to run: gives access to the run members of the state and frees
// the state for the next run when destroyed. Any one thread at a time.
class MiningRunLease final {
public:
    ~MiningRunLease();
    MiningRunLease(const MiningRunLease&) = delete;
    MiningRunLease& operator=(const MiningRunLease&) = delete;

    MiningState& State() { return m_state; }
    std::vector<std::string>& RelatedKeywords() { return m_state.m_relatedKeywords; }
    std::vector<std::string>& SuggestionKeyList() { return m_state.m_suggestionKeyList; }
    runtime::OrderedKeySet& SeenSuggestionSet() { return m_state.m_seenSuggestions; }
    std::int32_t RowCounter() const { return m_state.m_rowCounter.load(); }
    // Counts one row added; returns the new counter.
    std::int32_t CountRow() { return ++m_state.m_rowCounter; }

private:
    friend class MiningState;
    explicit MiningRunLease(MiningState& state) : m_state(state) {}

    MiningState& m_state;
};

}  // namespace mofeng::mining
