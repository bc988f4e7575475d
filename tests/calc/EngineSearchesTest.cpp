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

TEST(EngineSearches, AFaultMidSearchLeavesATraceThatSaysSo)
{
    Bench b(4);
    trenchInputs(b);
    b.r.SoucBezp = 0; // every length candidate divides by zero
    b.r.RainDurations[1] = 0; // skipped, so the fault comes at the second entry
    EXPECT_THROW(b.engine.ComputeButton(4), FloatFault);
    ASSERT_EQ(b.engine.searches().traces.size(), 1u);
    const SearchTrace& t = b.engine.searches().traces[0];
    EXPECT_EQ(t.candidates[0].state, SearchCandidate::State::Skipped);
    EXPECT_EQ(t.faultedAt(), 1);
    EXPECT_TRUE(t.fault.has_value());
    EXPECT_EQ(t.governing, -1);
}

TEST(EngineSearches, EveryTechnologyThatSearchesIsTraced)
{
    struct Case {
        int tech;
        float R::*quantity;
    };
    for (const Case c : {Case{2, &R::ObjAkum}, Case{5, &R::VyskaVzduti}, Case{6, &R::ObjAkum}}) {
        Bench b(c.tech);
        trenchInputs(b);
        b.r.PrumerSachtyVnit = 1;
        b.r.ShaftOuterDiameter = 1.2f;
        b.r.SachtyCount = 1;
        b.r.NezamrzHlPritok = 1;
        b.r.VyskaFiltrVrstvy = 0.5f;
        b.r.SpecInfilIntenz = 10;
        b.r.DelkaDnaNadrz = b.r.SirkaDnaNadrz = b.r.HloubkaNadrz = 1;
        if (c.tech == 2)
            b.engine.CalcTechnology();
        else
            b.engine.ComputeButton(c.tech);
        ASSERT_EQ(b.engine.searches().traces.size(), 1u) << c.tech;
        const SearchTrace& t = b.engine.searches().traces[0];
        EXPECT_EQ(t.pane, c.tech);
        EXPECT_EQ(t.quantity, c.quantity);
        ASSERT_GE(t.governing, 0) << c.tech;
        EXPECT_EQ(b.r.*c.quantity, t.candidates[std::size_t(t.governing)].value) << c.tech;
        EXPECT_EQ(b.r.SelIntDeste, t.candidates[std::size_t(t.governing)].intensity) << c.tech;
    }
}
