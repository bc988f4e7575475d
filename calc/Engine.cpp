#include "Engine.h"

#include "FloatOps.h"
#include "GoverningRain.h"
#include "NumberFormat.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace infil {
namespace {

// Texts of the assessment and input messages, exactly as the user sees them.
namespace text {
constexpr const char* kNoIntensity = "Intenzita návrhového deště není zadána";
constexpr const char* kNoDrainedArea = "Není zadána odvodňovaná plocha.";
constexpr const char* kAreaEnough = "Navržená infilovací plocha je dostatečná ( ";
constexpr const char* kAreaShort = "Navržená infilovací plocha je nedostatečná ( ";
constexpr const char* kDrainShort = "Není splněna podmínka výstupního odtoku. ( ";
constexpr const char* kDrainOk = "Podmínka výstupního odtoku je splněna. ( ";
constexpr const char* kGroundwater =
    "Min. hloubka maximální hladiny podzemní vody je překročena.  Zvolte větší průměr "
    "šachty či jejich počet a opakujte výpočet.";
constexpr const char* kFilterOk = "Potřebná propustnost filtru je dostačující.";
constexpr const char* kFilterTooHigh =
    "Potřebná propustnost filtru je příliš vysoká. Zvolte větší průměr šachty či jejich "
    "počet a opakujte výpočet.";
constexpr const char* kBottomTooLow =
    "Dno šachty je vzdáleno méně než 0.5 m od hladiny podzemní vody. Zvolte menší výšku "
    "filtru.";
constexpr const char* kBasinTooSmall =
    "Vypočítaný objem nádrže je menší než nutná akumulace. Zvětšete rozměry nádrže.";
constexpr const char* kBasinOk = "Objem nádrže je dostačující.";
constexpr const char* kInfiltrationOk = "Průkaz předpokladu infilovacího toku je v pořádku.";
constexpr const char* kInfiltrationShort = "Infilovací tok přesahuje průměrný infilovací tok.";
constexpr const char* kShaftDiameters = "Vnější průměr šachty je menší než vnitřní průměr.";
constexpr const char* kPipesNotConfirmed = "Parametry potrubí nejsou potvrzeny tlačítkem OK.";
} // namespace text

using R = ProjectRecord;
constexpr auto kF1 = ShownAs::Fixed1;
constexpr auto kF2 = ShownAs::Fixed2;

const ShownResult kShownResults[] = {
    {&R::InfilPlocha, 1, kF1, num::ruleR, "Plocha potřebná pro infilování", "m²"},
    {&R::InfilPlocha, 2, kF1, num::ruleR, "Plocha potřebná pro infilování", "m²"},
    {&R::ObjAkum, 2, kF1, nullptr, "Objem akumulace průlehu", "m³"},
    {&R::VyskaVzduti, 2, kF2, nullptr, "Výška vzdutí", "m"},
    {&R::DobaPrazdneni, 2, kF1, nullptr, "Doba prázdnění průlehu", "h"},
    {&R::InfilPlocha, 3, kF1, num::ruleR, "Plocha potřebná pro infilování", "m²"},
    {&R::ObjAkum, 3, kF1, nullptr, "Objem akumulace průlehu", "m³"},
    {&R::DelkaRyhy, 3, kF1, nullptr, "Délka infilovací rýhy", "m"},
    {&R::SirkaPrulehu, 3, kF2, nullptr, "Šířka průlehu", "m"},
    {&R::HloubkaPrulehu, 3, kF2, nullptr, "Hloubka průlehu", "m"},
    {&R::DobaPrazdneni, 3, kF1, nullptr, "Doba prázdnění průlehu", "h"},
    {&R::InfilPlocha, 4, kF1, num::ruleR, "Plocha potřebná pro infilování", "m²"},
    {&R::ObjAkum, 4, kF1, nullptr, "Objem akumulace rýhy", "m³"},
    {&R::DelkaRyhy, 4, kF1, nullptr, "Délka infilovací rýhy", "m"},
    {&R::VyskaVzduti, 5, kF2, nullptr, "Výška vzdutí", "m"},
    {&R::HloubkaSachty, 5, kF2, nullptr, "Potřebná hloubka šachty", "m"},
    {&R::PotrHloubkaZahl, 5, kF2, num::ruleP, "Min. hloubka hladiny podzemní vody", "m"},
    {&R::InfilPlocha, 5, kF2, num::ruleR, "Infilovací plocha šachty", "m²"},
    {&R::ObjAkum, 5, kF2, nullptr, "Objem akumulace šachty", "m³"},
    {&R::SoucFiltrPruleh, 5, ShownAs::Scientific1, num::ruleK, "Součinitel filtrace náplně filtru", "m/s"},
    {&R::InfilTok, 6, kF2, nullptr, "Infilovací tok", "m³/s"},
    {&R::ObjAkum, 6, kF2, nullptr, "Potřebný objem akumulace nádrže", "m³"},
    {&R::VypObjNadrz, 6, kF2, nullptr, "Objem dle rozměrů nádrže", "m³"},
};

// The highest permeability (m/s) a shaft's filter fill may be asked to have.
constexpr float kMaxFilterPermeability = 0.001f;

// Fails a Compute check "≤ 0"; a value that is not a number fails too.
bool notPositive(float x) { return !(x > 0); }

// The work of one engine call. It holds only references, so a host handler
// that calls back into the engine (the design-mode option does) is safe.
class Work {
public:
    Work(ProjectRecord& r, FormState& form, EngineHost& host, Engine::Recorder searches)
        : r(r), form(form), host(host), searches(searches)
    {
    }

    void calcTechnology();
    void checkDesign();
    void computeButton(int index);

private:
    ProjectRecord& r;
    FormState& form;
    EngineHost& host;
    Engine::Recorder searches;

    // The governing-rain search of `field` on pane `pane`, written down for
    // the diagrams whether it ends normally or on a fault.
    template <typename Candidate>
    void search(float ProjectRecord::*field, int pane, ZeroDurations zeros, Candidate&& candidate)
    {
        SearchTrace trace;
        trace.quantity = field;
        trace.pane = pane;
        try {
            searchGoverningRain(r, zeros, std::forward<Candidate>(candidate), r.*field, &trace);
        } catch (const FloatFault&) {
            searches.record(trace);
            throw;
        }
        searches.record(trace);
    }

    // 10^-7 turns l/(s·ha) × m² into m³/s; computed as a double power.
    static double e7() { return fp::tenTo(-7); }

    void surface();
    void swaleArea(int pane);
    void swaleCheck();
    void combinedCheck();
    void trenchArea();
    void trenchCheck();
    void shaftCalc();
    void shaftCheck();
    void basinCheck();

    // Shows a field's value on a pane as the table of shown results says; a
    // value the table reads back is the shown text's from then on.
    void show(float ProjectRecord::*field, int pane)
    {
        const ShownResult* shown = shownResult(field, pane);
        if (!shown)
            throw std::logic_error("the engine shows no such result");
        const std::string text = shownText(*shown, r.*field);
        host.show(field, pane, text);
        if (shown->readBack)
            num::apply(shown->readBack(text), r.*field);
    }
    // Empties a result's box.
    void blank(float ProjectRecord::*field, int pane) { host.show(field, pane, ""); }
    void message(MessageIcon icon, std::string_view title, std::string body)
    {
        host.showMessage(Message{icon, std::string(title), std::move(body)});
    }
    static std::string comparison(const char* lead, float first, const char* op, float second,
                                  const char* close)
    {
        return std::string(lead) + num::fixed(first, 2) + op + num::fixed(second, 2) + close;
    }
};

void Work::calcTechnology()
{
    switch (form.TechIndex) {
    case 0: r.InfilPlocha = 0; break;
    case 1: surface(); break;
    case 2: swaleArea(2); break;
    case 3: swaleArea(3); break;
    case 4: trenchArea(); break;
    case 5: shaftCalc(); break;
    default: break;
    }
}

void Work::checkDesign()
{
    switch (form.TechIndex) {
    case 2: swaleCheck(); break;
    case 3: combinedCheck(); break;
    case 4: trenchCheck(); break;
    case 5: shaftCheck(); break;
    case 6: basinCheck(); break;
    default: break;
    }
}

// Surface: the area whose half-coefficient infiltration takes the runoff and
// its own rain, A_red / (10^7 × kf / (2 i) − 1).
void Work::surface()
{
    const float i = r.SelIntDeste;
    if (!(i > 0)) {
        message(MessageIcon::Exclamation, kErrorTitle, text::kNoIntensity);
        host.hideResultPanes();
        r.InfilPlocha = 0;
        // Rebuilds the technology list; its handler calls back into the engine
        // with TechIndex 0, which only sets the area to 0 again.
        host.redoDesignModeOption();
    } else {
        const double ratio = fp::div(fp::tenTo(7) * r.SoucFiltrace, static_cast<double>(i) + i);
        r.InfilPlocha = fp::single(fp::div(r.OdvodNepPlocha, ratio - 1));
    }
    show(&ProjectRecord::InfilPlocha, 1);
}

// Swale area (pane 2) or the combined object's swale area (pane 3), a tenth or
// a fifth of the reduced area by the soil option.
void Work::swaleArea(int pane)
{
    if (!(r.OdvodNepPlocha > 0))
        return;
    if (form.SoilOption == 0)
        r.InfilPlocha = fp::single(r.OdvodNepPlocha * 0.1);
    else if (form.SoilOption == 1)
        r.InfilPlocha = fp::single(r.OdvodNepPlocha * 0.2);
    blank(&ProjectRecord::ObjAkum, pane);
    if (pane == 3) {
        blank(&ProjectRecord::DelkaRyhy, 3);
        blank(&ProjectRecord::SirkaPrulehu, 3);
        blank(&ProjectRecord::HloubkaPrulehu, 3);
        blank(&ProjectRecord::DobaPrazdneni, 3);
    }
    show(&ProjectRecord::InfilPlocha, pane);
    if (pane == 2)
        checkDesign();
}

void Work::swaleCheck()
{
    const double area = r.InfilPlocha, aRed = r.OdvodNepPlocha;
    const double kf = r.SoucFiltrace, f = r.SoucBezp;
    search(&ProjectRecord::ObjAkum, 2, ZeroDurations::Evaluate, [&](double t, double i) {
        return (e7() * (area + aRed) * i - kf / 2 * area) * 60 * f * t;
    });
    show(&ProjectRecord::ObjAkum, 2);

    r.VyskaVzduti = fp::single(fp::div(r.ObjAkum, r.InfilPlocha));
    show(&ProjectRecord::VyskaVzduti, 2);

    if (!(r.SoucFiltrace > 0))
        return;
    r.DobaPrazdneni = fp::single(fp::div(2.0 * r.VyskaVzduti, r.SoucFiltrace) / 3600);
    show(&ProjectRecord::DobaPrazdneni, 2);
}

void Work::combinedCheck()
{
    r.ObjAkum = 0;
    if (!host.isOn(Switch::Overflow)) {
        r.ThrottledOutflow = 0;
        r.EffectivePorosity = r.PorVyplne;
    }

    // The swale's storage, infiltrating at its own soil's coefficient.
    {
        const double area = r.InfilPlocha, aRed = r.OdvodNepPlocha;
        const double kfs = r.SoucFiltrPruleh, f = r.SoucBezp;
        search(&ProjectRecord::ObjAkum, 3, ZeroDurations::Evaluate, [&](double t, double i) {
            return (e7() * (area + aRed) * i - kfs / 2 * area) * 60 * f * t;
        });
    }
    show(&ProjectRecord::ObjAkum, 3);

    if (!(r.InfilPlocha > 0))
        message(MessageIcon::Stop, kErrorTitle, text::kNoDrainedArea);
    else
        r.VyskaVzduti = fp::single(fp::div(r.ObjAkum, r.InfilPlocha));

    // The trench takes what the swale cannot hold, less the throttled outflow.
    {
        const double area = r.InfilPlocha, aRed = r.OdvodNepPlocha, kf = r.SoucFiltrace;
        const double f = r.SoucBezp, h = r.VyskaRyhy, b = r.SirkaRyhy;
        const double qo = r.ThrottledOutflow, se = r.EffectivePorosity, swale = r.ObjAkum;
        search(&ProjectRecord::DelkaRyhy, 3, ZeroDurations::Skip, [&](double t, double i) {
            const double seconds = t * 60 * f;
            const double numerator = e7() * (area + aRed) * i - qo - fp::div(swale, seconds);
            const double denominator = fp::div(h * b * se, seconds) + (h / 2 + b) * kf / 2;
            return fp::div(numerator, denominator);
        });
    }
    show(&ProjectRecord::DelkaRyhy, 3);

    r.SirkaPrulehu = r.SirkaRyhy;
    if (!(r.DelkaRyhy > 0)) {
        // No trench length, so no swale depth of this design: an emptying time
        // from a depth left over from an earlier design would mislead.
        blank(&ProjectRecord::DobaPrazdneni, 3);
        return;
    }
    r.HloubkaPrulehu =
        fp::single(fp::div(r.ObjAkum, static_cast<double>(r.DelkaRyhy) * r.SirkaRyhy));
    const float footprint = fp::single(static_cast<double>(r.DelkaRyhy) * r.SirkaRyhy);
    show(&ProjectRecord::HloubkaPrulehu, 3);
    show(&ProjectRecord::SirkaPrulehu, 3);
    if (footprint < r.InfilPlocha)
        message(MessageIcon::Information, kAppTitle,
                comparison(text::kAreaEnough, footprint, " < ", r.InfilPlocha, " )."));
    else
        message(MessageIcon::Exclamation, kAppTitle,
                comparison(text::kAreaShort, footprint, " > ", r.InfilPlocha, " )."));

    r.DobaPrazdneni =
        fp::single(fp::div(2.0 * r.HloubkaPrulehu, r.SoucFiltrPruleh) / 3600);
    show(&ProjectRecord::DobaPrazdneni, 3);
}

// Trench area: half the height of both sides plus the bottom, over the length.
void Work::trenchArea()
{
    r.InfilPlocha = fp::single((static_cast<double>(r.VyskaRyhy) / 2 + r.SirkaRyhy) * r.DelkaRyhy);
    show(&ProjectRecord::InfilPlocha, 4);
}

void Work::trenchCheck()
{
    r.ObjAkum = 0;
    if (!host.isOn(Switch::Drainage))
        r.EffectivePorosity = r.PorVyplne;

    const double aRed = r.OdvodNepPlocha, kf = r.SoucFiltrace, f = r.SoucBezp;
    const double h = r.VyskaRyhy, b = r.SirkaRyhy, se = r.EffectivePorosity;
    search(&ProjectRecord::DelkaRyhy, 4, ZeroDurations::Skip, [&](double t, double i) {
        const double denominator = fp::div(h * b * se, t * 60 * f) + (h / 2 + b) * kf / 2;
        return fp::div(e7() * aRed * i, denominator);
    });
    show(&ProjectRecord::DelkaRyhy, 4);

    r.ObjAkum = fp::single((e7() * aRed * r.SelIntDeste - (h / 2 + b) * r.DelkaRyhy * kf / 2) *
                           r.SelDTrvDeste * 60 * f);
    show(&ProjectRecord::ObjAkum, 4);

    r.OdtokDoInfil = fp::single(fp::tenTo(-4) * aRed * r.SelIntDeste);
    r.DrainCapacity = fp::single(static_cast<double>(r.VystupPlocha) / 10000 * r.PocetPotrubi *
                                 r.VystupRychlost * r.DelkaRyhy * 1000);
    calcTechnology();

    if (!host.isOn(Switch::Drainage))
        return;
    if (r.DrainCapacity < r.OdtokDoInfil)
        message(MessageIcon::Exclamation, kAppTitle,
                comparison(text::kDrainShort, r.DrainCapacity, " < ", r.OdtokDoInfil, " )"));
    else
        message(MessageIcon::Information, kAppTitle,
                comparison(text::kDrainOk, r.DrainCapacity, " > ", r.OdtokDoInfil, " )"));
}

void Work::shaftCalc()
{
    r.VyskaVzduti = 0;
    const double aRed = r.OdvodNepPlocha, kf = r.SoucFiltrace, f = r.SoucBezp;
    const double n = static_cast<float>(r.SachtyCount);
    const double outer = r.ShaftOuterDiameter, inner = r.PrumerSachtyVnit;
    const double pi = fp::kPiSingle;
    search(&ProjectRecord::VyskaVzduti, 5, ZeroDurations::Skip, [&](double t, double i) {
        const float inflow = fp::single(e7() * aRed * i);
        // The n shafts act as one shaft of n times the diameter.
        const float bottom = fp::single(fp::pow(n * outer, 2) * pi / 4);
        const float numerator = fp::single(inflow - bottom * kf / 2);
        // Storage per metre of height and second of rain, plus the walls'
        // infiltration per metre of height.
        const float denominator = fp::single(
            fp::div(fp::pow(n * inner, 2) * pi, t * 4 * 60 * f) + n * outer * pi * kf / 4);
        return fp::div(numerator, denominator);
    });
    show(&ProjectRecord::VyskaVzduti, 5);

    // Bottom plus the wetted wall over half the ponding height, the area the
    // height equation lets infiltrate at kf / 2.
    const double height = r.VyskaVzduti;
    r.InfilPlocha =
        fp::single(fp::pow(n * outer, 2) / 4 * pi + n * pi * outer * height / 2);
    show(&ProjectRecord::InfilPlocha, 5);

    double depth = static_cast<double>(r.NezamrzHlPritok) + r.VyskaVzduti + r.VyskaFiltrVrstvy;
    if (!host.isOn(Switch::FilterTypeA))
        depth += r.VyskaPiskVrstvy;
    r.HloubkaSachty = fp::single(depth);
    show(&ProjectRecord::HloubkaSachty, 5);

    r.PotrHloubkaZahl = fp::single(static_cast<double>(r.NezamrzHlPritok) + r.VyskaVzduti +
                                   r.MinPrusakDraha);
    show(&ProjectRecord::PotrHloubkaZahl, 5);
}

void Work::shaftCheck()
{
    const double kf = r.SoucFiltrace;
    r.ObjAkum = fp::single((e7() * r.OdvodNepPlocha * r.SelIntDeste - kf * r.InfilPlocha / 2) *
                           r.SelDTrvDeste * 60 * r.SoucBezp);
    show(&ProjectRecord::ObjAkum, 5);

    // What the subsoil takes through the outer bottom and the wetted wall must
    // pass the filter over the inner cross-section.
    const double outer = r.ShaftOuterDiameter, inner = r.PrumerSachtyVnit;
    r.SoucFiltrPruleh = fp::single(
        fp::div(fp::pow(outer, 2) + 2 * static_cast<double>(r.VyskaVzduti) * outer,
                fp::pow(inner, 2)) *
        kf);
    show(&ProjectRecord::SoucFiltrPruleh, 5);

    if (r.HPV != 0 && std::fabs(r.HPV) < r.PotrHloubkaZahl) {
        message(MessageIcon::Exclamation, kAppTitle, text::kGroundwater);
        return;
    }
    const float clearance = fp::single(static_cast<double>(r.HloubkaSachty) + 0.5);
    if (!(clearance > r.PotrHloubkaZahl)) {
        if (r.SoucFiltrPruleh <= kMaxFilterPermeability)
            message(MessageIcon::Information, kAppTitle, text::kFilterOk);
        else
            message(MessageIcon::Exclamation, kAppTitle, text::kFilterTooHigh);
    } else {
        message(MessageIcon::Exclamation, kAppTitle, text::kBottomTooLow);
    }
}

void Work::basinCheck()
{
    const double aRed = r.OdvodNepPlocha, f = r.SoucBezp;
    r.InfilTok = fp::single(e7() * (static_cast<double>(r.SpecInfilIntenz) * aRed));

    const double outflow = r.InfilTok;
    search(&ProjectRecord::ObjAkum, 6, ZeroDurations::Evaluate,
           [&](double t, double i) { return (e7() * aRed * i - outflow) * t * 60 * f; });

    const double length = r.DelkaDnaNadrz, width = r.SirkaDnaNadrz;
    const double depth = r.HloubkaNadrz, slope = r.SklonSvahuNadrz;
    r.BasinTopLength = fp::single((depth + depth) * slope + length);
    r.BasinTopWidth = fp::single((depth + depth) * slope + width);
    const double topLength = r.BasinTopLength, topWidth = r.BasinTopWidth;
    // Prismoid from the bottom and top areas.
    r.VypObjNadrz = fp::single(
        (fp::pow(topLength * length * width * topWidth, 0.5) + topWidth * topLength +
         width * length) *
        (depth / 3));

    show(&ProjectRecord::InfilTok, 6);
    show(&ProjectRecord::ObjAkum, 6);
    show(&ProjectRecord::VypObjNadrz, 6);

    if (r.VypObjNadrz < r.ObjAkum) {
        message(MessageIcon::Exclamation, kAppTitle, text::kBasinTooSmall);
        return;
    }
    message(MessageIcon::Information, kAppTitle, text::kBasinOk);

    // Without a settling stage the bottom clogs to a fifth of its permeability.
    const float kfe = host.isOn(Switch::Settling) ? r.SoucFiltrace
                                                         : fp::single(r.SoucFiltrace / 5.0);
    const float bottom = fp::single(width * length * kfe / 2);
    const float top = fp::single(topWidth * topLength * kfe / 2);
    const float average = fp::single((static_cast<double>(top) + bottom) / 2);
    if (average >= r.InfilTok)
        message(MessageIcon::Information, kAppTitle, text::kInfiltrationOk);
    else
        message(MessageIcon::Exclamation, kAppTitle, text::kInfiltrationShort);
}

void Work::computeButton(int index)
{
    std::string failed;
    auto check = [&failed](bool fails, const char* what) {
        if (fails) {
            failed += what;
            failed += "\r\n";
        }
    };
    switch (index) {
    case 3:
        check(notPositive(r.SoucFiltrPruleh), "Součinitel filtrace průlehu je menší nebo rovna nule.");
        check(notPositive(r.SoucBezp), "Součinitel bezpečnosti je menší nebo roven nule.");
        check(notPositive(r.PorVyplne), "Pórovitost výplně je menší nebo rovna nule.");
        check(notPositive(r.VyskaRyhy), "Výška rýhy je menší nebo rovna nule.");
        check(notPositive(r.SirkaRyhy), "Šířka rýhy je menší nebo rovna nule.");
        break;
    case 4:
        check(notPositive(r.VyskaRyhy), "Výška rýhy je menší nebo rovna nule.");
        check(notPositive(r.SirkaRyhy), "Šířka rýhy je menší nebo rovna nule.");
        check(notPositive(r.PorVyplne), "Pórovitost výplně je menší nebo rovna nule.");
        break;
    case 5:
        check(notPositive(r.SoucBezp), "Součinitel bezpečnosti je menší nebo roven nule.");
        check(notPositive(r.NezamrzHlPritok), "Nezámrzná hloubka přítoku je menší nebo rovna nule.");
        check(notPositive(r.VyskaFiltrVrstvy), "Výška filtrační vrstvy je menší nebo rovna nule.");
        check(notPositive(r.PrumerSachtyVnit), "Vnitřní průměr šachty je menší nebo rovna nule.");
        check(notPositive(r.ShaftOuterDiameter), "Vnější průměr šachty je menší nebo rovna nule.");
        check(notPositive(r.MinPrusakDraha), "Minimální průsaková dráha je menší nebo rovna nule.");
        if (host.isOn(Switch::FilterTypeB))
            check(notPositive(r.VyskaPiskVrstvy), "Výška pískové vrstvy je menší nebo rovna nule.");
        break;
    case 6:
        check(notPositive(r.SpecInfilIntenz),
              "Specifická infilovací intenzita je menší nebo rovna nule.");
        check(notPositive(r.DelkaDnaNadrz), "Délka dna nádrže je menší nebo rovna nule.");
        check(notPositive(r.SirkaDnaNadrz), "Šířka dna nádrže je menší nebo rovna nule.");
        check(notPositive(r.HloubkaNadrz), "Hloubka nádrže je menší nebo rovna nule.");
        check(!(r.SklonSvahuNadrz >= 0), "Sklon svahů nádrže je menší než nula.");
        break;
    default:
        return;
    }
    // A pipe panel still open has not computed its outflow and porosity yet;
    // sizing the trench now would use the values of an earlier panel.
    if (((index == 3 && host.isOn(Switch::Overflow)) || (index == 4 && host.isOn(Switch::Drainage))) &&
        host.isPipePanelOpen(index))
        check(true, text::kPipesNotConfirmed);

    if (!failed.empty()) {
        message(MessageIcon::Stop, kAppTitle, failed);
        return;
    }
    if (index == 5) {
        if (!(r.ShaftOuterDiameter > r.PrumerSachtyVnit)) {
            message(MessageIcon::Stop, kAppTitle, text::kShaftDiameters);
            return;
        }
        calcTechnology();
    }
    checkDesign();
}

} // namespace

std::span<const ShownResult> shownResults() { return kShownResults; }

const ShownResult* shownResult(float ProjectRecord::*field, int pane)
{
    for (const ShownResult& shown : kShownResults)
        if (shown.field == field && shown.pane == pane)
            return &shown;
    return nullptr;
}

std::string shownText(const ShownResult& result, float value)
{
    switch (result.shownAs) {
    case ShownAs::Fixed1: return num::fixed(value, 1);
    case ShownAs::Fixed2: return num::fixed(value, 2);
    case ShownAs::Scientific1: return num::scientific(value, 1);
    }
    return num::fixed(value, 2);
}

Engine::Engine(ProjectRecord& record, FormState& form, EngineHost& host)
    : r_(record), form_(form), host_(host)
{
}

// The window's handlers may call the engine again from inside a call (the
// design-mode option does); only the outermost call starts a new calculation.
class Engine::Call {
public:
    explicit Call(Engine& engine) : engine_(engine)
    {
        if (engine_.depth_++ == 0)
            engine_.searchedInCall_ = false;
    }
    ~Call() { --engine_.depth_; }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

private:
    Engine& engine_;
};

void Engine::Recorder::record(const SearchTrace& trace)
{
    SearchLog& log = engine_.searches_;
    if (!engine_.searchedInCall_) {
        engine_.searchedInCall_ = true;
        log.traces.clear();
        ++log.revision;
    }
    // A search run again within one calculation replaces its earlier trace.
    for (SearchTrace& kept : log.traces)
        if (kept.quantity == trace.quantity && kept.pane == trace.pane) {
            kept = trace;
            return;
        }
    log.traces.push_back(trace);
}

void Engine::CalcTechnology()
{
    Call call(*this);
    Work(r_, form_, host_, Recorder(*this)).calcTechnology();
}

void Engine::CheckDesign()
{
    Call call(*this);
    Work(r_, form_, host_, Recorder(*this)).checkDesign();
}

void Engine::ComputeButton(int index)
{
    Call call(*this);
    Work(r_, form_, host_, Recorder(*this)).computeButton(index);
}

} // namespace infil
