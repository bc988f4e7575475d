#include "ReportWriter.h"

#include "Cp1250.h"
#include "NumberFormat.h"

#include <stdexcept>

namespace infil::report {
namespace {

// ---- pieces of a row ----

const std::string kOpenRow = "<TR><TD valign=bottom width=200>";
const std::string kOpenValue = "</TD><TH valign=bottom align=right width=200>";
const std::string kOpenUnit = "</TH><TH valign=bottom align=left width=250>";
const std::string kHr = "<TR><TD valign=bottom colspan=3><hr></TD></tr>";
// The results heading and their table's opening come before the first row: inside
// that row's label cell a browser would swallow the label with them.
const std::string kResultsHead = "<u>Výsledky</u><p><table border=0>";

std::string open(std::string_view label) { return kOpenRow + std::string(label) + kOpenValue; }
// Closing with the row end ...
std::string unit(std::string_view u) { return kOpenUnit + std::string(u) + "</TH></TR>"; }
// ... and without it, as the later rows of several sections have always been written.
std::string unitShort(std::string_view u) { return kOpenUnit + std::string(u) + "</TH>"; }

std::string heading(std::string_view title)
{
    return "<TR><TD>-</TD><TD><TD></TD></TR><TR><TD valign=bottom width=200><i><u>" +
           std::string(title) +
           "</u></i></TD><TH valign=bottom align=right width=200></TH><TH valign=bottom "
           "align=left width=250></TH></TR>";
}

// How the page shows values: most with two decimals, counts and millimetres
// whole, coefficients as "0.00E+00", the rain table and the areas as typed, and
// every text escaped.
std::string twoDecimals(float v) { return num::fixed(v, 2); }
std::string whole(float v) { return num::fixed(v, 0); }
std::string coefficient(float v) { return num::scientific(v, 2); }
std::string asTyped(float v) { return num::plain(v); }
std::string escaped(std::string_view text) { return EscapeHtml(text); }

const std::string& soilCaption(int option)
{
    static const std::string captions[] = {std::string(kSwaleSoilCaptions[0]),
                                           std::string(kSwaleSoilCaptions[1])};
    if (option < 0 || option > 1)
        throw std::out_of_range("no soil option " + std::to_string(option));
    return captions[option];
}

// The notes for the page: escaped, with the stored "<br>" breaks kept as breaks
// and any remaining lone CR or LF turned into one as well.
std::string detailsForPage(std::string_view converted)
{
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t br = converted.find("<br>", start);
        const std::string_view piece = converted.substr(start, br == std::string_view::npos
                                                                   ? std::string_view::npos
                                                                   : br - start);
        const std::string escaped = EscapeHtml(piece);
        for (char c : escaped) {
            if (c == '\r' || c == '\n')
                out += "<br>";
            else
                out.push_back(c);
        }
        if (br == std::string_view::npos)
            break;
        out += "<br>";
        start = br + 4;
    }
    return out;
}

// The first piece of every technology section: the shared subsoil inputs.
std::string commonBlock(const ProjectRecord& r)
{
    return "<table border=0>" + open("Celková odvodňovaná plocha") + twoDecimals(r.OdvodNepPlocha) +
           unit("m<sup>2</sup>") + open("Součinitel filtrace podloží") + coefficient(r.SoucFiltrace) +
           "</TH><TD valign=bottom align=left width=250><b>m/s - </b>(" + escaped(r.TypPudyPodlozi) +
           ")</TD></TR>" + open("Hladina podzemní vody") + twoDecimals(r.HPV) + unit("m") +
           "</table><br><hr>";
}

// Where results do not belong to the inputs printed above them: one row that
// says so, closing the results table.
std::string notComputed()
{
    return kHr + "<TR><TD colspan=3><b>" + std::string(verdict::kNotComputed) + "</b></TD></TR></table>";
}

// Every technology section opens with the shared inputs and the results heading.
std::string sectionStart(const ProjectRecord& r) { return commonBlock(r) + kResultsHead; }

using Emit = void (*)(std::vector<std::string>&, const ProjectRecord&, const FormState&,
                      const ReportControls&);

// Each section is a list of line builders; a builder that throws (an entry
// outside its list) loses its own line only.
template <typename F>
void line(std::vector<std::string>& out, F&& build)
{
    try {
        out.push_back(build());
    } catch (const std::out_of_range&) {
    }
}

void surface(std::vector<std::string>& out, const ProjectRecord& r, const FormState&,
             const ReportControls&)
{
    line(out, [&] {
        return sectionStart(r) + open("Infilovací plocha") + twoDecimals(r.InfilPlocha) +
               kOpenUnit + "m<sup>2</sup></TH></TR></table>";
    });
}

void swale(std::vector<std::string>& out, const ProjectRecord& r, const FormState& f,
           const ReportControls&)
{
    line(out, [&] {
        return sectionStart(r) + open("Typ půdy") + escaped(soilCaption(f.SoilOption)) +
               unit("") + open("Součinitel bezpečnosti") + twoDecimals(r.SoucBezp) + unit("") + kHr +
               open("Infilovací plocha") + twoDecimals(r.InfilPlocha) + unit("m<sup>2</sup>") +
               open("Objem akumulace průlehu") + twoDecimals(r.ObjAkum) + unit("m<sup>3</sup>") +
               open("Výška vzdutí") + twoDecimals(r.VyskaVzduti) + unit("m") +
               open("Doba prázdnění průlehu") + twoDecimals(r.DobaPrazdneni) + unit("hod.") + "</table>";
    });
}

void combined(std::vector<std::string>& out, const ProjectRecord& r, const FormState& f,
              const ReportControls& c)
{
    line(out, [&] {
        return sectionStart(r) + open("Typ půdy") +
               escaped(soilCaption(f.SoilOption)) + unit("") + open("Součinitel filtrace průlehu") +
               coefficient(r.SoucFiltrPruleh) + unit("m/s") + open("Součinitel bezpečnosti") +
               twoDecimals(r.SoucBezp) + unit("") + open("Pórovitost výplně rýhy") + twoDecimals(r.PorVyplne) +
               unit("") + open("Šířka rýhy (střední)") + twoDecimals(r.SirkaRyhy) + unit("m") +
               open("Výška rýhy") + twoDecimals(r.VyskaRyhy) + unit("m");
    });
    if (c.chkSelPretok3)
        line(out, [&] {
            return heading("Přetok a škrcený odtok") + open("Vnitřní průměr infilovací trouby") +
                   whole(r.PrumTroubVnit) + unit("mm") + open("Vnější průměr infilovací trouby") +
                   whole(r.PrumTroubVnej) + unit("mm") + open("Škrcená odtoková intenzita") +
                   twoDecimals(r.SpecDrenOdtok) + unit("l/s.ha") + open("Počet potrubí") +
                   whole(r.PocetPotrubi) + unit("");
        });
    if (!c.resultsCurrent) {
        out.push_back(notComputed());
        return;
    }
    line(out, [&] {
        return kHr + open("Infilovací plocha") + twoDecimals(r.InfilPlocha) + unit("m<sup>2</sup>") +
               open("Objem akumulace průlehu") + twoDecimals(r.ObjAkum) + unitShort("m<sup>3</sup>") +
               open("Délka infilovací rýhy") + twoDecimals(r.DelkaRyhy) + unitShort("m") +
               open("Šířka průlehu") + twoDecimals(r.SirkaPrulehu) + unitShort("m") +
               open("Hloubka průlehu (výška vzdutí)") + twoDecimals(r.HloubkaPrulehu) + unitShort("m") +
               open("Doba prázdnění průlehu") + twoDecimals(r.DobaPrazdneni) + unitShort("hod.") +
               "</table>";
    });
}

void trench(std::vector<std::string>& out, const ProjectRecord& r, const FormState&,
            const ReportControls& c)
{
    line(out, [&] {
        return sectionStart(r) +
               open("Součinitel bezpečnosti") + twoDecimals(r.SoucBezp) + unit("") +
               open("Pórovitost výplně rýhy") + twoDecimals(r.PorVyplne) + unit("") +
               open("Šířka rýhy (střední)") + twoDecimals(r.SirkaRyhy) + unit("m") + open("Výška rýhy") +
               twoDecimals(r.VyskaRyhy) + unit("m");
    });
    if (c.chkSelPretok4)
        line(out, [&] {
            return heading("Drenáž") + open("Vnitřní průměr infilovací trouby") +
                   whole(r.PrumTroubVnit) + unit("mm") + open("Vnější průměr infilovací trouby") +
                   whole(r.PrumTroubVnej) + unit("mm") + open("Počet potrubí") + whole(r.PocetPotrubi) +
                   unit("") + open("Výstupní plocha") + twoDecimals(r.VystupPlocha) +
                   unit("cm<sup>2</sup>/m") + open("Výstupní rychlost") + twoDecimals(r.VystupRychlost) +
                   unit("m/s");
        });
    if (!c.resultsCurrent) {
        out.push_back(notComputed());
        return;
    }
    line(out, [&] {
        return kHr + open("Infilovací plocha") + twoDecimals(r.InfilPlocha) + unit("m<sup>2</sup>") +
               open("Objem akumulace průlehu") + twoDecimals(r.ObjAkum) + unitShort("m<sup>3</sup>") +
               open("Délka infilovací rýhy") + twoDecimals(r.DelkaRyhy) + unitShort("m") + "</table>";
    });
}

void shaft(std::vector<std::string>& out, const ProjectRecord& r, const FormState& f,
           const ReportControls& c)
{
    line(out, [&] {
        return sectionStart(r) +
               open("Součinitel bezpečnosti") + twoDecimals(r.SoucBezp) + unitShort("") +
               open("Nezámrzná hloubka přítoku") + twoDecimals(r.NezamrzHlPritok) + unitShort("m") +
               open("Typ šachty") + escaped(c.cboTypSachty) + unitShort("") + open("Počet šachet") +
               asTyped(static_cast<float>(r.SachtyCount)) + unitShort("");
    });
    if (f.ShaftShape == 0) {
        line(out, [&] {
            return open("Vnitřní průměr šachty") + twoDecimals(r.PrumerSachtyVnit) + unitShort("m");
        });
    } else if (f.ShaftShape == 1) {
        line(out, [&] { return open("Šířka šachty") + twoDecimals(r.ShaftWidth) + unitShort("m"); });
        line(out, [&] { return open("Délka šachty") + twoDecimals(r.ShaftLength) + unitShort("m"); });
    }
    line(out, [&] {
        // The ponding height is a result: without current results it is left out.
        return open("Tloušťka stěny") + twoDecimals(r.TloustkaSteny) + unitShort("m") +
               (c.resultsCurrent ? open("Výška vzdutí") + twoDecimals(r.VyskaVzduti) + unitShort("m") : "") +
               open("Výška filtrační vrstvy") + twoDecimals(r.VyskaFiltrVrstvy) + unitShort("m");
    });
    if (f.SoilOption == 1)
        line(out, [&] {
            return open("Výška vrstvy písku/jem. štěrku") + twoDecimals(r.VyskaPiskVrstvy) +
                   unitShort("m");
        });
    if (!c.resultsCurrent) {
        out.push_back(notComputed());
        return;
    }
    line(out, [&] {
        return kHr + open("Potřebná hloubka šachty") + twoDecimals(r.HloubkaSachty) + unitShort("m") +
               open("Min. hloubka podzemní vody") + twoDecimals(r.PotrHloubkaZahl) + unitShort("m") +
               open("Potřebný součinitel filtrace filtru") + coefficient(r.SoucFiltrPruleh) +
               unitShort("m/s") + open("Infilovací plocha") + twoDecimals(r.InfilPlocha) +
               unitShort("m<sup>2</sup>") + "</table>";
    });
}

void basin(std::vector<std::string>& out, const ProjectRecord& r, const FormState&,
           const ReportControls& c)
{
    line(out, [&] {
        // The specific intensity is in l/s.ha and the bottom length in metres; the
        // page used to print "m" and nothing there.
        return sectionStart(r) +
               open("Součinitel bezpečnosti") + twoDecimals(r.SoucBezp) + unitShort("") +
               open("Specifická infilovací intenzita") + twoDecimals(r.SpecInfilIntenz) +
               unitShort("l/s.ha") + open("Délka dna nádrže") + twoDecimals(r.DelkaDnaNadrz) +
               unitShort("m") + open("Šířka dna nádrže") + twoDecimals(r.SirkaDnaNadrz) + unitShort("m") +
               open("Hloubka nádrže") + twoDecimals(r.HloubkaNadrz) + unitShort("m") +
               "<TR><TD valign=bottom width=200>Sklon svahů nádrže</TD><TH valign=bottom "
               "align=right width=200>1 : </TH><TH valign=bottom align=left width=250>" +
               whole(r.SklonSvahuNadrz) + "</TH>";
    });
    if (c.chkPredUsaz)
        line(out, [&] { return heading("Předsazené usazování"); });
    if (!c.resultsCurrent) {
        out.push_back(notComputed());
        return;
    }
    line(out, [&] {
        return kHr + open("Infilovací tok") + twoDecimals(r.InfilTok) + unitShort("m<sup>3</sup>/s") +
               open("Potřebný objem akumulace") + twoDecimals(r.ObjAkum) + unitShort("m<sup>3</sup>") +
               open("Objem dle rozměrů nádrže") + twoDecimals(r.VypObjNadrz) + unitShort("m<sup>3</sup>") +
               "</table>";
    });
}

// The plausibility verdict: each finding with its weight, or a line that the
// design is within every limit checked.
void verdictSection(std::vector<std::string>& out, const std::vector<verdict::Item>& items)
{
    std::string section = "<hr><u>Posouzení návrhu</u><p>";
    if (items.empty()) {
        section += "Návrh nepřekračuje žádnou z mezí, se kterými jej program porovnává.</p>";
    } else {
        section += "<table border=0>";
        for (const verdict::Item& item : items)
            section += "<TR><TD valign=top width=100><b>" + std::string(verdict::severityName(item.severity)) +
                       "</b></TD><TD width=550>" + escaped(item.text) + "</TD></TR>";
        section += "</table>";
    }
    out.push_back(section);
}

// The design's diagrams: each picture at the size it was drawn for, or the
// words that say why there is nothing to draw.
void diagramsSection(std::vector<std::string>& out, const std::vector<ReportDiagram>& diagrams)
{
    std::string section = "<hr><u>Diagramy návrhu</u>";
    for (const ReportDiagram& d : diagrams) {
        if (!d.picture.empty())
            section += "<p><img src=\"" + UrlEncoded(d.picture) + "\" width=" + std::to_string(d.width) +
                       " height=" + std::to_string(d.height) + " alt=\"" + escaped(d.title) + "\"></p>";
        else
            section += "<p><b>" + escaped(d.title) + "</b><br>" + escaped(d.message) + "</p>";
    }
    out.push_back(section);
}

} // namespace

std::string EscapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::string UrlEncoded(std::string_view name)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            std::string_view("-._~").find(ch) != std::string_view::npos) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        }
    }
    return out;
}

std::string DetailsWithBreaks(std::string_view details)
{
    std::string out;
    out.reserve(details.size());
    for (std::size_t i = 0; i < details.size(); ++i) {
        if (details[i] == '\r' && i + 1 < details.size() && details[i + 1] == '\n') {
            out += "<br>";
            ++i;
        } else {
            out.push_back(details[i]);
        }
    }
    return out;
}

std::vector<std::string> ResultsReportLines(const ProjectRecord& r, const FormState& form,
                                            const ReportControls& controls,
                                            const ReportStamp& stamp)
{
    std::vector<std::string> out;
    // The character set is declared at once, so a saved copy shows its Czech
    // letters in any browser.
    line(out, [&] {
        return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
               "charset=windows-1250\"></head><body><div "
               "style=position:relative;width:650px;height:350px>"
               "<table border=0>"
               "<TR><TD width=200>Název projektu</TD><TH align=left width=450>" +
               escaped(r.ProjName) + "</TH><TD rowspan=4 width=210><img border=0 src=" +
               std::string(kLogoSrc) + "></TD></TR>" +
               "<TR><TD width=200>Projektant</TD><TH align=left width=450>" + escaped(r.Projektant) +
               "</TH></TR>" + "<TR><TD width=200>Investor</TD><TH align=left width=450>" +
               escaped(r.Investor) + "</TH></TR>" +
               "<TR><TD width=200>Místo akce</TD><TH align=left width=450>" + escaped(r.MistoAkce) +
               "</TH></TR>" + "<TR><TD width=200>Typ infilování</TD><TH align=left width=450>" +
               escaped(r.TechnologyNames[form.TechIndex]) + "</TH></TR>" + "</table>";
    });

    if (!r.Details.empty())
        line(out, [&] {
            return "<br><u>Detailní popis</u><br><align=justify>" +
                   detailsForPage(DetailsWithBreaks(r.Details)) +
                   "</p>";
        });

    line(out, [&] {
        return "<hr><u>Návrhový déšť</u> dešťoměrná stanice - <b>" + escaped(r.StationName) +
               "</b>, periodicita - <b>" + escaped(r.PeriodicityText) +
               "</b><p><table border=1 style=border-collapse:collapse><tr><th width=150 "
               "align=center>Doba trvání deště (min)</th><th width=150 align=center>Intenzita "
               "deště (l/s.ha)</th></tr>";
    });

    for (int i = 1; i <= 9; ++i)
        line(out, [&] {
            // The design duration's row is bold: header cells instead of data cells.
            const std::string cell = r.RainDurations[i] == r.SelDTrvDeste ? "th" : "td";
            return "<tr><" + cell + " width=150 align=center>" + asTyped(r.RainDurations[i]) + "</" +
                   cell + "><" + cell + " width=150 align=center>" + asTyped(r.RainIntensities[i]) +
                   "</" + cell + "></tr>";
        });

    // Where the series came from, so a reviewer can trace the design rain.
    if (!r.RainSource.empty())
        line(out, [&] {
            return "<tr><td colspan=2 align=left>Zdroj intenzit deště: <b>" + escaped(r.RainSource) + "</b></td></tr>";
        });

    out.push_back("</table><hr>");
    out.push_back("<u>Odvodňovaná plocha</u><p><table border=1 "
                  "style=border-collapse:collapse><tr><th width=150 align=center>Dílčí plocha "
                  "(m<sup>2</sup>)</th><th width=200 align=center>Souč. povrch. odtoku</th><th "
                  "width=250 align=center>Dílčí typ povrchu</th></tr>");
    // Every entry of the drained-area lists but the last, spare one.
    for (int k = 1; k <= r.SubAreaSizes.slotCount() - 1; ++k)
        line(out, [&] {
            return "<tr><td width=150 align=center>" + asTyped(r.SubAreaSizes[k]) +
                   "</td><td width=200 align=center>" + asTyped(r.SubAreaCoefs[k]) +
                   "</td><td width=250 align=left>" + escaped(r.SubAreaKinds[k]) + "</td></tr>";
        });
    out.push_back("</table><br>");

    static constexpr Emit sections[] = {surface, swale, combined, trench, shaft, basin};
    if (form.TechIndex >= 1 && form.TechIndex <= 6)
        sections[form.TechIndex - 1](out, r, form, controls);
    if (form.TechIndex >= 1 && form.TechIndex <= 6)
        verdictSection(out, controls.verdict);
    if (form.TechIndex >= 1 && form.TechIndex <= 6 && !controls.diagrams.empty())
        diagramsSection(out, controls.diagrams);

    out.push_back("<hr><p><font size=2>Datum a čas výpočtu:  " + escaped(stamp.date) + ",  " +
                  escaped(stamp.time) + "</font></p>" + "</div></body></html>");
    return out;
}

std::string EncodeReport(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const auto& l : lines) {
        bytes += ToWindows1250(l);
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace infil::report
