#pragma once
// The built-in engineering tables (runoff coefficients, technologies, rain
// durations and periodicities, rain stations, soils, precast shaft products) and
// the record's non-zero defaults.

#include "ProjectRecord.h"

#include <cstdint>

namespace infil {

// The record's non-zero scalar defaults; the main window shows some of them
// from the start (the safety coefficients, the porosity of the combined
// object's trench, the pipe and shaft counts, the seepage path).
namespace defaults {
inline constexpr float SoucBezp = 1.2f;
inline constexpr float PorVyplne = 0.35f;
inline constexpr float PocetPotrubi = 1;
inline constexpr float MinPrusakDraha = 1.5f;
inline constexpr std::int16_t SachtyCount = 1;
} // namespace defaults

// Fills every reference table of the record and sets the five scalar defaults
// above. Other fields are left as they are.
void InitReferenceTables(ProjectRecord& r);

// A record holding nothing but what InitReferenceTables sets, made once: for
// readers that only look up stations and periodicities.
const ProjectRecord& referenceTables();

// Gives the three drained-area lists their single empty slot (0, 0, "").
void InitSubAreaLists(ProjectRecord& r);

} // namespace infil
