#include "NumberFormat.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace infil::num {
namespace {

// A finite value as decimal digits: value = 0.d1 d2 d3 ... × 10^(point), i.e.
// `point` digits stand before the decimal point (negative: leading zeros after it).
struct Decimal {
    bool negative = false;
    std::string digits; // no leading zeros; empty for zero
    int point = 0;
};

Decimal toDecimal(double value, int significant)
{
    Decimal d;
    if (value == 0 || !std::isfinite(value))
        return d;
    d.negative = value < 0;
    // to_chars, unlike printf, never writes the locale's decimal comma (the Qt
    // program runs under the user's locale).
    char buf[64];
    const auto written =
        std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value), std::chars_format::scientific, significant - 1);
    *written.ptr = '\0';
    // buf: "d.ddddde±XX"
    std::string_view s(buf, static_cast<std::size_t>(written.ptr - buf));
    const auto e = s.find('e');
    for (char c : s.substr(0, e))
        if (c != '.')
            d.digits.push_back(c);
    const int exp10 = std::atoi(buf + e + 1);
    d.point = exp10 + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Adds one to a string of decimal digits; returns true when it grew a digit.
bool incrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it == '9') {
            *it = '0';
        } else {
            ++*it;
            return false;
        }
    }
    digits.insert(digits.begin(), '1');
    return true;
}

// The digits of |value| rounded half away from zero to `decimals` places, as
// (whole part, fraction part) strings.
std::pair<std::string, std::string> roundFixed(const Decimal& d, int decimals)
{
    // Digits kept: those worth at least 10^-decimals.
    const int keep = d.point + decimals;
    std::string kept;
    bool up = false;
    if (keep < 0) {
        up = false;
    } else {
        for (int i = 0; i < keep; ++i)
            kept.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0');
        up = keep < static_cast<int>(d.digits.size()) && d.digits[keep] >= '5';
    }
    if (kept.empty())
        kept = "0";
    if (up)
        incrementDigits(kept);
    // kept now holds the rounded value × 10^decimals.
    if (static_cast<int>(kept.size()) <= decimals)
        kept.insert(0, static_cast<std::size_t>(decimals - static_cast<int>(kept.size()) + 1), '0');
    std::string whole = kept.substr(0, kept.size() - static_cast<std::size_t>(decimals));
    std::string fraction = kept.substr(kept.size() - static_cast<std::size_t>(decimals));
    const auto firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
    return {whole, fraction};
}

std::string groupThousands(const std::string& whole)
{
    std::string out;
    const int n = static_cast<int>(whole.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out.push_back(' ');
        out.push_back(whole[static_cast<std::size_t>(i)]);
    }
    return out;
}

// What a value that is no number shows as.
std::string nonFinite(double value)
{
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-Inf" : "Inf";
}

std::string formatFixed(double value, int significant, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = toDecimal(value, significant);
    auto [whole, fraction] = roundFixed(d, decimals);
    const bool zero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
    std::string out = (d.negative && !zero) ? "-" : "";
    out += groupThousands(whole);
    if (decimals > 0)
        out += "." + fraction;
    return out;
}

std::string formatScientific(double value, int significant, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = toDecimal(value, significant);
    std::string mantissa;
    int exponent = 0;
    if (d.digits.empty()) {
        mantissa.assign(static_cast<std::size_t>(decimals + 1), '0');
    } else {
        const int keep = decimals + 1;
        for (int i = 0; i < keep; ++i)
            mantissa.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0');
        exponent = d.point - 1;
        if (keep < static_cast<int>(d.digits.size()) && d.digits[keep] >= '5') {
            if (incrementDigits(mantissa)) { // 9.96 -> 10.0: one more place
                mantissa.pop_back();
                ++exponent;
            }
        }
    }
    std::string out = d.negative ? "-" : "";
    out += mantissa.substr(0, 1);
    if (decimals > 0)
        out += "." + mantissa.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    const int absExp = std::abs(exponent);
    if (absExp < 10)
        out += '0';
    out += std::to_string(absExp);
    return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of a grouping blank at s[i]: " ", or the no-break spaces a pasted
// Czech number carries (U+00A0, U+202F); 0 if none.
std::size_t groupBlankAt(std::string_view s, std::size_t i)
{
    if (s[i] == ' ')
        return 1;
    if (s.substr(i, 2) == "\xC2\xA0")
        return 2;
    if (s.substr(i, 3) == "\xE2\x80\xAF")
        return 3;
    return 0;
}

bool isEdgeBlank(char c) { return c == ' ' || c == '\t'; }

// Length of any blank at s[i] (a grouping blank, a tab or a line end); 0 if none.
std::size_t anyBlankAt(std::string_view s, std::size_t i)
{
    const char c = s[i];
    if (c == '\t' || c == '\n' || c == '\r')
        return 1;
    return groupBlankAt(s, i);
}

// Where blanks may stand inside a number.
enum class Blanks {
    Grouping, // only between the digits of the whole part
    Anywhere  // anywhere, ignored
};

// The number at the start of text[i, end): the one scanner behind convert and
// valueOf. `clean` holds what from_chars reads (sign, digits, ".", and the
// exponent only when it has digits).
struct Scanned {
    std::string clean;
    std::size_t end = 0;          // where the number ends
    std::size_t exponentEnd = 0;  // where an unfinished exponent ("e", "e-") ends
    int mantissaDigits = 0;       // 0: no number at all
    bool exponentBegun = false;   // an "e" or "E" followed the mantissa ...
    bool exponentDigits = false;  // ... and had digits
};

Scanned scanNumber(std::string_view text, std::size_t i, std::size_t end, Blanks blanks)
{
    Scanned s;
    auto skipBlanks = [&] {
        if (blanks != Blanks::Anywhere)
            return;
        while (i < end) {
            const std::size_t b = anyBlankAt(text, i);
            if (b == 0)
                break;
            i += b;
        }
    };
    skipBlanks();
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            s.clean.push_back('-');
        ++i;
    }
    // Whole part.
    while (true) {
        skipBlanks();
        if (i >= end)
            break;
        if (isDigit(text[i])) {
            s.clean.push_back(text[i++]);
            ++s.mantissaDigits;
            continue;
        }
        const std::size_t blank = groupBlankAt(text, i);
        if (blank && s.mantissaDigits > 0 && i + blank < end && isDigit(text[i + blank])) {
            i += blank;
            continue;
        }
        break;
    }
    // The decimal mark: the program's point, or the comma a Czech user types.
    if (i < end && (text[i] == '.' || text[i] == ',')) {
        s.clean.push_back('.');
        ++i;
        while (true) {
            skipBlanks();
            if (i < end && isDigit(text[i])) {
                s.clean.push_back(text[i++]);
                ++s.mantissaDigits;
            } else {
                break;
            }
        }
    }
    if (s.mantissaDigits == 0) {
        s.end = i;
        return s;
    }
    const std::size_t mantissaEnd = i;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        s.exponentBegun = true;
        std::string exponent = "e";
        ++i;
        skipBlanks();
        if (i < end && (text[i] == '+' || text[i] == '-'))
            exponent.push_back(text[i++]);
        while (true) {
            skipBlanks();
            if (i < end && isDigit(text[i])) {
                exponent.push_back(text[i++]);
                s.exponentDigits = true;
            } else {
                break;
            }
        }
        s.exponentEnd = i;
        if (s.exponentDigits)
            s.clean += exponent;
        else
            i = mantissaEnd; // an unfinished exponent is not part of the number
    }
    s.end = i;
    return s;
}

// Whether a number whose from_chars result is out of range is too large (true)
// or too small (false): decided from its magnitude, the position of its first
// significant digit plus its exponent, not from the exponent's sign alone.
bool beyondLargest(const std::string& clean)
{
    const std::size_t e = clean.find('e');
    const std::string_view mantissa = std::string_view(clean).substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        std::size_t i = e + 1;
        const bool negative = i < clean.size() && clean[i] == '-';
        if (i < clean.size() && (clean[i] == '-' || clean[i] == '+'))
            ++i;
        for (; i < clean.size(); ++i)
            exponent = std::min(exponent * 10 + (clean[i] - '0'), 1'000'000'000LL); // saturates
        if (negative)
            exponent = -exponent;
    }
    // The power of ten of the first significant digit.
    long long position = 0; // digits before the point, counted down after it
    const std::size_t point = mantissa.find('.');
    const std::size_t wholeDigits =
        (point == std::string_view::npos ? mantissa.size() : point) - (mantissa.starts_with('-') ? 1 : 0);
    position = static_cast<long long>(wholeDigits) - 1;
    for (const char c : mantissa) {
        if (c == '-' || c == '.')
            continue;
        if (c != '0')
            break;
        --position;
    }
    return position + exponent > 0;
}

double parseDigits(const std::string& clean)
{
    double v = 0;
    const auto* b = clean.data();
    const auto* e = b + clean.size();
    auto res = std::from_chars(b, e, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves v unset on overflow or underflow.
        v = beyondLargest(clean) ? HUGE_VAL : 0.0;
        if (!clean.empty() && clean[0] == '-')
            v = -v;
    }
    return v;
}

} // namespace

std::string fixed(float value, int decimals) { return formatFixed(value, 7, decimals); }
std::string fixed(double value, int decimals) { return formatFixed(value, 15, decimals); }
std::string scientific(float value, int decimals) { return formatScientific(value, 7, decimals); }
std::string scientific(double value, int decimals) { return formatScientific(value, 15, decimals); }

std::string plain(float value)
{
    if (value == 0)
        return "0";
    if (!std::isfinite(value))
        return nonFinite(value);
    // "%.7G" of the "C" locale, whatever the process's locale is.
    char buf[48];
    const auto written =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::general, 7);
    std::string text(buf, written.ptr);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    return text;
}

std::optional<double> convert(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isEdgeBlank(text[begin]))
        ++begin;
    while (end > begin && isEdgeBlank(text[end - 1]))
        --end;
    const Scanned s = scanNumber(text, begin, end, Blanks::Grouping);
    if (s.mantissaDigits == 0 || (s.exponentBegun && !s.exponentDigits) || s.end != end)
        return std::nullopt;
    return parseDigits(s.clean);
}

double valueOf(std::string_view text)
{
    const Scanned s = scanNumber(text, 0, text.size(), Blanks::Anywhere);
    return s.mantissaDigits == 0 ? 0 : parseDigits(s.clean);
}

bool fitsSingle(double value)
{
    return std::isfinite(value) && std::isfinite(static_cast<float>(value));
}

Typed classify(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isEdgeBlank(text[begin]))
        ++begin;
    while (end > begin && isEdgeBlank(text[end - 1]))
        --end;
    if (begin == end)
        return {Typed::Kind::Empty, 0, false};
    const Scanned s = scanNumber(text, begin, end, Blanks::Grouping);
    if (s.mantissaDigits == 0) // a sign or a decimal mark alone begins a number
        return {s.end == end ? Typed::Kind::Prefix : Typed::Kind::NotNumber, 0, false};
    const double leading = parseDigits(s.clean);
    if (s.exponentBegun && !s.exponentDigits)
        return {s.exponentEnd == end ? Typed::Kind::Prefix : Typed::Kind::NotNumber, leading, true};
    return {s.end == end ? Typed::Kind::Number : Typed::Kind::NotNumber, leading, false};
}

namespace {

Reading storeSingle(double v)
{
    if (!fitsSingle(v))
        return {Reading::Action::OutOfRange, 0};
    return {Reading::Action::Store, static_cast<double>(static_cast<float>(v))};
}

} // namespace

Reading ruleR(std::string_view text)
{
    const Typed typed = classify(text);
    switch (typed.kind) {
    case Typed::Kind::Empty: return {Reading::Action::Store, 0};
    case Typed::Kind::Number: return storeSingle(typed.value);
    default: return {Reading::Action::Pending, 0};
    }
}

Reading ruleK(std::string_view text)
{
    // A coefficient whose exponent is still being typed ("1.5e-", "2E") is used
    // with its leading number meanwhile, so the design follows the typing.
    const Typed typed = classify(text);
    if (typed.kind == Typed::Kind::Prefix && typed.exponentBegun)
        return storeSingle(typed.value);
    return ruleR(text);
}

Reading ruleI(std::string_view text)
{
    const Typed typed = classify(text);
    switch (typed.kind) {
    case Typed::Kind::Empty: return {Reading::Action::Store, 0};
    case Typed::Kind::Number: {
        const double rounded = std::nearbyint(typed.value); // ties to even in the default rounding mode
        if (!(rounded >= -32768.0 && rounded <= 32767.0))
            return {Reading::Action::OutOfRange, 0};
        return {Reading::Action::Store, rounded};
    }
    default: return {Reading::Action::Pending, 0};
    }
}

Reading ruleP(std::string_view text) { return ruleR(text); }

} // namespace infil::num
