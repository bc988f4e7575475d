#include "ReferenceTables.h"

#include <string_view>

namespace infil {
namespace {

struct RunoffRow {
    std::string_view group;
    std::string_view kind;
    float coef;
};

// "\u00A0" marks the three places where the texts carry a no-break space.
constexpr std::string_view kRoofPitched = "šikmé střechy";
constexpr std::string_view kRoofFlat = "ploché střechy se sklonem do max 5 %";
constexpr std::string_view kRoofGreen = "zelené střechy se sklonem do max.25 %";
constexpr std::string_view kStreets = "ulice, cesty, náměstí (rovné)";
constexpr std::string_view kBanks = "násypy, příkopy a bankety s\u00A0odtokem do kanalizační sítě";
constexpr std::string_view kGardens =
    "zahrady, louky a obdělávaná půda s\u00A0možným odtokem do kanalizační sítě";

constexpr RunoffRow kRunoff[] = {
    {kRoofPitched, "kov, sklo, břidlice, vláknocementová krytina", 0.95f},
    {kRoofPitched, "pálená krytina, střešní lepenky", 0.9f},
    {kRoofFlat, "kov, sklo, vláknocementová krytina", 0.95f},
    {kRoofFlat, "střešní lepenky", 0.9f},
    {kRoofFlat, "štěrk", 0.7f},
    {kRoofGreen, "humusová vrstva < 10 cm", 0.5f},
    {kRoofGreen, "humusová vrstva > 10 cm", 0.3f},
    {kStreets, "asfalt, bezesparý beton", 0.9f},
    {kStreets, "dlažba se zalitými sparami (spárovaná)", 0.75f},
    {kStreets, "pevný (hutněný) štěrkový koberec", 0.6f},
    {kStreets, "dlažba  nespárovaná", 0.5f}, // two blanks, as in the catalogue
    {kStreets, "nehutněný štěrkový koberec, štěrkem pokryté terasy", 0.3f},
    {kStreets,
     "Verbundstein zámková dlažba nespárovaná, dlažba z\u00A0infilovacích tvarovek", 0.25f},
    {kStreets, "trávníkové zpevňovací tvarovky", 0.15f},
    {kBanks, "jílovitá půda", 0.5f},
    {kBanks, "zahliněná písčitá půda", 0.4f},
    {kBanks, "štěrková a písčitá půda", 0.3f},
    {kGardens, "rovinný terén", 0.1f},
    {kGardens, "prudce svažitý terén", 0.2f},
};

constexpr std::string_view kTechnologies[] = {
    "[Vyber typ zasakování]",
    "Plošné infilování",
    "Infilování v průlezích",
    "Infilování v kombinovaném objektu",
    "Infilování rýhové a kombinace rýhy a drénu",
    "Šachtové infilování",
    "Infilovací nádrže",
};

constexpr float kDurations[] = {5, 10, 15, 20, 30, 45, 60, 90, 120};
constexpr float kPeriodicities[] = {5, 2, 1, 0.5f, 0.2f, 0.1f, 0.05f};

struct Station {
    std::string_view name;
    short id; // 0 for the hand-typed series, which has no table
};

// Station k at list position k; entry 0 is the hand-typed series.
constexpr Station kStations[] = {
    {"(Vlastní hodnoty)", 0},
    {"Bakov nad Jizerou", 15},
    {"Banín - vodárna", 86},
    {"Bohumín", 51},
    {"Brno", 84},
    {"Bruntál", 48},
    {"Červená voda", 57},
    {"České Budějovice", 17},
    {"Čtyřicet lánů", 85},
    {"Drahany", 73},
    {"Držková", 75},
    {"Františkova myslivna", 55},
    {"Habartice", 53},
    {"Hamry", 6},
    {"Hodonín", 79},
    {"Hradec Králové", 4},
    {"Hřebeč", 59},
    {"Husinec (přehrada)", 23},
    {"Ivančice", 91},
    {"Jevíčko", 60},
    {"Jevišovice", 82},
    {"Jihlava", 88},
    {"Kamenice nad Lipou", 20},
    {"Kamýk nad Vltavou", 26},
    {"Káraný", 12},
    {"Karlovy Vary", 40},
    {"Kladno", 38},
    {"Klášterní Hradisko", 63},
    {"Klatovy", 30},
    {"Krásno nad Bečvou", 69},
    {"Křenov", 58},
    {"Kyjov", 92},
    {"Labská přehrada Těšňov", 2},
    {"Lanškroun", 56},
    {"Lenešice", 42},
    {"Letovice", 87},
    {"Lidečko", 65},
    {"Lipník nad Bečvou", 70},
    {"Litovel", 61},
    {"Luká", 62},
    {"Lysá hora", 49},
    {"Mariánské lázně", 29},
    {"Milovice", 11},
    {"Mimoň", 44},
    {"Mšeno", 16},
    {"Neředín", 64},
    {"Nezabudice", 33},
    {"Nová Ves (u Kolína)", 8},
    {"Nový Dvůr u Horažďovic", 22},
    {"Nový Jičín", 45},
    {"Opava", 47},
    {"Orlík", 25},
    {"Padrť", 32},
    {"Pěčín", 5},
    {"Petrovice", 34},
    {"Plzeň - Doudlevce", 31},
    {"Podbořany", 41},
    {"Poděbrady", 9},
    {"Police nad Metují", 3},
    {"Polička", 83},
    {"Potůčník", 54},
    {"Pozlovice (Údolní přehrada)", 78},
    {"Praha - Hostivař", 35},
    {"Praha - Podbaba (VÚV)", 36},
    {"Prostějov", 72},
    {"Průměr Ostrava", 50},
    {"Přerov", 71},
    {"Rejvíz", 46},
    {"Roudnice nad Labem", 43},
    {"Ruzyně", 37},
    {"Seč", 7},
    {"Sedlice", 28},
    {"Semčice", 10},
    {"Skalníkova Louka", 68},
    {"Slaný", 39},
    {"Souš (přehrada)", 13},
    {"Staré Podhradí", 52},
    {"Špindlerův mlýn", 1},
    {"Štěchovice", 27},
    {"Tábor", 21},
    {"Telč", 80},
    {"Třebíč", 89},
    {"Třeboň", 19},
    {"Turnov", 14},
    {"Týn nad Vltavou", 18},
    {"Uherské Hradiště", 77},
    {"Valašská Bystřice", 67},
    {"Velké Meziříčí", 90},
    {"Vodňany", 24},
    {"Vsetín", 66},
    {"Vyškov - Brňany", 74},
    {"Zlín", 76},
    {"Znojmo", 81},
};

struct Soil {
    std::string_view name;
    double kf; // m/s
};

// Kept in the catalogue's order, which is not sorted by permeability.
constexpr Soil kSoils[] = {
    {"Jemný a střední štěrk", 7E-04}, {"Písčitý štěrk", 4E-04}, {"Hrubý písek", 1E-04},
    {"Střední písek", 2E-05},         {"Jemný písek", 5E-05},   {"Zasiltovaný písek", 1E-06},
    {"Silt", 5E-06},                  {"Zajílovaný silt", 1E-07},
};

struct RoundRow {
    std::string_view name;
    float diameter, wall;
};
constexpr RoundRow kRoundShafts[] = {
    {"TBS - Q.1 100/../12", 1.0f, 0.12f}, {"TBS - Q.1 100/../9", 1.0f, 0.09f},
    {"TBS - Q.2 100/..", 1.0f, 0.09f},    {"TBS - Q.1 120/..", 1.2f, 0.135f},
    {"TBS - Q.1 150/..", 1.5f, 0.15f},    {"TZP - Q 160/200", 1.6f, 0.22f},
    {"PNK - Q.1 200/..", 2.0f, 0.15f},    {"PNK - Q.1 250/..", 2.5f, 0.15f},
};

struct RectRow {
    std::string_view name;
    float width, length, wall;
};
constexpr RectRow kRectShafts[] = {
    {"PNC 240/190/..", 2.4f, 1.9f, 0.1f}, {"PNC 240/240/..", 2.4f, 2.4f, 0.1f},
    {"PNO 240/280/95", 2.4f, 2.8f, 0.1f}, {"PNO 240/330/95", 2.4f, 3.3f, 0.1f},
    {"PNO 240/380/95", 2.4f, 3.8f, 0.1f}, {"PNO 240/430/95", 2.4f, 4.3f, 0.15f},
    {"PNO 240/480/95", 2.4f, 4.8f, 0.15f}, {"PNO 240/530/95", 2.4f, 5.3f, 0.15f},
    {"PNO 240/580/95", 2.4f, 5.8f, 0.15f}, {"PNO 240/610/95", 2.4f, 6.1f, 0.15f},
};

} // namespace

const ProjectRecord& referenceTables()
{
    static const ProjectRecord tables = [] {
        ProjectRecord r;
        InitReferenceTables(r);
        return r;
    }();
    return tables;
}

void InitReferenceTables(ProjectRecord& r)
{
    int k = 1;
    for (const auto& row : kRunoff) {
        r.SurfaceGroups[k] = row.group;
        r.SurfaceKinds[k] = row.kind;
        r.RunoffCoefs[k] = row.coef;
        ++k;
    }
    k = 0;
    for (auto name : kTechnologies)
        r.TechnologyNames[k++] = name;
    k = 1;
    for (float d : kDurations)
        r.RainDurations[k++] = d;
    r.SoucBezp = defaults::SoucBezp;
    r.PorVyplne = defaults::PorVyplne;
    k = 0;
    for (const auto& s : kStations) {
        r.StationNames[k] = s.name;
        if (k >= 1)
            r.StationIds[k] = s.id;
        ++k;
    }
    k = 1;
    for (float p : kPeriodicities)
        r.Periodicities[k++] = p;
    r.PocetPotrubi = defaults::PocetPotrubi;
    k = 1;
    for (const auto& s : kSoils) {
        r.SoilNames[k] = s.name;
        r.SoilFiltrationCoefs[k] = s.kf;
        ++k;
    }
    k = 1;
    for (const auto& p : kRoundShafts)
        r.RoundShaftProducts[k++] = {std::string(p.name), p.diameter, p.wall};
    k = 1;
    for (const auto& p : kRectShafts)
        r.RectShaftProducts[k++] = {std::string(p.name), p.width, p.length, p.wall};
    r.MinPrusakDraha = defaults::MinPrusakDraha;
    r.SachtyCount = defaults::SachtyCount;
}

void InitSubAreaLists(ProjectRecord& r)
{
    r.SubAreaSizes.reset(1);
    r.SubAreaCoefs.reset(1);
    r.SubAreaKinds.reset(1);
}

} // namespace infil
