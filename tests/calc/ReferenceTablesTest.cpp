#include "ReferenceTables.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace infil;

namespace {
ProjectRecord initialised()
{
    ProjectRecord r;
    InitReferenceTables(r);
    return r;
}
} // namespace

TEST(ReferenceTables, DefaultsAndEmptySlots)
{
    const ProjectRecord r = initialised();
    EXPECT_FLOAT_EQ(r.SoucBezp, 1.2f);
    EXPECT_FLOAT_EQ(r.PorVyplne, 0.35f);
    EXPECT_FLOAT_EQ(r.PocetPotrubi, 1.0f);
    EXPECT_FLOAT_EQ(r.MinPrusakDraha, 1.5f);
    EXPECT_EQ(r.SachtyCount, 1);
    EXPECT_EQ(r.SurfaceGroups[20], "");
    EXPECT_EQ(r.SurfaceKinds[20], "");
    EXPECT_EQ(r.RunoffCoefs[20], 0.0f);
    EXPECT_EQ(r.TechnologyNames[7], "");
    EXPECT_EQ(r.TechnologyNames[8], "");
    EXPECT_EQ(r.TechnologyNames[0], "[Vyber typ zasakování]");
    EXPECT_EQ(r.TechnologyNames[6], "Infilovací nádrže");
    // Inputs stay untouched.
    EXPECT_EQ(r.OdvodNepPlocha, 0.0f);
    EXPECT_EQ(r.SelIntDeste, 0.0f);
    EXPECT_EQ(r.SoucFiltrace, 0.0f);
}

TEST(ReferenceTables, RunoffTextsKeepTheirSpecialBlanks)
{
    const ProjectRecord r = initialised();
    EXPECT_EQ(r.SurfaceKinds[11], "dlažba  nespárovaná");
    EXPECT_EQ(r.SurfaceKinds[13],
              "Verbundstein zámková dlažba nespárovaná, dlažba z\u00A0infilovacích tvarovek");
    for (int k = 15; k <= 17; ++k)
        EXPECT_EQ(r.SurfaceGroups[k], "násypy, příkopy a bankety s\u00A0odtokem do kanalizační sítě");
    for (int k = 18; k <= 19; ++k)
        EXPECT_EQ(r.SurfaceGroups[k],
                  "zahrady, louky a obdělávaná půda s\u00A0možným odtokem do kanalizační sítě");
    EXPECT_FLOAT_EQ(r.RunoffCoefs[13], 0.25f);
    EXPECT_FLOAT_EQ(r.RunoffCoefs[19], 0.2f);
    EXPECT_EQ(r.SurfaceGroups[1], r.SurfaceGroups[2]);
}

TEST(ReferenceTables, SoilsKeepTheCatalogueOrder)
{
    const ProjectRecord r = initialised();
    EXPECT_EQ(r.SoilNames[4], "Střední písek");
    EXPECT_EQ(r.SoilFiltrationCoefs[4], 2E-05);
    EXPECT_EQ(r.SoilNames[5], "Jemný písek");
    EXPECT_EQ(r.SoilFiltrationCoefs[5], 5E-05);
    EXPECT_EQ(r.SoilFiltrationCoefs[6], 1E-06);
    EXPECT_EQ(r.SoilFiltrationCoefs[7], 5E-06);
    EXPECT_EQ(r.SoilNames[8], "Zajílovaný silt");
}

TEST(ReferenceTables, RainAndShaftTables)
{
    const ProjectRecord r = initialised();
    const float durations[] = {5, 10, 15, 20, 30, 45, 60, 90, 120};
    for (int k = 1; k <= 9; ++k)
        EXPECT_EQ(r.RainDurations[k], durations[k - 1]);
    EXPECT_FLOAT_EQ(r.Periodicities[4], 0.5f);
    EXPECT_FLOAT_EQ(r.Periodicities[7], 0.05f);
    EXPECT_EQ(r.RoundShaftProducts[3].Name, "TBS - Q.2 100/..");
    EXPECT_EQ(r.RoundShaftProducts[3].Diameter, r.RoundShaftProducts[2].Diameter);
    EXPECT_EQ(r.RoundShaftProducts[3].WallThickness, r.RoundShaftProducts[2].WallThickness);
    EXPECT_FLOAT_EQ(r.RoundShaftProducts[4].WallThickness, 0.135f);
    EXPECT_EQ(r.RectShaftProducts[1].Name, "PNC 240/190/..");
    EXPECT_FLOAT_EQ(r.RectShaftProducts[1].Length, 1.9f);
    EXPECT_FLOAT_EQ(r.RectShaftProducts[6].WallThickness, 0.15f);
    EXPECT_EQ(r.RectShaftProducts[10].Name, "PNO 240/610/95");
}

TEST(ReferenceTables, EveryStationNameAndIdentifier)
{
    // Written out independently of the program's table.
    const std::vector<std::pair<const char*, int>> expected = {
        {"Bakov nad Jizerou", 15}, {"Banín - vodárna", 86}, {"Bohumín", 51}, {"Brno", 84},
        {"Bruntál", 48}, {"Červená voda", 57}, {"České Budějovice", 17}, {"Čtyřicet lánů", 85},
        {"Drahany", 73}, {"Držková", 75}, {"Františkova myslivna", 55}, {"Habartice", 53},
        {"Hamry", 6}, {"Hodonín", 79}, {"Hradec Králové", 4}, {"Hřebeč", 59},
        {"Husinec (přehrada)", 23}, {"Ivančice", 91}, {"Jevíčko", 60}, {"Jevišovice", 82},
        {"Jihlava", 88}, {"Kamenice nad Lipou", 20}, {"Kamýk nad Vltavou", 26}, {"Káraný", 12},
        {"Karlovy Vary", 40}, {"Kladno", 38}, {"Klášterní Hradisko", 63}, {"Klatovy", 30},
        {"Krásno nad Bečvou", 69}, {"Křenov", 58}, {"Kyjov", 92}, {"Labská přehrada Těšňov", 2},
        {"Lanškroun", 56}, {"Lenešice", 42}, {"Letovice", 87}, {"Lidečko", 65},
        {"Lipník nad Bečvou", 70}, {"Litovel", 61}, {"Luká", 62}, {"Lysá hora", 49},
        {"Mariánské lázně", 29}, {"Milovice", 11}, {"Mimoň", 44}, {"Mšeno", 16},
        {"Neředín", 64}, {"Nezabudice", 33}, {"Nová Ves (u Kolína)", 8},
        {"Nový Dvůr u Horažďovic", 22}, {"Nový Jičín", 45}, {"Opava", 47}, {"Orlík", 25},
        {"Padrť", 32}, {"Pěčín", 5}, {"Petrovice", 34}, {"Plzeň - Doudlevce", 31},
        {"Podbořany", 41}, {"Poděbrady", 9}, {"Police nad Metují", 3}, {"Polička", 83},
        {"Potůčník", 54}, {"Pozlovice (Údolní přehrada)", 78}, {"Praha - Hostivař", 35},
        {"Praha - Podbaba (VÚV)", 36}, {"Prostějov", 72}, {"Průměr Ostrava", 50},
        {"Přerov", 71}, {"Rejvíz", 46}, {"Roudnice nad Labem", 43}, {"Ruzyně", 37},
        {"Seč", 7}, {"Sedlice", 28}, {"Semčice", 10}, {"Skalníkova Louka", 68},
        {"Slaný", 39}, {"Souš (přehrada)", 13}, {"Staré Podhradí", 52},
        {"Špindlerův mlýn", 1}, {"Štěchovice", 27}, {"Tábor", 21}, {"Telč", 80},
        {"Třebíč", 89}, {"Třeboň", 19}, {"Turnov", 14}, {"Týn nad Vltavou", 18},
        {"Uherské Hradiště", 77}, {"Valašská Bystřice", 67}, {"Velké Meziříčí", 90},
        {"Vodňany", 24}, {"Vsetín", 66}, {"Vyškov - Brňany", 74}, {"Zlín", 76},
        {"Znojmo", 81},
    };
    const ProjectRecord r = initialised();
    ASSERT_EQ(expected.size(), 92u);
    EXPECT_EQ(r.StationNames[0], "(Vlastní hodnoty)");
    for (int k = 1; k <= 92; ++k) {
        EXPECT_EQ(r.StationNames[k], expected[static_cast<std::size_t>(k - 1)].first) << k;
        EXPECT_EQ(r.StationIds[k], expected[static_cast<std::size_t>(k - 1)].second) << k;
    }
    EXPECT_EQ(r.StationIds[52], 32);
    EXPECT_EQ(r.StationIds[53], 5);
}

TEST(ReferenceTables, SubAreaListsGetOneEmptySlot)
{
    ProjectRecord r;
    InitSubAreaLists(r);
    EXPECT_EQ(r.SubAreaSizes.slotCount(), 1);
    EXPECT_EQ(r.SubAreaCoefs.slotCount(), 1);
    EXPECT_EQ(r.SubAreaKinds.slotCount(), 1);
    EXPECT_EQ(r.SubAreaSizes[1], 0.0f);
    EXPECT_EQ(r.SubAreaKinds[1], "");
    EXPECT_THROW(r.SubAreaSizes[2], std::out_of_range);
    r.SubAreaSizes.resizeKeeping(3);
    r.SubAreaSizes[3] = 7;
    r.SubAreaSizes.resizeKeeping(2);
    EXPECT_EQ(r.SubAreaSizes.slotCount(), 2);
}
