#include "FakeEngineHost.h"
#include "GoverningRain.h"

#include <gtest/gtest.h>

using namespace infil;
using infil::test::setRain;
using infil::test::startedRecord;

namespace {

// Candidate = the intensity itself, so the series decides the winner.
float searchIntensities(ProjectRecord& r, ZeroDurations zeros, std::vector<float>* seen = nullptr)
{
    float result = -99;
    searchGoverningRain(
        r, zeros,
        [&](double t, double i) {
            if (seen)
                seen->push_back(static_cast<float>(t));
            return zeros == ZeroDurations::Evaluate ? i * t / t : i;
        },
        result);
    return result;
}

// The same search with a trace: the candidate is the intensity.
float searchGoverningRainTraced(ProjectRecord& r, ZeroDurations zeros, SearchTrace& trace)
{
    float result = -99;
    searchGoverningRain(r, zeros, [](double, double i) { return i; }, result, &trace);
    return result;
}

} // namespace

TEST(GoverningRain, StrictlyGreaterWinsAndTiesKeepTheShorterDuration)
{
    ProjectRecord r = startedRecord();
    setRain(r, {10, 40, 25, 40, 40, 5, 0, 0, 0});
    EXPECT_EQ(searchIntensities(r, ZeroDurations::Skip), 40.0f);
    EXPECT_EQ(r.SelDTrvDeste, 10.0f);
    EXPECT_EQ(r.SelIntDeste, 40.0f);
}

TEST(GoverningRain, NothingPositiveGivesZeroAndKeepsTheSelectedRain)
{
    for (const float fill : {0.0f, -3.0f}) {
        ProjectRecord r = startedRecord();
        r.SelDTrvDeste = 17;
        r.SelIntDeste = 123;
        for (float& i : r.RainIntensities)
            i = fill;
        r.RainIntensities[4] = fill * 0.5f; // the least negative must not win either
        EXPECT_EQ(searchIntensities(r, ZeroDurations::Skip), 0.0f) << fill;
        EXPECT_EQ(r.SelDTrvDeste, 17.0f);
        EXPECT_EQ(r.SelIntDeste, 123.0f);
    }
}

TEST(GoverningRain, ZeroDurationsAreSkippedOrEvaluatedAsAsked)
{
    ProjectRecord r = startedRecord();
    r.RainDurations[2] = 0;
    r.RainDurations[5] = -10;
    setRain(r, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    std::vector<float> seen;
    searchIntensities(r, ZeroDurations::Skip, &seen);
    EXPECT_EQ(seen, (std::vector<float>{5, 15, 20, 45, 60, 90, 120}));

    // Evaluated, the candidate i × t / t divides 0 by 0 at the zero duration.
    seen.clear();
    r.SelDTrvDeste = 1;
    EXPECT_THROW(searchIntensities(r, ZeroDurations::Evaluate, &seen), FloatFault);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(r.SelDTrvDeste, 5.0f); // the first entry had already governed
}

TEST(GoverningRain, EachCandidateIsStoredAsAFloatAndAFaultStopsTheSearch)
{
    ProjectRecord r = startedRecord();
    setRain(r, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    float result = 0;
    int calls = 0;
    EXPECT_THROW(searchGoverningRain(
                     r, ZeroDurations::Skip,
                     [&](double, double i) {
                         ++calls;
                         return i < 3 ? i + 0.1 : 1e39; // too large for a float
                     },
                     result),
                 FloatFault);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(result, 2.1f); // the last candidate assigned, not the best
    EXPECT_EQ(r.SelIntDeste, 2.0f);
}

TEST(GoverningRain, TheTraceRecordsEveryEntryAndTheWinnerTheSearchChose)
{
    ProjectRecord r = startedRecord();
    r.RainDurations[2] = 0;
    setRain(r, {10, 99, 40, 25, 40, 5, -1, 0, 0});
    SearchTrace trace;
    trace.governing = 7; // whatever a trace held before is replaced
    EXPECT_EQ(searchGoverningRainTraced(r, ZeroDurations::Skip, trace), 40.0f);

    using State = SearchCandidate::State;
    EXPECT_EQ(trace.candidates[1].state, State::Skipped);
    for (std::size_t k : {0u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        EXPECT_EQ(trace.candidates[k].state, State::Evaluated) << k;
        EXPECT_EQ(trace.candidates[k].value, r.RainIntensities[int(k) + 1]) << k;
        EXPECT_EQ(trace.candidates[k].duration, r.RainDurations[int(k) + 1]) << k;
    }
    // The skipped 99 never competes; of the two 40s the shorter duration governs.
    EXPECT_EQ(trace.governing, 2);
    EXPECT_EQ(r.SelDTrvDeste, trace.candidates[2].duration);
    EXPECT_FALSE(trace.fault);

    // Nothing positive: no entry governs.
    setRain(r, {0, 0, -2, 0, 0, 0, 0, 0, 0});
    searchGoverningRainTraced(r, ZeroDurations::Evaluate, trace);
    EXPECT_EQ(trace.governing, -1);
    EXPECT_EQ(trace.candidates[1].state, State::Evaluated);
}

TEST(GoverningRain, AFaultIsWrittenDownWhereItHappenedAndStillReachesTheCaller)
{
    ProjectRecord r = startedRecord();
    setRain(r, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    float result = 0;
    SearchTrace trace;
    EXPECT_THROW(searchGoverningRain(
                     r, ZeroDurations::Skip,
                     [&](double t, double i) { return t < 15 ? i : fp::div(i, 0); }, result, &trace),
                 FloatFault);
    using State = SearchCandidate::State;
    EXPECT_EQ(trace.candidates[1].state, State::Evaluated);
    EXPECT_EQ(trace.candidates[2].state, State::Faulted);
    EXPECT_EQ(trace.candidates[3].state, State::NotReached);
    EXPECT_EQ(trace.faultedAt(), 2);
    EXPECT_EQ(trace.fault, FloatFault::Kind::DivisionByZero);
    EXPECT_EQ(trace.governing, -1);
    EXPECT_EQ(trace.candidates[8].duration, 120.0f); // the series is there in full
}
