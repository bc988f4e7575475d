#pragma once
// Floating-point faults. The formulas were designed for a run time that stops a
// calculation on division by zero, on 0/0 and similar invalid operations, and on
// a result too large for the Single it is assigned to. C++ does not trap, so
// every formula goes through these helpers: they evaluate in double, round to
// float on assignment, and throw FloatFault where the calculation must stop.
// Whatever was assigned before the fault keeps its new value.

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace infil {

class FloatFault : public std::runtime_error {
public:
    enum class Kind { DivisionByZero, Overflow, InvalidOperation };

    explicit FloatFault(Kind kind) : std::runtime_error(describe(kind)), kind_(kind) {}
    Kind kind() const { return kind_; }

    // Czech wording for the message box that reports an uncaught fault.
    static std::string describe(Kind kind)
    {
        switch (kind) {
        case Kind::DivisionByZero: return "dělení nulou";
        case Kind::Overflow: return "výsledek je mimo rozsah čísel";
        case Kind::InvalidOperation: return "neplatná početní operace";
        }
        return "chyba výpočtu";
    }

private:
    Kind kind_;
};

namespace fp {

// Checks an intermediate result: NaN is an invalid operation, infinity overflow.
inline double checked(double x)
{
    if (std::isnan(x))
        throw FloatFault(FloatFault::Kind::InvalidOperation);
    if (std::isinf(x))
        throw FloatFault(FloatFault::Kind::Overflow);
    return x;
}

// a / b; 0 / 0 counts as overflow, as the original run time reported it.
inline double div(double a, double b)
{
    if (b == 0)
        throw FloatFault(a == 0 || std::isnan(a) ? FloatFault::Kind::Overflow
                                                 : FloatFault::Kind::DivisionByZero);
    return checked(a / b);
}

// Power in double precision; a negative base with a fractional exponent is invalid.
inline double pow(double base, double exponent)
{
    if (base == 0 && exponent < 0)
        throw FloatFault(FloatFault::Kind::DivisionByZero);
    return checked(std::pow(base, exponent));
}

inline double tenTo(int exponent) { return std::pow(10.0, exponent); }

// Rounds a double result to the Single it is assigned to.
inline float single(double x)
{
    checked(x);
    const float f = static_cast<float>(x);
    if (std::isinf(f))
        throw FloatFault(FloatFault::Kind::Overflow);
    return f;
}

// π as a 4-byte float, the constant several formulas are specified with.
inline constexpr double kPiSingle = static_cast<double>(3.14159265358979323846f);

} // namespace fp
} // namespace infil
