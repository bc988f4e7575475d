#pragma once
// Small formulas the main window and its panels apply to their inputs (inflow,
// shaft equivalent diameters, throttled outflow, effective porosity). Each
// evaluates in double from the stored floats and returns the float to store;
// a floating-point fault throws FloatFault.

namespace infil::formulas {

// Inflow Q = 10^-4 × A_red × i in l/s.
float inflowLps(float reducedArea, float intensity);

// Outer diameter of a round shaft: 2 × wall + inner.
float roundOuterDiameter(float wall, float inner);

// Diameter of the circle with the area of a rectangle: √(4 × w × l / π), π as a float.
float rectEquivalentDiameter(float width, float length);

// Outer equivalent diameter of a rectangular shaft: one wall added to each side,
// √((w + t) × 4 × (l + t) / π).
float rectOuterDiameter(float width, float length, float wall);

// Permitted throttled outflow in m³/s from the specific outflow in l/(s·ha):
// A_red / 10000 × q / 1000.
float throttledOutflow(float reducedArea, float specificOutflow);

// Storage coefficient of a trench cross-section with N pipes (diameters in mm):
// ((N × d_in² × (1 / s) − d_out² × N) × (π / 4) + b × h) × (s / (b × h)).
float effectivePorosity(float width, float height, float porosity, float pipes,
                        float innerDiameterMm, float outerDiameterMm);

} // namespace infil::formulas
