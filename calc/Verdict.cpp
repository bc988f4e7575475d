#include "Verdict.h"

#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace infil::verdict {
namespace {

using R = ProjectRecord;

constexpr Limit kAll[] = {limits::kfLowest,   limits::kfHighest,  limits::groundwaterClearance,
                          limits::swaleDepth, limits::swaleDepthAbsurd, limits::basinDepth,
                          limits::emptying,   limits::emptyingSwalePractice, limits::shaftFilter,
                          limits::safetyLowest};

// A value with as many digits as it needs to be told from zero: two decimals,
// or the significant digits of a smaller value ("0.0042", "4.2E-05").
std::string amount(double value, const char* unit)
{
    const float v = static_cast<float>(value);
    std::string text = std::fabs(value) >= 0.01 || value == 0 ? num::fixed(v, 2) : num::plain(v);
    if (unit && *unit && std::string_view(unit) != "-")
        text += std::string(" ") + unit;
    return text;
}

std::string coefficient(double value) { return num::scientific(static_cast<float>(value), 1) + " m/s"; }

std::string makeLimitText(const Limit& limit)
{
    const bool tiny = limit.value < 0.01;
    return (tiny ? num::scientific(static_cast<float>(limit.value), 1) : num::plain(static_cast<float>(limit.value))) +
           (std::string_view(limit.unit) == "-" ? "" : std::string(" ") + limit.unit);
}

// The limits are constants: their texts are made once (the verdict runs after
// every action). A limit is known by its name's address.
std::string limitText(const Limit& limit)
{
    static const auto texts = [] {
        std::vector<std::pair<const char*, std::string>> made;
        for (const Limit& known : kAll)
            made.emplace_back(known.name, makeLimitText(known));
        return made;
    }();
    for (const auto& [name, text] : texts)
        if (name == limit.name)
            return text;
    return makeLimitText(limit);
}

// The parts of a message in one string, allocated once.
std::string join(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    std::string text;
    text.reserve(size);
    for (const std::string_view part : parts)
        text += part;
    return text;
}

// Whether a result may show as zero in its box: below half its last place,
// with room for the rounding to 7 digits before; the exponent pattern shows
// every value but zero as a number that is not zero.
bool mayShowAsZero(const ShownResult& shown, float value)
{
    switch (shown.shownAs) {
    case ShownAs::Fixed1: return std::fabs(value) < 0.06f;
    case ShownAs::Fixed2: return std::fabs(value) < 0.006f;
    case ShownAs::Scientific1: return false;
    }
    return std::fabs(value) < 1;
}

// Comparisons at the precision the record holds: a coefficient typed as
// 1.0E-03 is the float nearest it, which must not count as above 1.0E-03.
bool above(double value, const Limit& limit) { return static_cast<float>(value) > static_cast<float>(limit.value); }
bool below(double value, const Limit& limit) { return static_cast<float>(value) < static_cast<float>(limit.value); }

class Assessment {
public:
    Assessment(const ProjectRecord& r, const Context& c) : r(r), c(c) {}

    std::vector<Item> run()
    {
        if (c.techIndex < 1 || c.techIndex > 6)
            return {};
        items.reserve(4); // rarely more
        const bool inputsMissing = checkInputs();
        if (!c.resultsCurrent) {
            add("results.missing", Severity::Warning, join({kNotComputed, "; stiskněte tlačítko „Výpočti“."}));
            return std::move(items);
        }
        if (inputsMissing)
            return std::move(items);
        switch (c.techIndex) {
        case 1: surface(); break;
        case 2: swale(); break;
        case 3: combined(); break;
        case 4: trench(); break;
        case 5: shaft(); break;
        case 6: basin(); break;
        default: break;
        }
        hiddenZeros();
        return std::move(items);
    }

private:
    const ProjectRecord& r;
    const Context& c;
    std::vector<Item> items;

    void add(const char* code, Severity severity, std::string text)
    {
        items.push_back({code, severity, std::move(text)});
    }

    // The inputs every design needs; true when one is missing.
    bool checkInputs()
    {
        bool missing = false;
        // The surface is sized for the selected rain; the others search the series.
        float heaviest = c.techIndex == 1 ? r.SelIntDeste : 0.0f;
        if (c.techIndex != 1)
            for (int k = 1; k <= 9; ++k)
                heaviest = std::max(heaviest, r.RainIntensities[k]);
        if (!(heaviest > 0)) {
            add("rain.none", Severity::Error, "Není zadán návrhový déšť: všechny intenzity deště jsou nulové.");
            missing = true;
        }
        if (!(r.OdvodNepPlocha > 0)) {
            add("area.none", Severity::Error, "Není zadána odvodňovaná plocha.");
            missing = true;
        }
        const double kf = r.SoucFiltrace;
        if (!(kf > 0)) {
            add("kf.none", Severity::Error, "Není zadán součinitel filtrace podloží.");
            missing = true;
        } else if (below(kf, limits::kfLowest)) {
            add("kf.low", Severity::Warning,
                join({"Součinitel filtrace podloží ", coefficient(kf), " je menší než ", limitText(limits::kfLowest),
                      ": podloží vodu nevsákne v rozumné době a je třeba jiný odtok (", limits::kfLowest.basis, ")."}));
        } else if (above(kf, limits::kfHighest)) {
            add("kf.high", Severity::Warning,
                join({"Součinitel filtrace podloží ", coefficient(kf), " je větší než ", limitText(limits::kfHighest),
                      ": voda projde podložím příliš rychle a nestačí se vyčistit (", limits::kfHighest.basis, ")."}));
        }
        if (c.techIndex >= 2 && !(r.SoucBezp > 0))
            add("safety.none", Severity::Error, "Není zadán součinitel bezpečnosti.");
        else if (c.techIndex >= 2 && below(r.SoucBezp, limits::safetyLowest))
            add("safety.low", Severity::Warning,
                join({"Součinitel bezpečnosti ", amount(r.SoucBezp, "-"),
                      " je menší než 1: návrh počítá s menším deštěm, než je návrhový (", limits::safetyLowest.basis,
                      ")."}));
        return missing;
    }

    // The facility's bottom `bottom` m below the terrain against the
    // groundwater level, when one is entered.
    void clearance(double bottom)
    {
        if (r.HPV == 0)
            return;
        const double level = std::fabs(r.HPV);
        const double gap = level - bottom;
        if (below(gap, limits::groundwaterClearance))
            add("groundwater.clearance", Severity::Warning,
                join({"Dno zařízení leží asi ", amount(bottom, "m"), " pod terénem a hladina podzemní vody ",
                      amount(level, "m"), ": odstup ", amount(gap, "m"), " je menší než ",
                      limitText(limits::groundwaterClearance), " (", limits::groundwaterClearance.basis, ")."}));
    }

    void emptying(double hours, bool swalePractice)
    {
        if (above(hours, limits::emptying))
            add("emptying.long", Severity::Warning,
                join({"Doba prázdnění ", amount(hours, "h"), " překračuje ", limitText(limits::emptying), " (",
                      limits::emptying.basis, ")."}));
        else if (swalePractice && above(hours, limits::emptyingSwalePractice))
            add("emptying.practice", Severity::Note,
                join({"Doba prázdnění ", amount(hours, "h"), " je delší než ", limitText(limits::emptyingSwalePractice),
                      ", se kterými počítá ", limits::emptyingSwalePractice.basis, "; mez ",
                      limitText(limits::emptying), " (", limits::emptying.basis, ") splňuje."}));
    }

    void swaleDepth(double depth, const char* sufficientMessage)
    {
        std::string contradiction;
        if (sufficientMessage)
            contradiction = join({" Hlášení „", sufficientMessage, "“ porovnává jen plochy, hloubku ne."});
        if (above(depth, limits::swaleDepthAbsurd))
            add("swale.depth", Severity::Error,
                join({"Hloubka vody v průlehu ", amount(depth, "m"), " je nereálná: průleh je mělká prohlubeň, nad ",
                      limitText(limits::swaleDepthAbsurd),
                      " už nejde o průleh. Zvětšete rýhu nebo plochu průlehu.", contradiction}));
        else if (above(depth, limits::swaleDepth))
            add("swale.depth", Severity::Warning,
                join({"Hloubka vody v průlehu ", amount(depth, "m"), " překračuje ", limitText(limits::swaleDepth),
                      " (", limits::swaleDepth.basis, ").", contradiction}));
    }

    void surface()
    {
        if (!(r.InfilPlocha > 0))
            add("surface.impossible", Severity::Error,
                "Potřebná plocha vychází " + amount(r.InfilPlocha, "m²") +
                    ": podloží nevsákne ani déšť dopadající na samotnou vsakovací plochu (součinitel filtrace je "
                    "menší než dvojnásobek intenzity deště). Plošné infilování zde navrhnout nelze.");
        else
            clearance(0);
    }

    void swale()
    {
        swaleDepth(r.VyskaVzduti, nullptr);
        if (r.SoucFiltrace > 0)
            emptying(r.DobaPrazdneni, true);
        clearance(std::max(0.0f, r.VyskaVzduti));
    }

    void combined()
    {
        if (!(r.DelkaRyhy > 0)) {
            add("trench.length", Severity::Warning,
                "Délka rýhy vychází " + amount(r.DelkaRyhy, "m") +
                    ": průleh se škrceným odtokem pojme vše sám, nebo zadání rýhy nedává smysl. Hloubka a doba "
                    "prázdnění průlehu se pro tento návrh nepočítají.");
            return;
        }
        const bool sufficient = static_cast<double>(r.DelkaRyhy) * r.SirkaRyhy < r.InfilPlocha;
        swaleDepth(r.HloubkaPrulehu, sufficient ? "Navržená infilovací plocha je dostatečná" : nullptr);
        emptying(r.DobaPrazdneni, true);
        clearance(std::max(0.0f, r.HloubkaPrulehu) + static_cast<double>(r.VyskaRyhy));
    }

    void trench()
    {
        if (!(r.DelkaRyhy > 0)) {
            add("trench.length", Severity::Error,
                "Délka rýhy vychází " + amount(r.DelkaRyhy, "m") +
                    ": rýha tak, jak je zadána, vodu nepojme ani nevsákne.");
            return;
        }
        if (c.drainage && r.DrainCapacity < r.OdtokDoInfil)
            add("drain.capacity", Severity::Warning,
                join({"Drenáž odvede ", amount(r.DrainCapacity, "l/s"), ", méně než přitéká (",
                      amount(r.OdtokDoInfil, "l/s"), "); podmínka výstupního odtoku není splněna."}));
        clearance(r.VyskaRyhy);
    }

    void shaft()
    {
        if (!(r.VyskaVzduti > 0))
            add("shaft.storage", Severity::Note,
                "Výška vzdutí vychází " + amount(r.VyskaVzduti, "m") +
                    ": podloží vsákne přítok i bez akumulace v šachtě.");
        if (r.HPV != 0 && std::fabs(r.HPV) < r.PotrHloubkaZahl)
            add("groundwater.shaft", Severity::Error,
                join({"Hladina podzemní vody v hloubce ", amount(std::fabs(r.HPV), "m"),
                      " je výš, než dovoluje minimální hloubka ", amount(r.PotrHloubkaZahl, "m"),
                      " (přítok, vzdutí a minimální průsaková dráha)."}));
        if (above(r.SoucFiltrPruleh, limits::shaftFilter))
            add("shaft.filter", Severity::Warning,
                join({"Potřebná propustnost náplně filtru ", coefficient(r.SoucFiltrPruleh), " je větší než ",
                      limitText(limits::shaftFilter), " (", limits::shaftFilter.basis, ")."}));
    }

    void basin()
    {
        if (below(r.HloubkaNadrz, limits::basinDepth))
            add("basin.depth", Severity::Warning,
                join({"Hloubka nádrže ", amount(r.HloubkaNadrz, "m"), " je menší než ", limitText(limits::basinDepth),
                      " (", limits::basinDepth.basis, ")."}));
        if (r.VypObjNadrz < r.ObjAkum)
            add("basin.volume", Severity::Error,
                join({"Objem nádrže ", amount(r.VypObjNadrz, "m³"), " je menší než potřebný objem akumulace ",
                      amount(r.ObjAkum, "m³"), "."}));
        if (r.InfilTok > 0 && r.ObjAkum > 0)
            emptying(static_cast<double>(r.ObjAkum) / r.InfilTok / 3600, false);
        clearance(r.HloubkaNadrz);
    }

    // A result the window shows as zero although it is not.
    void hiddenZeros()
    {
        for (const ShownResult& shown : shownResults()) {
            if (shown.pane != c.techIndex)
                continue;
            const float value = r.*shown.field;
            // Formatting runs after every action: only the values that may round
            // to zero pay for it.
            if (!mayShowAsZero(shown, value))
                continue;
            const std::string text = shownText(shown, value);
            const auto read = num::convert(text);
            if (value != 0 && std::isfinite(value) && read && *read == 0)
                add("result.hidden", Severity::Note,
                    join({shown.caption, " je ", amount(value, shown.unit), ", v poli se zobrazuje jako ", text, "."}));
        }
    }
};

} // namespace

std::span<const Limit> allLimits() { return kAll; }

const char* severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error: return "chyba";
    case Severity::Warning: return "varování";
    case Severity::Note: return "poznámka";
    }
    return "";
}

const char* severityCode(Severity severity)
{
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
    }
    return "";
}

std::vector<Item> assess(const ProjectRecord& r, const Context& context)
{
    return Assessment(r, context).run();
}

} // namespace infil::verdict
