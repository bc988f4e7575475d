// What the design's diagrams show, and the words they say when there is
// nothing to draw.
#include "Diagrams.h"
#include "ReferenceTables.h"
#include "Verdict.h"

#include <gtest/gtest.h>

#include <string>

using namespace infil;
using namespace infil::report;

namespace {

using R = ProjectRecord;
using State = SearchCandidate::State;

ProjectRecord rainRecord()
{
    ProjectRecord r;
    InitReferenceTables(r);
    const float rain[] = {290, 218, 175, 146, 110, 82, 66, 48, 38};
    for (int k = 1; k <= 9; ++k)
        r.RainIntensities[k] = rain[k - 1];
    return r;
}

// A trace with the given candidate values over the record's rain series.
SearchTrace trace(const ProjectRecord& r, float R::*quantity, int pane, std::initializer_list<float> values,
                  int governing)
{
    SearchTrace t;
    t.quantity = quantity;
    t.pane = pane;
    std::size_t k = 0;
    for (float v : values) {
        t.candidates[k] = {r.RainDurations[int(k) + 1], r.RainIntensities[int(k) + 1], State::Evaluated, v};
        ++k;
    }
    t.governing = governing;
    return t;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace

TEST(Diagrams, ATrenchShowsItsNineLengthsWithTheGoverningOneAndTheRain)
{
    ProjectRecord r = rainRecord();
    r.SelDTrvDeste = 90;
    r.SelIntDeste = 48;
    DiagramSource source{4, true, {trace(r, &R::DelkaRyhy, 4, {20, 30, 40, 45, 52, 58, 61, 61.957256f, 60}, 7)}};
    const auto diagrams = DesignDiagrams(r, source);
    ASSERT_EQ(diagrams.size(), 2u);

    const Diagram& length = diagrams[0];
    ASSERT_TRUE(length.drawable()) << length.message;
    EXPECT_EQ(length.key, "delka");
    EXPECT_EQ(length.title, "Délka infilovací rýhy podle doby trvání deště");
    EXPECT_EQ(length.points.size(), 9u);
    EXPECT_EQ(length.marked, 7);
    EXPECT_EQ(length.markLabel, "62.0 m při 90 min"); // as the length's box shows it
    EXPECT_EQ(length.x.title, "Doba trvání deště (min)");
    EXPECT_EQ(length.y.title, "Délka (m)");
    EXPECT_EQ(length.y.min, 0);
    EXPECT_GE(length.y.max, 61.957256);
    EXPECT_EQ(length.x.ticks.back().label, "120");

    const Diagram& rain = diagrams[1];
    ASSERT_TRUE(rain.drawable());
    EXPECT_EQ(rain.key, "dest");
    EXPECT_EQ(rain.marked, 7);
    EXPECT_EQ(rain.markLabel, "48 l/(s·ha) při 90 min");
    EXPECT_EQ(rain.y.title, "Intenzita (l/(s·ha))");
    EXPECT_EQ(rain.y.ticks.back().label, "300");
}

TEST(Diagrams, EachTechnologyGetsOneDiagramPerSearchAndTheRain)
{
    const ProjectRecord r = rainRecord();
    auto keys = [&](int tech) {
        std::string out;
        for (const Diagram& d : DesignDiagrams(r, DiagramSource{tech, true, {}}))
            out += d.key + " ";
        return out;
    };
    EXPECT_EQ(keys(0), "hledani ");
    EXPECT_EQ(keys(1), "hledani dest ");
    EXPECT_EQ(keys(2), "objem dest ");
    EXPECT_EQ(keys(3), "objem delka dest ");
    EXPECT_EQ(keys(4), "delka dest ");
    EXPECT_EQ(keys(5), "vzduti dest ");
    EXPECT_EQ(keys(6), "objem dest ");

    // The surface searches nothing and says so; its rain is still drawn.
    const auto surface = DesignDiagrams(r, DiagramSource{1, true, {}});
    EXPECT_TRUE(contains(surface[0].message, "nehledá"));
    EXPECT_TRUE(surface[1].drawable());
}

// The rain diagram marks the design rain only where one was established: the
// last search's choice while its results stand, the surface's chosen rain.
TEST(Diagrams, TheDesignRainIsMarkedOnlyWhereItWasEstablished)
{
    ProjectRecord r = rainRecord();
    r.SelDTrvDeste = 0; // never chosen: the entry of duration 0 is no design rain
    r.RainDurations[1] = 0;
    const SearchTrace volume = trace(r, &R::ObjAkum, 3, {1, 9, 3, 0, 0, 0, 0, 0, 0}, 1);
    const SearchTrace length = trace(r, &R::DelkaRyhy, 3, {1, 2, 3, 8, 5, 0, 0, 0, 0}, 3);
    EXPECT_EQ(DesignDiagrams(r, DiagramSource{3, true, {volume, length}}).back().marked, 3);
    EXPECT_EQ(DesignDiagrams(r, DiagramSource{3, false, {volume, length}}).back().marked, -1);
    EXPECT_EQ(DesignDiagrams(r, DiagramSource{4, true, {}}).back().marked, -1);
    EXPECT_EQ(DesignDiagrams(r, DiagramSource{1, true, {}}).back().marked, -1);

    r.SelDTrvDeste = 20;
    r.SelIntDeste = 146;
    const Diagram surfaceRain = DesignDiagrams(r, DiagramSource{1, true, {}}).back();
    EXPECT_EQ(surfaceRain.marked, 3);
    EXPECT_EQ(surfaceRain.markLabel, "146 l/(s·ha) při 20 min");
    r.SelIntDeste = 150; // typed by hand: not a rain of the series
    EXPECT_EQ(DesignDiagrams(r, DiagramSource{1, true, {}}).back().marked, -1);
}

// Nothing to draw: the diagram says why instead of drawing an empty or
// misleading chart.
TEST(Diagrams, NothingToDrawIsSaidInWords)
{
    ProjectRecord r = rainRecord();
    const SearchTrace good = trace(r, &R::ObjAkum, 6, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 8);

    // Results that do not belong to the inputs, or no search for them.
    for (const DiagramSource& stale : {DiagramSource{6, false, {good}}, DiagramSource{6, true, {}}}) {
        const Diagram d = DesignDiagrams(r, stale)[0];
        EXPECT_EQ(d.message, std::string(verdict::kNotComputed) + ".");
        EXPECT_TRUE(d.points.empty());
    }

    // A fault mid-search names the duration and the fault, even though the
    // results are not current after it.
    SearchTrace faulted = trace(r, &R::ObjAkum, 6, {1, 2}, -1);
    faulted.candidates[2] = {15, 175, State::Faulted, 0};
    faulted.fault = FloatFault::Kind::Overflow;
    EXPECT_EQ(DesignDiagrams(r, DiagramSource{6, false, {faulted}})[0].message,
              "Výpočet byl přerušen při době trvání 15 min (výsledek je mimo rozsah čísel), rozhodující doba "
              "trvání deště nebyla určena.");

    // Every candidate non-positive: the largest is named, the result is 0.
    const Diagram negative =
        DesignDiagrams(r, DiagramSource{6, true, {trace(r, &R::ObjAkum, 6, {-9, -3.456f, -5, -6, -7, -8, -9, -9, -9}, -1)}})[0];
    EXPECT_EQ(negative.message,
              "Žádná doba trvání deště nedává kladnou hodnotu (největší je -3.46 m³ při 10 min), výsledek je 0.");

    // Every duration skipped.
    SearchTrace skipped = trace(r, &R::DelkaRyhy, 4, {}, -1);
    for (auto& c : skipped.candidates)
        c.state = State::Skipped;
    EXPECT_TRUE(contains(DesignDiagrams(r, DiagramSource{4, true, {skipped}})[0].message, "vynechalo"));

    // No rain at all: both diagrams say so.
    for (int k = 1; k <= 9; ++k)
        r.RainIntensities[k] = 0;
    const auto none = DesignDiagrams(r, DiagramSource{6, true, {trace(r, &R::ObjAkum, 6, {0, 0, 0, 0, 0, 0, 0, 0, 0}, -1)}});
    for (const Diagram& d : none)
        EXPECT_EQ(d.message, "Návrhový déšť není zadán: žádná z devíti intenzit není kladná.") << d.key;
}

TEST(Diagrams, SkippedDurationsAreLeftOutAndNamed)
{
    ProjectRecord r = rainRecord();
    r.RainDurations[1] = 0;
    SearchTrace t = trace(r, &R::DelkaRyhy, 4, {0, 30, 40, 45, 52, 58, 61, 62, 60}, 7);
    t.candidates[0].state = State::Skipped;
    const Diagram d = DesignDiagrams(r, DiagramSource{4, true, {t}})[0];
    ASSERT_TRUE(d.drawable());
    EXPECT_EQ(d.points.size(), 8u);
    EXPECT_EQ(d.marked, 6); // still the 90 min entry, one place earlier
    EXPECT_EQ(d.note, "Vynechané doby trvání (nejsou kladné): 0 min");
}

TEST(Diagrams, AxesEndOnRoundTicksInTheProgramsNumberFormat)
{
    auto labels = [](const DiagramAxis& a) {
        std::string out;
        for (const DiagramTick& t : a.ticks)
            out += t.label + "|";
        return out;
    };
    const DiagramAxis length = RoundAxis("L", 0, 89.8);
    EXPECT_EQ(labels(length), "0|20|40|60|80|100|");
    EXPECT_EQ(length.max, 100);
    EXPECT_EQ(labels(RoundAxis("h", 0, 0.38)), "0.0|0.1|0.2|0.3|0.4|");
    EXPECT_EQ(labels(RoundAxis("V", 0, 11800)), "0|2 000|4 000|6 000|8 000|10 000|12 000|");
    EXPECT_EQ(labels(RoundAxis("V", -3.5, 10)), "-4|-2|0|2|4|6|8|10|");
    EXPECT_EQ(labels(RoundAxis("i", 0, 0.0042)), "0.000|0.001|0.002|0.003|0.004|0.005|");
    // An empty range still makes an axis.
    const DiagramAxis flat = RoundAxis("x", 5, 5);
    EXPECT_LT(flat.min, flat.max);
}
