// The report's lines, compared whole against the page as it must be written.
#include "ReferenceTables.h"
#include "ReportWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

using namespace infil;
using namespace infil::report;

namespace {

// Row pieces, copied from the page's fixed texts.
std::string row(const std::string& label, const std::string& value, const std::string& unit)
{
    return "<TR><TD valign=bottom width=200>" + label +
           "</TD><TH valign=bottom align=right width=200>" + value +
           "</TH><TH valign=bottom align=left width=250>" + unit + "</TH></TR>";
}
std::string rowShort(const std::string& label, const std::string& value, const std::string& unit)
{
    return "<TR><TD valign=bottom width=200>" + label +
           "</TD><TH valign=bottom align=right width=200>" + value +
           "</TH><TH valign=bottom align=left width=250>" + unit + "</TH>";
}
const std::string HR = "<TR><TD valign=bottom colspan=3><hr></TD></tr>";
std::string heading(const std::string& t)
{
    return "<TR><TD>-</TD><TD><TD></TD></TR><TR><TD valign=bottom width=200><i><u>" + t +
           "</u></i></TD><TH valign=bottom align=right width=200></TH><TH valign=bottom "
           "align=left width=250></TH></TR>";
}

const std::string kCommon =
    "<table border=0><TR><TD valign=bottom width=200>Celková odvodňovaná plocha</TD><TH "
    "valign=bottom align=right width=200>1 234.50</TH><TH valign=bottom align=left "
    "width=250>m<sup>2</sup></TH></TR><TR><TD valign=bottom width=200>Součinitel filtrace "
    "podloží</TD><TH valign=bottom align=right width=200>1.25E-05</TH><TD valign=bottom "
    "align=left width=250><b>m/s - </b>(Střední písek)</TD></TR><TR><TD valign=bottom "
    "width=200>Hladina podzemní vody</TD><TH valign=bottom align=right width=200>3.00</TH><TH "
    "valign=bottom align=left width=250>m</TH></TR></table><br><hr>";

struct Design {
    ProjectRecord r;
    FormState f;
    ReportControls c;
    ReportStamp stamp{"7.3.2024", "9:05:01"};

    explicit Design(int tech)
    {
        InitReferenceTables(r);
        InitSubAreaLists(r);
        f.TechIndex = static_cast<std::int16_t>(tech);
        r.ProjName = "Most";
        r.Projektant = "Ing. Jana Nováková";
        r.Investor = "Obec Čížkovice";
        r.MistoAkce = "Říčany";
        r.StationName = "Brno";
        r.PeriodicityText = "0.2";
        const float intensities[] = {290, 212, 170, 141, 105, 78, 63, 46, 37.5f};
        for (int i = 1; i <= 9; ++i)
            r.RainIntensities[i] = intensities[i - 1];
        r.SelDTrvDeste = 15;
        r.OdvodNepPlocha = 1234.5f;
        r.SoucFiltrace = 0.0000125f;
        r.TypPudyPodlozi = "Střední písek";
        r.HPV = 3;
    }
    std::vector<std::string> lines() { return ResultsReportLines(r, f, c, stamp); }
    // The lines of the technology section: between the drained-area table's end
    // and the verdict (or the footer).
    std::vector<std::string> section()
    {
        const auto all = lines();
        std::size_t k = 0;
        while (k < all.size() && all[k] != "</table><br>")
            ++k;
        std::size_t end = k + 1;
        while (end + 1 < all.size() && all[end].rfind(kVerdictHead, 0) != 0)
            ++end;
        return {all.begin() + static_cast<long>(k) + 1, all.begin() + static_cast<long>(end)};
    }
    static constexpr const char* kVerdictHead = "<hr><u>Posouzení návrhu</u>";
};

const std::string kFooter = "<hr><p><font size=2>Datum a čas výpočtu:  7.3.2024,  9:05:01"
                            "</font></p></div></body></html>";
const std::string kNoFindings =
    "<hr><u>Posouzení návrhu</u><p>Návrh nepřekračuje žádnou z mezí, se kterými jej program porovnává.</p>";

} // namespace

TEST(ReportLines, WholePageOfATrenchWithDrainage)
{
    Design d(4);
    d.c.chkSelPretok4 = true;
    d.r.SoucBezp = 1.2f;
    d.r.PorVyplne = 0.35f;
    d.r.SirkaRyhy = 0.5f;
    d.r.VyskaRyhy = 1;
    d.r.PrumTroubVnit = 147.6f;
    d.r.PrumTroubVnej = 160;
    d.r.PocetPotrubi = 2;
    d.r.VystupPlocha = 50;
    d.r.VystupRychlost = 0.015f;
    d.r.InfilPlocha = 89.8f;
    d.r.ObjAkum = 15.7f;
    d.r.DelkaRyhy = 89.8f;
    d.r.SubAreaSizes.reset(3);
    d.r.SubAreaCoefs.reset(3);
    d.r.SubAreaKinds.reset(3);
    d.r.SubAreaSizes[1] = 800;
    d.r.SubAreaCoefs[1] = 0.9f;
    d.r.SubAreaKinds[1] = "asfalt, bezesparý beton";
    d.r.SubAreaSizes[2] = 500.5f;
    d.r.SubAreaCoefs[2] = 0.95f;
    d.r.SubAreaKinds[2] = "kov, sklo, břidlice, vláknocementová krytina";

    const std::vector<std::string> expected = {
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=windows-1250\"></head><body><div "
        "style=position:relative;width:650px;height:350px><table border=0><TR><TD "
        "width=200>Název projektu</TD><TH align=left width=450>Most</TH><TD rowspan=4 "
        "width=210><img border=0 src=Webs\\Desc_soubory\\logo.gif></TD></TR><TR><TD "
        "width=200>Projektant</TD><TH align=left width=450>Ing. Jana Nováková</TH></TR><TR><TD "
        "width=200>Investor</TD><TH align=left width=450>Obec Čížkovice</TH></TR><TR><TD "
        "width=200>Místo akce</TD><TH align=left width=450>Říčany</TH></TR><TR><TD "
        "width=200>Typ infilování</TD><TH align=left width=450>Infilování rýhové a kombinace "
        "rýhy a drénu</TH></TR></table>",
        "<hr><u>Návrhový déšť</u> dešťoměrná stanice - <b>Brno</b>, periodicita - "
        "<b>0.2</b><p><table border=1 style=border-collapse:collapse><tr><th width=150 "
        "align=center>Doba trvání deště (min)</th><th width=150 align=center>Intenzita deště "
        "(l/s.ha)</th></tr>",
        "<tr><td width=150 align=center>5</td><td width=150 align=center>290</td></tr>",
        "<tr><td width=150 align=center>10</td><td width=150 align=center>212</td></tr>",
        "<tr><th width=150 align=center>15</th><th width=150 align=center>170</th></tr>",
        "<tr><td width=150 align=center>20</td><td width=150 align=center>141</td></tr>",
        "<tr><td width=150 align=center>30</td><td width=150 align=center>105</td></tr>",
        "<tr><td width=150 align=center>45</td><td width=150 align=center>78</td></tr>",
        "<tr><td width=150 align=center>60</td><td width=150 align=center>63</td></tr>",
        "<tr><td width=150 align=center>90</td><td width=150 align=center>46</td></tr>",
        "<tr><td width=150 align=center>120</td><td width=150 align=center>37.5</td></tr>",
        "</table><hr>",
        "<u>Odvodňovaná plocha</u><p><table border=1 style=border-collapse:collapse><tr><th "
        "width=150 align=center>Dílčí plocha (m<sup>2</sup>)</th><th width=200 "
        "align=center>Souč. povrch. odtoku</th><th width=250 align=center>Dílčí typ "
        "povrchu</th></tr>",
        "<tr><td width=150 align=center>800</td><td width=200 align=center>0.9</td><td "
        "width=250 align=left>asfalt, bezesparý beton</td></tr>",
        "<tr><td width=150 align=center>500.5</td><td width=200 align=center>0.95</td><td "
        "width=250 align=left>kov, sklo, břidlice, vláknocementová krytina</td></tr>",
        "</table><br>",
        kCommon +
            "<u>Výsledky</u><p><table border=0><TR><TD valign=bottom width=200>Součinitel "
            "bezpečnosti</TD><TH valign=bottom align=right width=200>1.20</TH><TH valign=bottom "
            "align=left width=250></TH></TR><TR><TD valign=bottom width=200>Pórovitost výplně "
            "rýhy</TD><TH valign=bottom align=right width=200>0.35</TH><TH valign=bottom "
            "align=left width=250></TH></TR><TR><TD valign=bottom width=200>Šířka rýhy "
            "(střední)</TD><TH valign=bottom align=right width=200>0.50</TH><TH valign=bottom "
            "align=left width=250>m</TH></TR><TR><TD valign=bottom width=200>Výška rýhy</TD><TH "
            "valign=bottom align=right width=200>1.00</TH><TH valign=bottom align=left "
            "width=250>m</TH></TR>",
        "<TR><TD>-</TD><TD><TD></TD></TR><TR><TD valign=bottom width=200><i><u>Drenáž</u></i>"
        "</TD><TH valign=bottom align=right width=200></TH><TH valign=bottom align=left "
        "width=250></TH></TR><TR><TD valign=bottom width=200>Vnitřní průměr infilovací "
        "trouby</TD><TH valign=bottom align=right width=200>148</TH><TH valign=bottom "
        "align=left width=250>mm</TH></TR><TR><TD valign=bottom width=200>Vnější průměr "
        "infilovací trouby</TD><TH valign=bottom align=right width=200>160</TH><TH "
        "valign=bottom align=left width=250>mm</TH></TR><TR><TD valign=bottom width=200>Počet "
        "potrubí</TD><TH valign=bottom align=right width=200>2</TH><TH valign=bottom "
        "align=left width=250></TH></TR><TR><TD valign=bottom width=200>Výstupní "
        "plocha</TD><TH valign=bottom align=right width=200>50.00</TH><TH valign=bottom "
        "align=left width=250>cm<sup>2</sup>/m</TH></TR><TR><TD valign=bottom "
        "width=200>Výstupní rychlost</TD><TH valign=bottom align=right width=200>0.02</TH><TH "
        "valign=bottom align=left width=250>m/s</TH></TR>",
        "<TR><TD valign=bottom colspan=3><hr></TD></tr><TR><TD valign=bottom "
        "width=200>Infilovací plocha</TD><TH valign=bottom align=right width=200>89.80</TH><TH "
        "valign=bottom align=left width=250>m<sup>2</sup></TH></TR><TR><TD valign=bottom "
        "width=200>Objem akumulace průlehu</TD><TH valign=bottom align=right "
        "width=200>15.70</TH><TH valign=bottom align=left width=250>m<sup>3</sup></TH><TR><TD "
        "valign=bottom width=200>Délka infilovací rýhy</TD><TH valign=bottom align=right "
        "width=200>89.80</TH><TH valign=bottom align=left width=250>m</TH></table>",
        kNoFindings,
        kFooter,
    };
    EXPECT_EQ(d.lines(), expected);

    // Without the drain box the block is gone and nothing else moves.
    d.c.chkSelPretok4 = false;
    auto without = expected;
    without.erase(without.begin() + 17);
    EXPECT_EQ(d.lines(), without);
}

TEST(ReportLines, SurfaceSectionIsOneLine)
{
    Design d(1);
    d.r.InfilPlocha = 428.6f;
    EXPECT_EQ(d.section(), std::vector<std::string>{
                               kCommon + "<u>Výsledky</u><p><table border=0>" +
                               row("Infilovací plocha", "428.60", "m<sup>2</sup>") + "</table>"});
}

TEST(ReportLines, SwaleNamesTheChosenSoil)
{
    Design d(2);
    d.f.SoilOption = 1;
    d.r.InfilPlocha = 246.9f;
    d.r.ObjAkum = 17.28f;
    d.r.VyskaVzduti = 0.1728f;
    d.r.DobaPrazdneni = 9.6f;
    EXPECT_EQ(d.section(),
              std::vector<std::string>{
                  kCommon + "<u>Výsledky</u><p><table border=0>" +
                  row("Typ půdy", "Slit a písek, slit", "") +
                  row("Součinitel bezpečnosti", "1.20", "") + HR +
                  row("Infilovací plocha", "246.90", "m<sup>2</sup>") +
                  row("Objem akumulace průlehu", "17.28", "m<sup>3</sup>") +
                  row("Výška vzdutí", "0.17", "m") + row("Doba prázdnění průlehu", "9.60", "hod.") +
                  "</table>"});

    // A soil option the pane does not have loses the section's line only.
    d.f.SoilOption = 2;
    EXPECT_TRUE(d.section().empty());
    EXPECT_EQ(d.lines().back(), kFooter);
}

TEST(ReportLines, CombinedObjectWithAndWithoutOverflow)
{
    Design d(3);
    d.r.SoucFiltrPruleh = 0.00001f;
    d.r.SirkaRyhy = 0.5f;
    d.r.VyskaRyhy = 1;
    d.r.PrumTroubVnit = 100;
    d.r.PrumTroubVnej = 110.5f;
    d.r.SpecDrenOdtok = 10;
    d.r.PocetPotrubi = 1;
    d.r.InfilPlocha = 100;
    d.r.ObjAkum = 17.28f;
    d.r.DelkaRyhy = 2.993f;
    d.r.SirkaPrulehu = 0.5f;
    d.r.HloubkaPrulehu = 11.55f;
    d.r.DobaPrazdneni = 641.4f;
    const std::string first = kCommon + "<u>Výsledky</u><p><table border=0>" +
                              row("Typ půdy", "Písek střední až jemný", "") +
                              row("Součinitel filtrace průlehu", "1.00E-05", "m/s") +
                              row("Součinitel bezpečnosti", "1.20", "") +
                              row("Pórovitost výplně rýhy", "0.35", "") +
                              row("Šířka rýhy (střední)", "0.50", "m") +
                              row("Výška rýhy", "1.00", "m");
    const std::string overflow = heading("Přetok a škrcený odtok") +
                                 row("Vnitřní průměr infilovací trouby", "100", "mm") +
                                 row("Vnější průměr infilovací trouby", "111", "mm") +
                                 row("Škrcená odtoková intenzita", "10.00", "l/s.ha") +
                                 row("Počet potrubí", "1", "");
    const std::string results = HR + row("Infilovací plocha", "100.00", "m<sup>2</sup>") +
                                rowShort("Objem akumulace průlehu", "17.28", "m<sup>3</sup>") +
                                rowShort("Délka infilovací rýhy", "2.99", "m") +
                                rowShort("Šířka průlehu", "0.50", "m") +
                                rowShort("Hloubka průlehu (výška vzdutí)", "11.55", "m") +
                                rowShort("Doba prázdnění průlehu", "641.40", "hod.") + "</table>";
    EXPECT_EQ(d.section(), (std::vector<std::string>{first, results}));
    d.c.chkSelPretok3 = true;
    EXPECT_EQ(d.section(), (std::vector<std::string>{first, overflow, results}));
}

TEST(ReportLines, ShaftLinesFollowShapeAndFilterType)
{
    Design d(5);
    d.c.cboTypSachty = "PNC 240/190/..";
    d.r.SachtyCount = 3;
    d.r.NezamrzHlPritok = 1.2f;
    d.r.PrumerSachtyVnit = 2.41f;
    d.r.ShaftWidth = 2.4f;
    d.r.ShaftLength = 1.9f;
    d.r.TloustkaSteny = 0.1f;
    d.r.VyskaVzduti = 3.58f;
    d.r.VyskaFiltrVrstvy = 0.5f;
    d.r.VyskaPiskVrstvy = 0.3f;
    d.r.HloubkaSachty = 5.58f;
    d.r.PotrHloubkaZahl = 6.28f;
    d.r.SoucFiltrPruleh = 0.00025f;
    d.r.InfilPlocha = 1234567.891f;
    const std::string first = kCommon + "<u>Výsledky</u><p><table border=0>" +
                              rowShort("Součinitel bezpečnosti", "1.20", "") +
                              rowShort("Nezámrzná hloubka přítoku", "1.20", "m") +
                              rowShort("Typ šachty", "PNC 240/190/..", "") +
                              rowShort("Počet šachet", "3", "");
    const std::string round = rowShort("Vnitřní průměr šachty", "2.41", "m");
    const std::string width = rowShort("Šířka šachty", "2.40", "m");
    const std::string length = rowShort("Délka šachty", "1.90", "m");
    const std::string wall = rowShort("Tloušťka stěny", "0.10", "m") +
                             rowShort("Výška vzdutí", "3.58", "m") +
                             rowShort("Výška filtrační vrstvy", "0.50", "m");
    const std::string sand = rowShort("Výška vrstvy písku/jem. štěrku", "0.30", "m");
    const std::string results = HR + rowShort("Potřebná hloubka šachty", "5.58", "m") +
                                rowShort("Min. hloubka podzemní vody", "6.28", "m") +
                                rowShort("Potřebný součinitel filtrace filtru", "2.50E-04", "m/s") +
                                rowShort("Infilovací plocha", "1 234 568.00", "m<sup>2</sup>") +
                                "</table>";

    d.f.ShaftShape = 0;
    d.f.SoilOption = 0;
    EXPECT_EQ(d.section(), (std::vector<std::string>{first, round, wall, results}));
    d.f.ShaftShape = 1;
    d.f.SoilOption = 1;
    EXPECT_EQ(d.section(), (std::vector<std::string>{first, width, length, wall, sand, results}));
    d.f.ShaftShape = 2; // neither shape: no dimension line
    d.f.SoilOption = 0;
    EXPECT_EQ(d.section(), (std::vector<std::string>{first, wall, results}));
}

TEST(ReportLines, BasinWithCorrectedUnitsSlopeAndSettling)
{
    Design d(6);
    d.r.SpecInfilIntenz = 50;
    d.r.DelkaDnaNadrz = 20;
    d.r.SirkaDnaNadrz = 10;
    d.r.HloubkaNadrz = 1.5f;
    d.r.SklonSvahuNadrz = 2;
    d.r.InfilTok = 0.05f;
    d.r.ObjAkum = 300;
    d.r.VypObjNadrz = 452.2f;
    const std::string first =
        kCommon + "<u>Výsledky</u><p><table border=0>" +
        rowShort("Součinitel bezpečnosti", "1.20", "") +
        rowShort("Specifická infilovací intenzita", "50.00", "l/s.ha") +
        rowShort("Délka dna nádrže", "20.00", "m") + rowShort("Šířka dna nádrže", "10.00", "m") +
        rowShort("Hloubka nádrže", "1.50", "m") +
        "<TR><TD valign=bottom width=200>Sklon svahů nádrže</TD><TH valign=bottom align=right "
        "width=200>1 : </TH><TH valign=bottom align=left width=250>2</TH>";
    const std::string results = HR + rowShort("Infilovací tok", "0.05", "m<sup>3</sup>/s") +
                                rowShort("Potřebný objem akumulace", "300.00", "m<sup>3</sup>") +
                                rowShort("Objem dle rozměrů nádrže", "452.20", "m<sup>3</sup>") +
                                "</table>";
    EXPECT_EQ(d.section(), (std::vector<std::string>{first, results}));
    d.c.chkPredUsaz = true;
    EXPECT_EQ(d.section(),
              (std::vector<std::string>{first, heading("Předsazené usazování"), results}));
}

// The verdict is a section of its own, after the results; user texts in it are
// escaped like any other.
TEST(ReportLines, TheVerdictFollowsTheResults)
{
    Design d(4);
    d.c.verdict = {{"trench.length", verdict::Severity::Error, "Délka rýhy vychází 0.00 m"},
                   {"kf.low", verdict::Severity::Warning, "kf < 1.0E-06"}};
    const auto lines = d.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2],
              "<hr><u>Posouzení návrhu</u><p><table border=0><TR><TD valign=top width=100><b>chyba</b></TD>"
              "<TD width=550>Délka rýhy vychází 0.00 m</TD></TR><TR><TD valign=top width=100><b>varování</b>"
              "</TD><TD width=550>kf &lt; 1.0E-06</TD></TR></table>");
    EXPECT_EQ(lines.back(), kFooter);
}

// The diagrams come last, after the verdict: a picture by its name beside the
// page (percent-encoded, so any project name stays plain ASCII), or the words
// that stand in its place. Without diagrams the page is as it always was.
TEST(ReportLines, TheDiagramsSectionComesLastAndNamesItsPictures)
{
    Design d(4);
    const auto before = d.lines();
    d.c.diagrams = {{"Délka infilovací rýhy podle doby trvání deště", "Infil_Můj most-delka.png", 640, 320, ""},
                    {"Návrhový déšť", "", 640, 320, "Návrhový déšť není zadán <&>"}};
    const auto lines = d.lines();
    ASSERT_EQ(lines.size(), before.size() + 1);
    EXPECT_TRUE(std::equal(before.begin(), before.end() - 1, lines.begin()));
    EXPECT_EQ(lines[lines.size() - 2],
              "<hr><u>Diagramy návrhu</u><p><img src=\"Infil_M%C5%AFj%20most-delka.png\" width=640 height=320 "
              "alt=\"Délka infilovací rýhy podle doby trvání deště\"></p><p><b>Návrhový déšť</b><br>Návrhový "
              "déšť není zadán &lt;&amp;&gt;</p>");
    EXPECT_EQ(lines.back(), kFooter);

    // No technology, no section, diagrams or not.
    Design none(0);
    const auto plain = none.lines();
    none.c.diagrams = d.c.diagrams;
    EXPECT_EQ(none.lines(), plain);
}

// Results that do not belong to the inputs printed are not printed: the page
// says they were not computed.
TEST(ReportLines, ResultsNotComputedForTheInputsAreNotPrinted)
{
    const std::string notComputed =
        "<TR><TD valign=bottom colspan=3><hr></TD></tr><TR><TD colspan=3><b>Výpočet nebyl proveden pro "
        "aktuální zadání</b></TD></TR></table>";
    for (int tech : {3, 4, 5, 6}) {
        SCOPED_TRACE(tech);
        Design d(tech);
        d.r.DelkaRyhy = 8;
        d.r.ObjAkum = 12.5f;
        d.r.VyskaVzduti = 0.75f;
        d.c.resultsCurrent = false;
        const auto section = d.section();
        ASSERT_FALSE(section.empty());
        EXPECT_EQ(section.back(), notComputed);
        for (const std::string& line : section) {
            EXPECT_EQ(line.find("12.50"), std::string::npos) << line;
            EXPECT_EQ(line.find("Výška vzdutí"), std::string::npos) << line;
        }
    }
}

TEST(ReportLines, NoTechnologyWritesNoSection)
{
    Design d(0);
    const auto lines = d.lines();
    EXPECT_EQ(lines[lines.size() - 2], "</table><br>");
    EXPECT_NE(lines[0].find("[Vyber typ zasakování]"), std::string::npos);

    // A technology beyond the name table loses the head line too, but the rest stands.
    Design beyond(9);
    const auto rest = beyond.lines();
    EXPECT_EQ(rest.size(), lines.size() - 1);
    EXPECT_EQ(rest.front().rfind("<hr><u>Návrhový déšť</u>", 0), 0u);
}

TEST(ReportLines, RainRowsAreAllPlainWithoutAMatchingDuration)
{
    Design d(1);
    d.r.SelDTrvDeste = 16;
    const auto lines = d.lines();
    for (int i = 2; i <= 10; ++i)
        EXPECT_EQ(lines[static_cast<std::size_t>(i)].substr(0, 8), "<tr><td ") << i;

    d.r.SelDTrvDeste = 120;
    EXPECT_EQ(d.lines()[10], "<tr><th width=150 align=center>120</th><th width=150 "
                             "align=center>37.5</th></tr>");
}

TEST(ReportLines, DrainedAreaRowsLeaveOutTheSpareSlot)
{
    Design d(1);
    const auto count = [&] {
        int n = 0;
        for (const auto& l : d.lines())
            n += l.rfind("<tr><td width=150 align=center>", 0) == 0 &&
                 l.find("width=250 align=left>") != std::string::npos;
        return n;
    };
    EXPECT_EQ(count(), 0); // the editor never used: one spare slot

    d.r.SubAreaSizes.reset(4);
    d.r.SubAreaCoefs.reset(4);
    d.r.SubAreaKinds.reset(4);
    EXPECT_EQ(count(), 3);

    // A shorter kind list loses the row that reads beyond it, not the page.
    d.r.SubAreaKinds.reset(2);
    EXPECT_EQ(count(), 2);

    d.r.SubAreaSizes.reset(0);
    EXPECT_EQ(count(), 0);
}

TEST(ReportLines, NotesBecomeOneLineWithBreaks)
{
    Design d(1);
    EXPECT_EQ(d.lines()[1].substr(0, 4), "<hr>"); // empty notes: no line

    d.r.Details = "První řádek\r\nDruhý <řádek> & konec";
    const std::string expected =
        "<br><u>Detailní popis</u><br><align=justify>První řádek<br>Druhý &lt;řádek&gt; &amp; "
        "konec</p>";
    EXPECT_EQ(d.lines()[1], expected);
    // Notes the record keeps converted print the same, their breaks not escaped.
    d.r.Details = DetailsWithBreaks(d.r.Details);
    EXPECT_EQ(d.lines()[1], expected);

    // A bare line feed is a line the user typed as well.
    d.r.Details = "a\nb";
    EXPECT_EQ(d.lines()[1], "<br><u>Detailní popis</u><br><align=justify>a<br>b</p>");
    EXPECT_EQ(d.r.Details, "a\nb");
}

TEST(ReportLines, TypedTextsCannotInjectMarkup)
{
    Design d(2);
    d.r.ProjName = "<script>alert(1)</script>";
    d.r.Projektant = "Novák & syn";
    d.r.Investor = "\"Město\"";
    d.r.MistoAkce = "a<b";
    d.r.TypPudyPodlozi = "</TD>";
    d.r.SubAreaSizes.reset(2);
    d.r.SubAreaCoefs.reset(2);
    d.r.SubAreaKinds.reset(2);
    d.r.SubAreaKinds[1] = "humusová vrstva < 10 cm";
    const auto lines = d.lines();
    const std::string& head = lines[0];
    EXPECT_NE(head.find(">&lt;script&gt;alert(1)&lt;/script&gt;</TH>"), std::string::npos);
    EXPECT_NE(head.find(">Novák &amp; syn</TH>"), std::string::npos);
    EXPECT_NE(head.find(">&quot;Město&quot;</TH>"), std::string::npos);
    EXPECT_NE(head.find(">a&lt;b</TH>"), std::string::npos);
    EXPECT_EQ(head.find("<script>"), std::string::npos);
    EXPECT_NE(lines[13].find(">humusová vrstva &lt; 10 cm</td>"), std::string::npos);
    EXPECT_NE(lines[15].find("(&lt;/TD&gt;)</TD></TR>"), std::string::npos);
}
