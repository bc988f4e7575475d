#include "Diagrams.h"

#include "Engine.h"
#include "NumberFormat.h"
#include "Verdict.h"

#include <algorithm>
#include <cmath>

namespace infil::report {
namespace {

using R = ProjectRecord;
using State = SearchCandidate::State;

// The searches each technology runs, in the order it runs them, with the
// short name of the quantity for the value axis (the title names it in full).
struct Searched {
    int pane;
    float ProjectRecord::*field;
    const char* key;
    const char* axis;
};
constexpr Searched kSearched[] = {
    {2, &R::ObjAkum, "objem", "Objem"},          {3, &R::ObjAkum, "objem", "Objem"},
    {3, &R::DelkaRyhy, "delka", "Délka"},        {4, &R::DelkaRyhy, "delka", "Délka"},
    {5, &R::VyskaVzduti, "vzduti", "Výška vzdutí"}, {6, &R::ObjAkum, "objem", "Objem"},
};

constexpr const char* kDurationTitle = "Doba trvání deště (min)";
constexpr const char* kNoRain = "Návrhový déšť není zadán: žádná z devíti intenzit není kladná.";

std::string minutes(float duration) { return num::plain(duration) + " min"; }

bool anyRain(const ProjectRecord& r)
{
    for (int k = 1; k <= 9; ++k)
        if (r.RainIntensities[k] > 0)
            return true;
    return false;
}

// Axes over the points, always with 0 in them: a design's values are read
// against zero, and negative candidates show as such.
void fitAxes(Diagram& d, const char* yTitle)
{
    double xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
    for (const DiagramPoint& p : d.points) {
        xLow = std::min(xLow, p.x);
        xHigh = std::max(xHigh, p.x);
        yLow = std::min(yLow, p.y);
        yHigh = std::max(yHigh, p.y);
    }
    d.x = RoundAxis(kDurationTitle, xLow, xHigh);
    d.y = RoundAxis(yTitle, yLow, yHigh);
}

Diagram searchDiagram(const ProjectRecord& r, const DiagramSource& source, const Searched& searched)
{
    const ShownResult* shown = shownResult(searched.field, searched.pane);
    Diagram d;
    d.key = searched.key;
    d.title = std::string(shown->caption) + " podle doby trvání deště";
    const SearchTrace* trace = nullptr;
    for (const SearchTrace& t : source.searches)
        if (t.quantity == searched.field && t.pane == searched.pane)
            trace = &t;

    if (trace && trace->fault) {
        const int at = trace->faultedAt();
        d.message = "Výpočet byl přerušen při době trvání " +
                    minutes(trace->candidates[static_cast<std::size_t>(at)].duration) + " (" +
                    FloatFault::describe(*trace->fault) +
                    "), rozhodující doba trvání deště nebyla určena.";
        return d;
    }
    if (!trace || !source.resultsCurrent) {
        d.message = std::string(verdict::kNotComputed) + ".";
        return d;
    }
    if (!anyRain(r)) {
        d.message = kNoRain;
        return d;
    }

    const std::string unit = shown->unit;
    std::vector<std::string> skipped;
    int largest = -1;
    for (const SearchCandidate& c : trace->candidates) {
        if (c.state == State::Skipped)
            skipped.push_back(num::plain(c.duration));
        if (c.state != State::Evaluated)
            continue;
        if (trace->governing >= 0 && &c == &trace->candidates[static_cast<std::size_t>(trace->governing)])
            d.marked = static_cast<int>(d.points.size());
        if (largest < 0 || c.value > d.points[static_cast<std::size_t>(largest)].y)
            largest = static_cast<int>(d.points.size());
        d.points.push_back({c.duration, c.value});
    }
    if (d.points.empty()) {
        d.message = "Žádná doba trvání deště není kladná, hledání je všechny vynechalo.";
        return d;
    }
    if (d.marked < 0) {
        const DiagramPoint& p = d.points[static_cast<std::size_t>(largest)];
        d.message = "Žádná doba trvání deště nedává kladnou hodnotu (největší je " +
                    shownText(*shown, static_cast<float>(p.y)) + " " + unit + " při " +
                    minutes(static_cast<float>(p.x)) + "), výsledek je 0.";
        d.points.clear();
        return d;
    }
    const DiagramPoint& g = d.points[static_cast<std::size_t>(d.marked)];
    d.markLabel = shownText(*shown, static_cast<float>(g.y)) + " " + unit + " při " +
                  minutes(static_cast<float>(g.x));
    if (!skipped.empty()) {
        d.note = "Vynechané doby trvání (nejsou kladné):";
        for (const std::string& t : skipped)
            d.note += " " + t;
        d.note += " min";
    }
    fitAxes(d, (std::string(searched.axis) + " (" + unit + ")").c_str());
    return d;
}

Diagram rainDiagram(const ProjectRecord& r, const DiagramSource& source)
{
    Diagram d;
    d.key = "dest";
    d.title = "Návrhový déšť: intenzita podle doby trvání";
    if (!anyRain(r)) {
        d.message = kNoRain;
        return d;
    }
    for (int k = 1; k <= 9; ++k)
        d.points.push_back({r.RainDurations[k], r.RainIntensities[k]});
    // The design rain: what the last search chose, when its results stand; the
    // surface uses the rain the user chose, when it is one of the series.
    if (source.techIndex == 1) {
        for (int k = 1; k <= 9 && d.marked < 0; ++k)
            if (r.SelDTrvDeste > 0 && r.RainDurations[k] == r.SelDTrvDeste &&
                r.RainIntensities[k] == r.SelIntDeste)
                d.marked = k - 1;
    } else if (source.resultsCurrent) {
        for (const SearchTrace& t : source.searches)
            if (!t.fault && t.governing >= 0)
                d.marked = t.governing;
    }
    if (d.marked >= 0) {
        const DiagramPoint& g = d.points[static_cast<std::size_t>(d.marked)];
        d.markLabel = num::plain(static_cast<float>(g.y)) + " l/(s·ha) při " +
                      minutes(static_cast<float>(g.x));
    }
    fitAxes(d, "Intenzita (l/(s·ha))");
    return d;
}

} // namespace

DiagramAxis RoundAxis(std::string title, double low, double high)
{
    DiagramAxis axis;
    axis.title = std::move(title);
    if (!std::isfinite(low) || !std::isfinite(high) || !(high > low)) {
        low = std::isfinite(low) ? low : 0;
        high = low + 1;
    }
    const double raw = (high - low) / 5;
    const int power = static_cast<int>(std::floor(std::log10(raw)));
    const double magnitude = std::pow(10.0, power);
    const double norm = raw / magnitude;
    const int factor = norm < 1.5 ? 1 : norm < 3 ? 2 : norm < 7 ? 5 : 10;
    const double step = factor * magnitude;
    // Ticks are whole multiples of the step, computed afresh each, so no
    // error adds up along the axis.
    const long long first = static_cast<long long>(std::floor(low / step + 1e-9));
    const long long last = static_cast<long long>(std::ceil(high / step - 1e-9));
    const int decimals = std::max(0, factor == 10 ? -power - 1 : -power);
    axis.min = static_cast<double>(first) * step;
    axis.max = static_cast<double>(last) * step;
    for (long long k = first; k <= last; ++k) {
        const double value = static_cast<double>(k) * step;
        axis.ticks.push_back({value, num::fixed(value, decimals)});
    }
    return axis;
}

std::vector<Diagram> DesignDiagrams(const ProjectRecord& r, const DiagramSource& source)
{
    std::vector<Diagram> diagrams;
    if (source.techIndex < 1 || source.techIndex > 6) {
        Diagram none;
        none.key = "hledani";
        none.title = "Hledání rozhodující doby trvání deště";
        none.message = "Není vybrána technologie.";
        diagrams.push_back(none);
        return diagrams;
    }
    if (source.techIndex == 1) {
        Diagram surface;
        surface.key = "hledani";
        surface.title = "Hledání rozhodující doby trvání deště";
        surface.message = "Plošné infilování rozhodující dobu trvání deště nehledá: plocha se počítá "
                          "z intenzity návrhového deště.";
        diagrams.push_back(surface);
    }
    for (const Searched& searched : kSearched)
        if (searched.pane == source.techIndex)
            diagrams.push_back(searchDiagram(r, source, searched));
    diagrams.push_back(rainDiagram(r, source));
    return diagrams;
}

} // namespace infil::report
