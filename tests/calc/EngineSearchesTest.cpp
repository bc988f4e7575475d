// The engine keeps the governing-rain searches of its last calculation.
#include "FakeEngineHost.h"

#include <gtest/gtest.h>

using namespace infil;
using namespace infil::test;

namespace {

using R = ProjectRecord;

void trenchInputs(Bench& b)
{
    b.r.OdvodNepPlocha = 850;
    b.r.SoucFiltrace = 2e-5f;
    b.r.VyskaRyhy = 1.2f;
    b.r.SirkaRyhy = 0.8f;
    setRain(b.r, {290, 218, 175, 146, 110, 82, 66, 48, 38});
}

} // namespace

TEST(EngineSearches, EachCalculationThatSearchesReplacesTheLastSet)
{
    Bench b(3);
    trenchInputs(b);
    b.r.SoucFiltrPruleh = 2e-5f;
    b.r.PorVyplne = 0.35f;
    b.engine.CalcTechnology();
    EXPECT_TRUE(b.engine.searches().traces.empty()); // the combined swale's area searches nothing

    b.engine.ComputeButton(3);
    const SearchLog& log = b.engine.searches();
    ASSERT_EQ(log.traces.size(), 2u);
    EXPECT_EQ(log.traces[0].quantity, &R::ObjAkum);
    EXPECT_EQ(log.traces[1].quantity, &R::DelkaRyhy);
    EXPECT_EQ(log.traces[0].pane, 3);
    const int revision = log.revision;
    for (const SearchTrace& t : log.traces) {
        ASSERT_GE(t.governing, 0);
        EXPECT_EQ(b.r.*t.quantity, t.candidates[std::size_t(t.governing)].value);
    }
    // The trench length's search ran last, so its entry is the design rain.
    EXPECT_EQ(b.r.SelDTrvDeste, log.traces[1].candidates[std::size_t(log.traces[1].governing)].duration);

    // A calculation without a search leaves the set as it was ...
    b.form.TechIndex = 4;
    b.engine.CalcTechnology();
    EXPECT_EQ(log.revision, revision);
    EXPECT_EQ(log.traces.size(), 2u);
    // ... one with a search replaces it.
    b.engine.ComputeButton(4);
    EXPECT_EQ(log.revision, revision + 1);
    ASSERT_EQ(log.traces.size(), 1u);
    EXPECT_EQ(log.traces[0].pane, 4);
    EXPECT_EQ(log.traces[0].quantity, &R::DelkaRyhy);
}
