#include "NumberFormat.h"

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

double parseDigits(const std::string& clean)
{
    double v = 0;
    const auto* b = clean.data();
    const auto* e = b + clean.size();
    auto res = std::from_chars(b, e, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves v unset on overflow or underflow; tell them apart by
        // the exponent's sign.
        const auto ep = clean.find_first_of("eE");
        const bool tiny = ep != std::string::npos && ep + 1 < clean.size() && clean[ep + 1] == '-';
        v = tiny ? 0.0 : HUGE_VAL;
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
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isEdgeBlank(text[i]))
        ++i;
    std::size_t end = n;
    while (end > i && isEdgeBlank(text[end - 1]))
        --end;
    std::string clean;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            clean.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    // Whole part: digits, with grouping blanks allowed only between digits.
    while (i < end) {
        if (isDigit(text[i])) {
            clean.push_back(text[i++]);
            ++mantissaDigits;
            continue;
        }
        const std::size_t blank = groupBlankAt(text, i);
        if (blank && mantissaDigits > 0 && i + blank < end && isDigit(text[i + blank])) {
            i += blank;
            continue;
        }
        break;
    }
    if (i < end && text[i] == '.') {
        clean.push_back('.');
        ++i;
        while (i < end && isDigit(text[i])) {
            clean.push_back(text[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        clean.push_back('e');
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            clean.push_back(text[i++]);
        int expDigits = 0;
        while (i < end && isDigit(text[i])) {
            clean.push_back(text[i++]);
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    return parseDigits(clean);
}

double valueOf(std::string_view text)
{
    // Blanks are ignored wherever they stand.
    std::string s;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++i;
            continue;
        }
        if (const std::size_t blank = groupBlankAt(text, i); blank) {
            i += blank;
            continue;
        }
        s.push_back(c);
        ++i;
    }
    std::string clean;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            clean.push_back('-');
        ++i;
    }
    int digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        clean.push_back(s[i++]);
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        clean.push_back('.');
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            clean.push_back(s[i++]);
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exp.push_back(s[j++]);
        int expDigits = 0;
        while (j < s.size() && isDigit(s[j])) {
            exp.push_back(s[j++]);
            ++expDigits;
        }
        if (expDigits > 0)
            clean += exp;
    }
    return parseDigits(clean);
}

bool fitsSingle(double value)
{
    return std::isfinite(value) && std::isfinite(static_cast<float>(value));
}

namespace {
Reading storeSingle(double v)
{
    if (!fitsSingle(v))
        return {Reading::Action::Keep, 0};
    return {Reading::Action::Store, static_cast<double>(static_cast<float>(v))};
}
} // namespace

Reading ruleR(std::string_view text)
{
    if (text.empty())
        return {Reading::Action::Store, 0};
    const auto v = convert(text);
    if (!v)
        return {Reading::Action::ClearBox, 0};
    return storeSingle(*v);
}

Reading ruleK(std::string_view text)
{
    if (text.empty())
        return {Reading::Action::Store, 0};
    if (const auto v = convert(text))
        return storeSingle(*v);
    if (lowercaseExpPos(text) >= 1)
        return storeSingle(valueOf(text));
    return {Reading::Action::ClearBox, 0};
}

Reading ruleI(std::string_view text)
{
    if (text.empty())
        return {Reading::Action::Store, 0};
    const auto v = convert(text);
    if (!v)
        return {Reading::Action::ClearBox, 0};
    const double rounded = std::nearbyint(*v); // ties to even in the default rounding mode
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return {Reading::Action::Keep, 0};
    return {Reading::Action::Store, rounded};
}

Reading ruleP(std::string_view text) { return ruleR(text); }

int lowercaseExpPos(std::string_view text)
{
    const auto p = text.find('e');
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

} // namespace infil::num
