#pragma once
// What one governing-rain search saw: the nine entries of the rain series, the
// candidate it computed for each, and the entry that governs. The engine keeps
// the searches of its last calculation, so that a designer can show why one
// duration governs (the batch output, the diagrams of the results tab and the
// report).

#include "FloatOps.h"
#include "ProjectRecord.h"

#include <array>
#include <optional>
#include <vector>

namespace infil {

struct SearchCandidate {
    enum class State {
        NotReached, // the search stopped before this entry
        Evaluated,  // `value` holds the candidate as stored (a float)
        Skipped,    // the duration is not greater than 0 and the search passes such entries over
        Faulted     // computing this candidate faulted and ended the search
    };
    float duration = 0;  // min
    float intensity = 0; // l/(s·ha)
    State state = State::NotReached;
    float value = 0;     // in the unit of the quantity searched
};

struct SearchTrace {
    // The record field searched and the technology (pane) whose search it is.
    float ProjectRecord::*quantity = nullptr;
    int pane = 0;
    std::array<SearchCandidate, 9> candidates{}; // RainDurations(1..9) in order
    // The governing entry (0..8): the first strictly largest positive candidate.
    // -1 when none was positive, and when the search faulted.
    int governing = -1;
    // Set when a candidate faulted; that entry is the Faulted one.
    std::optional<FloatFault::Kind> fault;

    // The entry that faulted, -1 when none did.
    int faultedAt() const
    {
        for (int k = 0; k < 9; ++k)
            if (candidates[static_cast<std::size_t>(k)].state == SearchCandidate::State::Faulted)
                return k;
        return -1;
    }
};

// The searches of the engine's last calculation that searched. `revision`
// counts such calculations, so a caller can tell a new set from an old one.
struct SearchLog {
    std::vector<SearchTrace> traces;
    int revision = 0;
};

} // namespace infil
