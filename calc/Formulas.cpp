#include "Formulas.h"

#include "FloatOps.h"

namespace infil::formulas {

float inflowLps(float reducedArea, float intensity)
{
    return fp::single(fp::tenTo(-4) * reducedArea * intensity);
}

float roundOuterDiameter(float wall, float inner)
{
    return fp::single(2.0 * wall + inner);
}

float rectEquivalentDiameter(float width, float length)
{
    return fp::single(fp::pow(fp::div(4.0 * width * length, fp::kPiSingle), 0.5));
}

float rectOuterDiameter(float width, float length, float wall)
{
    const double w = static_cast<double>(width) + wall;
    const double l = static_cast<double>(length) + wall;
    return fp::single(fp::pow(fp::div(w * 4.0 * l, fp::kPiSingle), 0.5));
}

float throttledOutflow(float reducedArea, float specificOutflow)
{
    return fp::single(static_cast<double>(reducedArea) / 10000.0 * specificOutflow / 1000.0);
}

float effectivePorosity(float width, float height, float porosity, float pipes,
                        float innerDiameterMm, float outerDiameterMm)
{
    const double b = width, h = height, s = porosity, n = pipes;
    const double dIn = static_cast<double>(innerDiameterMm) / 1000.0;
    const double dOut = static_cast<double>(outerDiameterMm) / 1000.0;
    // The factor s / (b × h) is evaluated first, as the original did: a zero
    // cross-section faults before anything else.
    const double factor = fp::div(s, b * h);
    const double pipesArea =
        (n * fp::pow(dIn, 2) * fp::div(1.0, s) - fp::pow(dOut, 2) * n) * (fp::kPiSingle / 4.0);
    return fp::single((pipesArea + b * h) * factor);
}

} // namespace infil::formulas
