#pragma once
// The plausibility verdict of a design ("Posouzení návrhu"): the limits an
// infiltration design is checked against, each with its basis, and the check
// itself. It adds to the engine's messages and never contradicts them
// silently: where a message calls a design sufficient but a limit fails, the
// verdict says which.

#include "Engine.h"
#include "ProjectRecord.h"

#include <span>
#include <string>
#include <vector>

namespace infil::verdict {

// A limit the verdict applies, written once with where it comes from.
struct Limit {
    const char* name;  // what is limited
    double value;
    const char* unit;
    const char* basis; // the public source or the program's own page
};

namespace limits {
// Subsoil filtration coefficient within which infiltration is designed at all.
inline constexpr Limit kfLowest{"nejmenší součinitel filtrace podloží", 1e-6, "m/s",
                                "DWA-A 138 z roku 2005 a DWA-A 138-1 z roku 2024, tabulka použitelnosti"};
inline constexpr Limit kfHighest{"největší součinitel filtrace podloží", 1e-3, "m/s",
                                 "DWA-A 138 z roku 2005 a DWA-A 138-1 z roku 2024, tabulka použitelnosti"};
// Clearance between the facility's bottom and the groundwater level.
inline constexpr Limit groundwaterClearance{"odstup dna od hladiny podzemní vody", 1.0, "m",
                                            "DWA-A 138 a 138-1; popisy technologií v programu uvádějí alespoň 1 m"};
// Ponding depth of a swale, and the depth beyond which a swale is no swale.
inline constexpr Limit swaleDepth{"hloubka vody v průlehu", 0.3, "m",
                                  "DWA-A 138-1; popis průlehu v programu uvádí asi 0.3 m"};
inline constexpr Limit swaleDepthAbsurd{"hloubka průlehu, nad kterou nejde o průleh", 1.0, "m",
                                        "úsudek programu: hlubší mělká prohlubeň je nádrž"};
// Depth of an infiltration basin.
inline constexpr Limit basinDepth{"nejmenší hloubka vsakovací nádrže", 0.5, "m",
                                  "DWA-A 138-1, tabulka mezí podle převzatých údajů"};
// Emptying time of the storage.
inline constexpr Limit emptying{"doba prázdnění", 72, "h", "ČSN 75 9010"};
inline constexpr Limit emptyingSwalePractice{"doba prázdnění průlehu podle starší praxe", 24, "h",
                                             "starší praxe navrhování průlehů"};
// Permeability a shaft's filter fill can have.
inline constexpr Limit shaftFilter{"největší propustnost náplně filtru šachty", 1e-3, "m/s",
                                   "popis šachty v programu"};
// Safety factor.
inline constexpr Limit safetyLowest{"nejmenší součinitel bezpečnosti", 1.0, "-", "DWA-A 138, obvykle 1.2"};
} // namespace limits

// Every limit, for the documentation and the report.
std::span<const Limit> allLimits();

enum class Severity {
    Error,   // the design cannot work as entered
    Warning, // a limit is exceeded
    Note     // worth knowing
};
// "chyba", "varování", "poznámka"; in the batch mode "error", "warning", "note".
const char* severityName(Severity severity);
const char* severityCode(Severity severity);

struct Item {
    std::string code; // stable, for scripts: "rain.none", "kf.low" ...
    Severity severity = Severity::Note;
    std::string text;
    bool operator==(const Item&) const = default;
};

// What the verdict needs of the window beyond the record.
struct Context {
    int techIndex = 0;
    // The pane's results belong to the inputs shown (its Compute button was
    // pressed since they last changed); the surface and the swale always do.
    bool resultsCurrent = false;
    bool drainage = false; // the trench's drain is ticked
};

// The verdict of the selected technology's design; empty when none is selected.
std::vector<Item> assess(const ProjectRecord& r, const Context& context);

// "Výpočet nebyl proveden pro aktuální zadání": where results are missing.
inline constexpr const char* kNotComputed = "Výpočet nebyl proveden pro aktuální zadání";

} // namespace infil::verdict
