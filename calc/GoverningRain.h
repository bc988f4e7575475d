#pragma once
// The search for the governing rain: every technology whose result depends on
// the rain duration evaluates one candidate per entry of the rain series and
// keeps the largest. Written once here so every technology searches alike.

#include "FloatOps.h"
#include "ProjectRecord.h"
#include "SearchTrace.h"

namespace infil {

// What a search does with an entry whose duration is not greater than 0.
enum class ZeroDurations {
    Evaluate, // the candidate is computed as for any other entry
    Skip      // the entry is passed over (its candidate would divide by the duration)
};

// Runs the search over RainDurations(1..9) / RainIntensities(1..9), 5 min first.
// Each candidate, candidate(t, i) evaluated in double, is assigned to `result`
// as it is computed (rounded to a float; a fault throws FloatFault and ends the
// search there). A candidate strictly greater than the best so far becomes the
// best and sets SelDTrvDeste and SelIntDeste to its duration and intensity, so
// ties keep the shorter duration and a candidate that is 0 or negative never
// governs. Afterwards `result` holds the best, 0 when no candidate
// was positive (the selected rain then stays as it was).
//
// With a `trace`, every entry is written down as the search meets it, the
// faulting one too, before the fault goes on to the caller; the caller fills
// in which quantity and technology the trace is for.
template <typename Candidate>
void searchGoverningRain(ProjectRecord& r, ZeroDurations zeros, Candidate&& candidate,
                         float& result, SearchTrace* trace = nullptr)
{
    using State = SearchCandidate::State;
    if (trace) {
        trace->governing = -1;
        trace->fault.reset();
        for (int k = 1; k <= 9; ++k)
            trace->candidates[static_cast<std::size_t>(k - 1)] = {r.RainDurations[k],
                                                                  r.RainIntensities[k],
                                                                  State::NotReached, 0};
    }
    float best = 0;
    int governing = -1;
    for (int k = 1; k <= 9; ++k) {
        const float t = r.RainDurations[k];
        const float i = r.RainIntensities[k];
        SearchCandidate* seen = trace ? &trace->candidates[static_cast<std::size_t>(k - 1)] : nullptr;
        if (zeros == ZeroDurations::Skip && !(t > 0)) {
            if (seen)
                seen->state = State::Skipped;
            continue;
        }
        try {
            result = fp::single(candidate(static_cast<double>(t), static_cast<double>(i)));
        } catch (const FloatFault& fault) {
            if (trace) {
                seen->state = State::Faulted;
                trace->fault = fault.kind();
            }
            throw;
        }
        if (seen) {
            seen->state = State::Evaluated;
            seen->value = result;
        }
        if (result > best) {
            best = result;
            governing = k - 1;
            r.SelDTrvDeste = t;
            r.SelIntDeste = i;
        }
    }
    result = best;
    if (trace)
        trace->governing = governing;
}

} // namespace infil
