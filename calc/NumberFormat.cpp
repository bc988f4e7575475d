#include "NumberFormat.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace infil::num {
namespace {

// A finite value as decimal digits: value = 0.d1 d2 d3 ... × 10^(point), i.e.
// `point` digits stand before the decimal point (negative: leading zeros after it).
struct Decimal {
    bool negative = false;
    char digits[20] = {}; // no leading zeros, no trailing zeros; none for zero
    int count = 0;
    int point = 0;
    char digit(int i) const { return i < count ? digits[i] : '0'; }
};

__extension__ typedef unsigned __int128 Wide;

constexpr int kMaxPow10 = 38;

constexpr Wide powerOfTen(int k)
{
    Wide p = 1;
    while (k-- > 0)
        p *= 10;
    return p;
}

struct Powers {
    Wide value[kMaxPow10 + 1];
    int bits[kMaxPow10 + 1]; // bit length of each power
};

constexpr Powers makePowers()
{
    Powers p{};
    for (int k = 0; k <= kMaxPow10; ++k) {
        p.value[k] = powerOfTen(k);
        int bits = 0;
        for (Wide v = p.value[k]; v != 0; v >>= 1)
            ++bits;
        p.bits[k] = bits;
    }
    return p;
}

constexpr Powers kPowers = makePowers();

int bitLength(std::uint64_t v) { return v == 0 ? 0 : 64 - __builtin_clzll(v); }

// floor(value × 10^scale / 2^-e) for value = m × 2^e, with whether the rest
// rounds it up (to the nearest, ties to even); false when 128 bits do not hold
// the numbers.
bool scaledQuotient(std::uint64_t m, int e, int scale, std::uint64_t limit, std::uint64_t& q, bool& up)
{
    const int up10 = scale > 0 ? scale : 0;
    const int down10 = scale < 0 ? -scale : 0;
    const int shiftUp = e > 0 ? e : 0;
    const int shiftDown = e < 0 ? -e : 0;
    if (up10 > kMaxPow10 || down10 > kMaxPow10)
        return false;
    // Most values the program shows: all on 64 bits.
    if (down10 == 0 && shiftDown < 64 && bitLength(m) + kPowers.bits[up10] + shiftUp <= 64) {
        const std::uint64_t num = (m * static_cast<std::uint64_t>(kPowers.value[up10])) << shiftUp;
        q = num >> shiftDown;
        if (shiftDown == 0) {
            up = false;
            return true;
        }
        const std::uint64_t rest = num & ((std::uint64_t{1} << shiftDown) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shiftDown - 1);
        up = rest > half || (rest == half && (q & 1) != 0);
        return true;
    }
    if (bitLength(m) + kPowers.bits[up10] + shiftUp > 127 || kPowers.bits[down10] + shiftDown > 127)
        return false;
    const Wide num = (Wide{m} * kPowers.value[up10]) << shiftUp;
    const Wide den = kPowers.value[down10] << shiftDown;
    const Wide wide = down10 == 0 ? num >> shiftDown : num / den;
    if (wide >= Wide{limit} * 10) {
        q = limit * 10; // far out of range: the caller tries another scale
        up = false;
        return true;
    }
    const Wide twiceRest = (num - wide * den) << 1;
    q = static_cast<std::uint64_t>(wide);
    up = twiceRest > den || (twiceRest == den && (q & 1) != 0);
    return true;
}

// |value| (finite, non-zero) rounded to `significant` digits, the way
// to_chars rounds: to the nearest, ties to even on the exact binary value.
// `digits` lies in [10^(significant-1), 10^significant) and `exp10` is the
// power of ten of the first digit. Exact integer arithmetic; false where the
// value is too large or too small for it.
bool exactDigits(double value, int significant, std::uint64_t& digits, int& exp10)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0)
        return false; // subnormal: far too small for the fast path
    std::uint64_t m = fraction | (std::uint64_t{1} << 52);
    int e = biased - 1075; // |value| = m × 2^e
    const int zeros = __builtin_ctzll(m); // a Single's value has 29 at least
    m >>= zeros;
    e += zeros;
    // About floor(log10(value)): the first digit's power or one below it.
    exp10 = ((bitLength(m) - 1 + e) * 78913) >> 18;
    const auto lowest = static_cast<std::uint64_t>(kPowers.value[significant - 1]);
    const auto limit = static_cast<std::uint64_t>(kPowers.value[significant]);
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::uint64_t q = 0;
        bool up = false;
        if (!scaledQuotient(m, e, significant - 1 - exp10, limit, q, up))
            return false;
        if (q >= limit) {
            ++exp10; // the estimate was one power short
            continue;
        }
        if (q < lowest) {
            --exp10; // ... or one over
            continue;
        }
        if (up && ++q == limit) {
            q = lowest;
            ++exp10;
        }
        digits = q;
        return true;
    }
    return false;
}

// The same digits from to_chars, for values beyond the fast path.
void charsDigits(double value, int significant, std::uint64_t& digits, int& exp10)
{
    // to_chars, unlike printf, never writes the locale's decimal comma (the Qt
    // program runs under the user's locale). buf: "d.ddddde±XX"
    char buf[64];
    const auto written =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significant - 1);
    const char* p = buf;
    digits = 0;
    for (; p < written.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    ++p; // 'e'
    const bool negativeExp = *p == '-';
    ++p;
    int e = 0;
    for (; p < written.ptr; ++p)
        e = e * 10 + (*p - '0');
    exp10 = negativeExp ? -e : e;
}

Decimal toDecimal(double value, int significant)
{
    Decimal d;
    if (value == 0 || !std::isfinite(value))
        return d;
    d.negative = value < 0;
    const double magnitude = std::fabs(value);
    std::uint64_t digits = 0;
    int exp10 = 0;
    if (!exactDigits(magnitude, significant, digits, exp10))
        charsDigits(magnitude, significant, digits, exp10);
    // Exactly `significant` digits, the first not zero; written from the last,
    // two at a time.
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                     "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                     "8081828384858687888990919293949596979899";
    int i = significant;
    for (; i >= 2; i -= 2, digits /= 100) {
        const auto pair = static_cast<std::size_t>(digits % 100) * 2;
        d.digits[i - 2] = kPairs[pair];
        d.digits[i - 1] = kPairs[pair + 1];
    }
    if (i == 1)
        d.digits[0] = static_cast<char>('0' + digits);
    d.count = significant;
    while (d.digits[d.count - 1] == '0')
        --d.count;
    d.point = exp10 + 1;
    return d;
}

// Adds one to a run of decimal digits; returns true when it carried out of
// the first one (all were nines, now all are zeros).
bool incrementDigits(char* digits, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return false;
        }
    }
    return true;
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
    // The digits worth at least 10^-decimals, rounded half away from zero on
    // the next one: the value × 10^decimals as a whole number, with a spare
    // place in front for a carry.
    const int keep = d.point + decimals;
    const auto places = static_cast<std::size_t>(std::max(keep, 1) + 1);
    char local[64];
    std::string large; // for values with more places than `local` holds
    char* scaled = local;
    if (places > sizeof local) {
        large.resize(places);
        scaled = large.data();
    }
    scaled[0] = '0';
    char* kept = scaled + 1;
    kept[0] = '0';
    const int known = std::min(keep, d.count);
    std::copy(d.digits, d.digits + std::max(known, 0), kept);
    for (int i = std::max(known, 0); i < keep; ++i)
        kept[i] = '0';
    const bool up = keep >= 0 && keep < d.count && d.digits[keep] >= '5';
    int length = std::max(keep, 1);
    if (up && incrementDigits(kept, length)) {
        --kept;
        *kept = '1';
        ++length;
    }
    // Whole part and fraction; the whole part without leading zeros.
    const int wholeLength = std::max(length - decimals, 0);
    const char* fraction = kept + wholeLength; // `decimals` digits, zeros in front where the number is shorter
    const int fractionPadding = std::max(decimals - length, 0);
    int firstWhole = 0;
    while (firstWhole < wholeLength && kept[firstWhole] == '0')
        ++firstWhole;
    bool zero = firstWhole == wholeLength;
    for (int i = 0; zero && i < length - wholeLength; ++i)
        zero = fraction[i] == '0';
    const int wholeDigits = std::max(wholeLength - firstWhole, 1);

    // Written where the places were (or into a string as long as it can be),
    // then taken as the result.
    const auto most = static_cast<std::size_t>(2 + wholeDigits + wholeDigits / 3 + decimals);
    char outLocal[80];
    std::string outLarge;
    char* const begin = most <= sizeof outLocal ? outLocal : (outLarge.resize(most), outLarge.data());
    char* o = begin;
    if (d.negative && !zero)
        *o++ = '-';
    if (firstWhole == wholeLength) {
        *o++ = '0';
    } else {
        for (int i = firstWhole; i < wholeLength; ++i) {
            if (i > firstWhole && (wholeLength - i) % 3 == 0)
                *o++ = ' ';
            *o++ = kept[i];
        }
    }
    if (decimals > 0) {
        *o++ = '.';
        for (int i = 0; i < fractionPadding; ++i)
            *o++ = '0';
        for (int i = 0; i < decimals - fractionPadding; ++i)
            *o++ = fraction[i];
    }
    return std::string(begin, o);
}

std::string formatScientific(double value, int significant, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = toDecimal(value, significant);
    const int keep = decimals + 1;
    // Sign, the digits and their point, "E", the exponent's sign and digits.
    std::string out(static_cast<std::size_t>(keep + 8), '\0');
    char* o = out.data();
    if (d.negative)
        *o++ = '-';
    // The digits are written one place on, so that after the first one there
    // is room for the point and the others already stand behind it.
    char* mantissa = o + 1;
    int exponent = 0;
    for (int i = 0; i < keep; ++i)
        mantissa[i] = d.digit(i);
    if (d.count > 0) {
        exponent = d.point - 1;
        if (keep < d.count && d.digits[keep] >= '5' && incrementDigits(mantissa, keep)) {
            mantissa[0] = '1'; // 9.96 -> 10.0: one more place
            ++exponent;
        }
    }
    o[0] = mantissa[0];
    if (decimals > 0) {
        o[1] = '.';
        o += 2 + decimals;
    } else {
        o += 1;
    }
    *o++ = 'E';
    *o++ = exponent < 0 ? '-' : '+';
    const int absExp = std::abs(exponent);
    if (absExp < 10)
        *o++ = '0';
    o = std::to_chars(o, out.data() + out.size(), absExp).ptr;
    out.resize(static_cast<std::size_t>(o - out.data()));
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

// Where the text lies between blanks at its edges: [begin, end).
std::pair<std::size_t, std::size_t> withoutEdgeBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isEdgeBlank(text[begin]))
        ++begin;
    while (end > begin && isEdgeBlank(text[end - 1]))
        --end;
    return {begin, end};
}

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
    const auto [begin, end] = withoutEdgeBlanks(text);
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
    const auto [begin, end] = withoutEdgeBlanks(text);
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

// Rule R on a classified text.
Reading readNumber(const Typed& typed)
{
    switch (typed.kind) {
    case Typed::Kind::Empty: return {Reading::Action::Store, 0};
    case Typed::Kind::Number: return storeSingle(typed.value);
    default: return {Reading::Action::Pending, 0};
    }
}

} // namespace

Reading ruleR(std::string_view text) { return readNumber(classify(text)); }

Reading ruleK(std::string_view text)
{
    // A coefficient whose exponent is still being typed ("1.5e-", "2E") is used
    // with its leading number meanwhile, so the design follows the typing.
    const Typed typed = classify(text);
    if (typed.kind == Typed::Kind::Prefix && typed.exponentBegun)
        return storeSingle(typed.value);
    return readNumber(typed);
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
