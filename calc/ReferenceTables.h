#pragma once
// The built-in engineering tables (runoff coefficients, technologies, rain
// durations and periodicities, rain stations, soils, precast shaft products) and
// the record's non-zero defaults.

#include "ProjectRecord.h"

namespace infil {

// Fills every reference table of the record and sets the five scalar defaults
// (SoucBezp 1.2, PorVyplne 0.35, PocetPotrubi 1, MinPrusakDraha 1.5,
// SachtyCount 1). Other fields are left as they are.
void InitReferenceTables(ProjectRecord& r);

// Gives the three drained-area lists their single empty slot (0, 0, "").
void InitSubAreaLists(ProjectRecord& r);

} // namespace infil
