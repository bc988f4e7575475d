#pragma once
// The diagrams of a design: for every governing-rain search of the selected
// technology the candidates against the rain duration with the governing one
// marked, and the design rain series i(t). What a diagram shows, its axes and
// ticks and its texts are decided here, without Qt; the Qt side only paints
// (report/ui/DiagramPainter), in the window and into the report's pictures
// alike. A diagram with nothing to draw carries the words that say why.

#include "ProjectRecord.h"
#include "SearchTrace.h"

#include <string>
#include <vector>

namespace infil::report {

struct DiagramTick {
    double value = 0;
    std::string label; // in the program's number format
};

struct DiagramAxis {
    std::string title; // with its unit: "Doba trvání deště (min)"
    double min = 0;
    double max = 1;
    std::vector<DiagramTick> ticks; // from min to max, both included
};

struct DiagramPoint {
    double x = 0; // duration, min
    double y = 0;
};

struct Diagram {
    // A short ASCII name for the picture's file ("delka", "dest" ...).
    std::string key;
    std::string title;
    // What stands in the diagram's place when there is nothing to draw; empty
    // when there is.
    std::string message;
    DiagramAxis x;
    DiagramAxis y;
    std::vector<DiagramPoint> points; // in the order of the rain series
    int marked = -1;                  // the governing (design) point, -1 for none
    std::string markLabel;            // "89.8 m při 15 min"
    std::string note;                 // a line under the title, may be empty

    bool drawable() const { return message.empty(); }
};

// What the diagrams are drawn from.
struct DiagramSource {
    int techIndex = 0;
    // The results shown belong to the inputs shown.
    bool resultsCurrent = false;
    // The engine's searches for these results; empty when they were not run
    // for the inputs shown.
    std::vector<SearchTrace> searches;
};

// The diagrams of the design: one per search the technology runs (none for
// the surface, which searches nothing, but a diagram saying so), then the rain.
std::vector<Diagram> DesignDiagrams(const ProjectRecord& r, const DiagramSource& source);

// An axis from `low` to `high` widened to round ticks (1, 2 or 5 times a power
// of ten apart, some five of them); 0 to 1 when the range is empty.
DiagramAxis RoundAxis(std::string title, double low, double high);

} // namespace infil::report
