// The plausibility verdict, rule by rule: at each limit nothing is said, just
// beyond it the finding appears with its weight.
#include "ReferenceTables.h"
#include "Verdict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using namespace infil;
using verdict::Severity;

namespace {

// A design that keeps every limit: a trench for 1000 m² in sand.
struct Design {
    ProjectRecord r;
    verdict::Context c;
    explicit Design(int tech)
    {
        InitReferenceTables(r);
        c.techIndex = tech;
        c.resultsCurrent = true;
        r.OdvodNepPlocha = 1000;
        r.SoucFiltrace = 1e-5f;
        r.RainIntensities[3] = 150;
        r.SelIntDeste = 150;
        r.InfilPlocha = 100;
        r.VyskaRyhy = 1;
        r.SirkaRyhy = 0.5f;
        r.DelkaRyhy = 40;
        r.ObjAkum = 10;
        r.VyskaVzduti = 0.2f;
        r.DobaPrazdneni = 10;
        r.HloubkaPrulehu = 0.2f;
        r.HloubkaNadrz = 1;
        r.VypObjNadrz = 20;
        r.InfilTok = 0.01f;
        r.PotrHloubkaZahl = 3;
    }
    std::vector<verdict::Item> items() const { return verdict::assess(r, c); }
    // The weight of the finding with this code, or nothing.
    std::optional<Severity> finding(const std::string& code) const
    {
        for (const auto& item : items())
            if (item.code == code)
                return item.severity;
        return std::nullopt;
    }
};

} // namespace

TEST(Verdict, AGoodDesignHasNoFindingsAndNoTechnologyNoVerdict)
{
    for (int tech : {1, 2, 3, 4, 5, 6})
        EXPECT_TRUE(Design(tech).items().empty()) << tech << ": " << Design(tech).items().front().text;
    EXPECT_TRUE(Design(0).items().empty());
}

TEST(Verdict, MissingInputsAreErrors)
{
    Design d(4);
    d.r.RainIntensities[3] = 0;
    EXPECT_EQ(d.finding("rain.none"), Severity::Error);
    d.r.OdvodNepPlocha = 0;
    EXPECT_EQ(d.finding("area.none"), Severity::Error);
    d.r.SoucFiltrace = 0;
    EXPECT_EQ(d.finding("kf.none"), Severity::Error);
    d.r.SoucBezp = 0;
    EXPECT_EQ(d.finding("safety.none"), Severity::Error);
    // The surface uses the selected intensity only.
    Design s(1);
    s.r.SelIntDeste = 0;
    EXPECT_EQ(s.finding("rain.none"), Severity::Error);
}

TEST(Verdict, FiltrationCoefficientOutsideTheDesignRange)
{
    Design d(2);
    d.r.SoucFiltrace = 1e-6f;
    EXPECT_FALSE(d.finding("kf.low"));
    d.r.SoucFiltrace = 0.99e-6f;
    EXPECT_EQ(d.finding("kf.low"), Severity::Warning);
    d.r.SoucFiltrace = 1e-3f; // typed as 1.0E-03: the float nearest it is no excess
    EXPECT_FALSE(d.finding("kf.high"));
    d.r.SoucFiltrace = 1.01e-3f;
    EXPECT_EQ(d.finding("kf.high"), Severity::Warning);
}

TEST(Verdict, SafetyBelowOne)
{
    Design d(3);
    d.r.SoucBezp = 1;
    EXPECT_FALSE(d.finding("safety.low"));
    d.r.SoucBezp = 0.99f;
    EXPECT_EQ(d.finding("safety.low"), Severity::Warning);
}

TEST(Verdict, GroundwaterClearanceBelowTheBottom)
{
    Design trench(4); // bottom 1 m down
    trench.r.HPV = 0;
    EXPECT_FALSE(trench.finding("groundwater.clearance")); // no level entered
    trench.r.HPV = 2;
    EXPECT_FALSE(trench.finding("groundwater.clearance"));
    trench.r.HPV = 1.99f;
    EXPECT_EQ(trench.finding("groundwater.clearance"), Severity::Warning);
    trench.r.HPV = -1.5f; // a level given as negative is a depth all the same
    EXPECT_EQ(trench.finding("groundwater.clearance"), Severity::Warning);

    Design basin(6);
    basin.r.HloubkaNadrz = 1.5f;
    basin.r.HPV = 2.5f;
    EXPECT_FALSE(basin.finding("groundwater.clearance"));
    basin.r.HPV = 2.4f;
    EXPECT_EQ(basin.finding("groundwater.clearance"), Severity::Warning);

    Design shaft(5);
    shaft.r.HPV = 3;
    EXPECT_FALSE(shaft.finding("groundwater.shaft"));
    shaft.r.HPV = 2.9f;
    EXPECT_EQ(shaft.finding("groundwater.shaft"), Severity::Error);
}

TEST(Verdict, SwaleDepthAndTheSufficiencyMessage)
{
    Design swale(2);
    swale.r.VyskaVzduti = 0.3f;
    EXPECT_FALSE(swale.finding("swale.depth"));
    swale.r.VyskaVzduti = 0.31f;
    EXPECT_EQ(swale.finding("swale.depth"), Severity::Warning);
    swale.r.VyskaVzduti = 1;
    EXPECT_EQ(swale.finding("swale.depth"), Severity::Warning);
    swale.r.VyskaVzduti = 1.01f;
    EXPECT_EQ(swale.finding("swale.depth"), Severity::Error);

    // The combined object that the engine calls sufficient by its areas alone.
    Design combined(3);
    combined.r.HloubkaPrulehu = 99886400;
    combined.r.DelkaRyhy = 0.0001f;
    const auto items = combined.items();
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front().code, "swale.depth");
    EXPECT_EQ(items.front().severity, Severity::Error);
    EXPECT_NE(items.front().text.find("99 886 400.00 m"), std::string::npos) << items.front().text;
    EXPECT_NE(items.front().text.find("„Navržená infilovací plocha je dostatečná“"), std::string::npos);
}

TEST(Verdict, EmptyingTime)
{
    Design swale(2);
    swale.r.DobaPrazdneni = 24;
    EXPECT_TRUE(swale.items().empty());
    swale.r.DobaPrazdneni = 24.1f;
    EXPECT_EQ(swale.finding("emptying.practice"), Severity::Note);
    swale.r.DobaPrazdneni = 72;
    EXPECT_FALSE(swale.finding("emptying.long"));
    swale.r.DobaPrazdneni = 72.1f;
    EXPECT_EQ(swale.finding("emptying.long"), Severity::Warning);
    EXPECT_NE(swale.items().front().text.find("72 h (ČSN 75 9010)"), std::string::npos);

    Design basin(6); // 20 m³ through 0.01 m³/s: far below a day
    basin.r.ObjAkum = 2592; // 72 h exactly
    basin.r.VypObjNadrz = 3000;
    EXPECT_FALSE(basin.finding("emptying.long"));
    basin.r.ObjAkum = 2600;
    EXPECT_EQ(basin.finding("emptying.long"), Severity::Warning);
}

TEST(Verdict, ResultsOfEachTechnology)
{
    Design surface(1);
    surface.r.InfilPlocha = 0.1f;
    EXPECT_FALSE(surface.finding("surface.impossible"));
    surface.r.InfilPlocha = 0;
    EXPECT_EQ(surface.finding("surface.impossible"), Severity::Error);

    Design trench(4);
    trench.r.DelkaRyhy = 0;
    EXPECT_EQ(trench.finding("trench.length"), Severity::Error);
    Design combined(3); // there the swale and the throttled outflow may take it all
    combined.r.DelkaRyhy = 0;
    EXPECT_EQ(combined.finding("trench.length"), Severity::Warning);

    Design drained(4);
    drained.c.drainage = true;
    drained.r.OdtokDoInfil = 15;
    drained.r.DrainCapacity = 15;
    EXPECT_FALSE(drained.finding("drain.capacity"));
    drained.r.DrainCapacity = 14.9f;
    EXPECT_EQ(drained.finding("drain.capacity"), Severity::Warning);

    Design shaft(5);
    shaft.r.SoucFiltrPruleh = 1e-3f;
    EXPECT_FALSE(shaft.finding("shaft.filter"));
    shaft.r.SoucFiltrPruleh = 1.1e-3f;
    EXPECT_EQ(shaft.finding("shaft.filter"), Severity::Warning);
    shaft.r.VyskaVzduti = 0;
    EXPECT_EQ(shaft.finding("shaft.storage"), Severity::Note);

    Design basin(6);
    basin.r.HloubkaNadrz = 0.5f;
    EXPECT_FALSE(basin.finding("basin.depth"));
    basin.r.HloubkaNadrz = 0.49f;
    EXPECT_EQ(basin.finding("basin.depth"), Severity::Warning);
    basin.r.VypObjNadrz = 9.9f;
    EXPECT_EQ(basin.finding("basin.volume"), Severity::Error);
}

TEST(Verdict, AResultShownAsZeroThatIsNot)
{
    Design swale(2);
    swale.r.VyskaVzduti = 0.005f; // shows as 0.01
    EXPECT_FALSE(swale.finding("result.hidden"));
    swale.r.VyskaVzduti = 0.0042f;
    ASSERT_EQ(swale.finding("result.hidden"), Severity::Note);
    EXPECT_EQ(swale.items().back().text, "Výška vzdutí je 0.0042 m, v poli se zobrazuje jako 0.00.");
}

TEST(Verdict, OnlyValuesBelowHalfTheLastPlaceShowAsZero)
{
    Design swale(2);
    swale.r.ObjAkum = 0.05f; // one decimal: shows as 0.1
    EXPECT_FALSE(swale.finding("result.hidden"));
    swale.r.ObjAkum = 0.0499f;
    ASSERT_EQ(swale.finding("result.hidden"), Severity::Note);
    EXPECT_EQ(swale.items().back().text, "Objem akumulace průlehu je 0.05 m³, v poli se zobrazuje jako 0.0.");

    Design shaft(5);
    shaft.r.SoucFiltrPruleh = 1e-30f; // the exponent pattern shows it as it is
    EXPECT_FALSE(shaft.finding("result.hidden"));
}

TEST(Verdict, ResultsThatAreNotCurrentAreSaidToBeMissing)
{
    Design d(4);
    d.c.resultsCurrent = false;
    d.r.DelkaRyhy = 0; // stale: not judged
    const auto items = d.items();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].code, "results.missing");
    EXPECT_EQ(items[0].text.rfind(verdict::kNotComputed, 0), 0u);
}

TEST(Verdict, EveryLimitStatesItsBasis)
{
    for (const verdict::Limit& limit : verdict::allLimits()) {
        EXPECT_GT(std::string(limit.basis).size(), 5u) << limit.name;
        EXPECT_GT(limit.value, 0) << limit.name;
    }
}
