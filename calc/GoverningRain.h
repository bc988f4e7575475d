#pragma once
// The search for the governing rain: every technology whose result depends on
// the rain duration evaluates one candidate per entry of the rain series and
// keeps the largest. Written once here so every technology searches alike.

#include "FloatOps.h"
#include "ProjectRecord.h"

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
template <typename Candidate>
void searchGoverningRain(ProjectRecord& r, ZeroDurations zeros, Candidate&& candidate,
                         float& result)
{
    float best = 0;
    for (int k = 1; k <= 9; ++k) {
        const float t = r.RainDurations[k];
        const float i = r.RainIntensities[k];
        if (zeros == ZeroDurations::Skip && !(t > 0))
            continue;
        result = fp::single(candidate(static_cast<double>(t), static_cast<double>(i)));
        if (result > best) {
            best = result;
            r.SelDTrvDeste = t;
            r.SelIntDeste = i;
        }
    }
    result = best;
}

} // namespace infil
