#pragma once
// The program's number conventions, in one place: decimal point ".", digit
// grouping by a blank " ", list separator ",". Nothing here consults the C or Qt
// locale, so a user's regional settings never change what is shown or read.
//
// Formatting a Single first takes its value as the 7 significant decimal digits
// it carries (a Double: 15), then rounds half away from zero. So the float
// nearest 2.675 shows as "2.68", as the user who typed 2.675 expects.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace infil::num {

// Fixed count of decimals with digit grouping: fixed(1234.5f, 1) == "1 234.5",
// fixed(-1234567.0, 2) == "-1 234 567.00". A value that rounds to zero shows
// without a sign.
std::string fixed(float value, int decimals);
std::string fixed(double value, int decimals);

// Scientific pattern with one digit before the point, `decimals` after it, "E",
// the exponent's sign and at least two exponent digits:
// scientific(0.00002f, 1) == "2.0E-05" (pattern "0.0E+00"),
// scientific(0.0000125, 2) == "1.25E-05" (pattern "0.00E+00").
std::string scientific(float value, int decimals);
std::string scientific(double value, int decimals);

// The plain text of a Single: shortest form with up to 7 significant digits, no
// grouping, exponent form outside 1E-04 .. 1E+07 (5 -> "5", 40.2 -> "40.2",
// 0.00001 -> "1E-05", 12345678 -> "1.234568E+07").
std::string plain(float value);

// The whole text converted under the conventions: optional blanks around it, a
// sign, digits with grouping blanks in the whole part, a decimal mark ("." or
// the "," a Czech user types) and a fraction, an exponent E or e with optional
// sign and at least one digit. nullopt when the text is not such a number ("1e",
// "1e-", "1,5,3", "abc", "").
std::optional<double> convert(std::string_view text);

// The value of a text: the number at its start, blanks anywhere ignored, "." or
// "," as decimal mark, an exponent taken only when complete ("2.5e-" gives 2.5,
// "12,5" gives 12.5); 0 when the text does not start with a number. May be
// infinite for an absurd exponent; callers assigning it check the range.
double valueOf(std::string_view text);

// What a typed text is.
struct Typed {
    enum class Kind {
        Empty,    // nothing but blanks
        Number,   // a whole number: `value`
        Prefix,   // the beginning of a number still being typed: "-", ".", "1e", "1E-", "0,"
        NotNumber // neither
    };
    Kind kind = Kind::Empty;
    double value = 0;           // Number: its value; otherwise the leading number's (0 if none)
    bool exponentBegun = false; // Prefix: it ends in an unfinished exponent
};
Typed classify(std::string_view text);

// Whether a double fits a Single (after rounding to the nearest float).
bool fitsSingle(double value);

// How an input box's text becomes its record field.
struct Reading {
    enum class Action {
        Store,      // set the field to `value`; the text stays
        Pending,    // not a number (yet): the text stays as typed, the field as it was
        OutOfRange  // a number beyond the field's range: text and field stay as they are
    };
    Action action = Action::Pending;
    double value = 0; // float or int16 value, exact in a double
};

// Rule R (number): empty -> 0; a number -> stored; beyond the Single range ->
// nothing changes; anything else (the beginning of a number being typed, or a
// typing error) waits as typed, so that typing never destroys a number. The
// box's owner speaks up if it is left that way.
Reading ruleR(std::string_view text);

// Rule K (filtration coefficient): as R, but a number whose exponent is still
// being typed ("1.5e-", "1E") stores its leading number meanwhile.
Reading ruleK(std::string_view text);

// Rule I (whole number): as R, rounded to the nearest 16-bit integer, ties to
// even; beyond -32768..32767 nothing changes.
Reading ruleI(std::string_view text);

// Rule P (plain): for read-only boxes set by the program; read as rule R.
Reading ruleP(std::string_view text);

// Acts on a reading, the one place that does: Store sets the field; Pending
// and OutOfRange leave it. Returns the reading's action.
template <typename Field>
Reading::Action apply(const Reading& reading, Field& field)
{
    if (reading.action == Reading::Action::Store)
        field = static_cast<Field>(reading.value);
    return reading.action;
}

} // namespace infil::num
