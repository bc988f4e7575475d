// The fixed and scientific formats compute their digits with integer
// arithmetic. Here they are checked against a plain reference that takes the
// digits from std::to_chars as text and rounds them as strings, over values
// of every kind: random bit patterns, short decimals as users type them, ties
// on the rounded digit, powers of ten and their neighbours.
#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace infil;

namespace {

struct RefDecimal {
    bool negative = false;
    std::string digits; // no leading or trailing zeros; empty for zero
    int point = 0;      // value = 0.digits × 10^point
};

RefDecimal refDecimal(double value, int significant)
{
    RefDecimal d;
    if (value == 0)
        return d;
    d.negative = value < 0;
    char buf[64];
    const auto end =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, significant - 1).ptr;
    const std::string s(buf, end);
    const auto e = s.find('e');
    for (char c : s.substr(0, e))
        if (c != '.')
            d.digits.push_back(c);
    d.point = std::stoi(s.substr(e + 1)) + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

bool refIncrement(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

std::string refFixed(double value, int significant, int decimals)
{
    const RefDecimal d = refDecimal(value, significant);
    const int keep = d.point + decimals;
    std::string kept;
    for (int i = 0; i < keep; ++i)
        kept.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0');
    const bool up = keep >= 0 && keep < static_cast<int>(d.digits.size()) && d.digits[keep] >= '5';
    if (kept.empty())
        kept = "0";
    if (up)
        refIncrement(kept);
    if (static_cast<int>(kept.size()) <= decimals)
        kept.insert(0, static_cast<std::size_t>(decimals + 1) - kept.size(), '0');
    std::string whole = kept.substr(0, kept.size() - static_cast<std::size_t>(decimals));
    const std::string fraction = kept.substr(whole.size());
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    const bool zero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
    std::string out = d.negative && !zero ? "-" : "";
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += ' ';
        out += whole[i];
    }
    return decimals > 0 ? out + "." + fraction : out;
}

std::string refScientific(double value, int significant, int decimals)
{
    const RefDecimal d = refDecimal(value, significant);
    const int keep = decimals + 1;
    std::string mantissa(static_cast<std::size_t>(keep), '0');
    int exponent = 0;
    if (!d.digits.empty()) {
        for (int i = 0; i < keep && i < static_cast<int>(d.digits.size()); ++i)
            mantissa[static_cast<std::size_t>(i)] = d.digits[static_cast<std::size_t>(i)];
        exponent = d.point - 1;
        if (keep < static_cast<int>(d.digits.size()) && d.digits[static_cast<std::size_t>(keep)] >= '5' &&
            refIncrement(mantissa)) {
            mantissa.pop_back();
            ++exponent;
        }
    }
    std::string out = d.negative ? "-" : "";
    out += mantissa.substr(0, 1);
    if (decimals > 0)
        out += "." + mantissa.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    const std::string digits = std::to_string(std::abs(exponent));
    return out + (digits.size() < 2 ? "0" : "") + digits;
}

// Values of every kind, as floats (the record's numbers) and as doubles.
std::vector<double> sampleValues(bool singles)
{
    std::mt19937_64 rng(20261209);
    std::vector<double> values;
    auto add = [&](double v) {
        if (singles)
            v = static_cast<float>(v);
        if (std::isfinite(v)) {
            values.push_back(v);
            values.push_back(-v);
        }
    };
    // Random bit patterns: every magnitude, subnormals included.
    for (int i = 0; i < 20000; ++i) {
        if (singles)
            add(std::bit_cast<float>(static_cast<std::uint32_t>(rng())));
        else
            add(std::bit_cast<double>(rng()));
    }
    // Short decimals as typed: 2.675, 0.125, 1234.5 ... at every scale the
    // windows show.
    std::uniform_int_distribution<int> mantissa(1, 999999);
    std::uniform_int_distribution<int> scale(-12, 12);
    for (int i = 0; i < 20000; ++i)
        add(mantissa(rng) * std::pow(10.0, scale(rng)));
    // Ties on the last significant digit and on the shown ones: n + 0.5 and
    // n / 8 are exact in binary.
    for (int n = 1048570; n < 1048600; ++n) {
        add(n + 0.5);
        add(n / 8.0);
    }
    for (int n = 0; n < 4000; ++n) {
        add(n / 8.0);
        add(n / 64.0);
        add(n * 0.005);
    }
    const double bigTie = 9007199254740.5; // 2^53 / 1000 + 0.5: a tie at 15 digits
    add(bigTie);
    add(4503599627370495.5);
    // Powers of ten and the values on either side, where the exponent changes.
    for (int k = -45; k <= 38; ++k) {
        const double p = std::pow(10.0, k);
        for (double v : {p, 0.99999995 * p, 0.9999999499 * p, 0.999999999999999 * p, 9.9999995 * p, 9.99999949 * p})
            add(v);
        if (singles) {
            const float f = static_cast<float>(p);
            add(std::nextafter(f, 0.0f));
            add(std::nextafter(f, INFINITY));
        } else {
            add(std::nextafter(p, 0.0));
            add(std::nextafter(p, INFINITY));
        }
    }
    add(singles ? std::numeric_limits<float>::max() : std::numeric_limits<double>::max());
    add(singles ? std::numeric_limits<float>::denorm_min() : std::numeric_limits<double>::denorm_min());
    add(0.0);
    return values;
}

} // namespace

TEST(FormatAgreement, FixedOfSinglesMatchesTheReference)
{
    int checked = 0;
    for (const double v : sampleValues(true)) {
        const float f = static_cast<float>(v);
        for (int decimals : {0, 1, 2, 3, 6}) {
            ASSERT_EQ(num::fixed(f, decimals), refFixed(f, 7, decimals)) << "value " << v << ", decimals " << decimals;
            ++checked;
        }
    }
    EXPECT_GT(checked, 400000);
}

TEST(FormatAgreement, FixedOfDoublesMatchesTheReference)
{
    for (const double v : sampleValues(false))
        for (int decimals : {0, 2, 4})
            ASSERT_EQ(num::fixed(v, decimals), refFixed(v, 15, decimals)) << "value " << v << ", decimals " << decimals;
}

TEST(FormatAgreement, ScientificMatchesTheReference)
{
    for (const double v : sampleValues(true))
        for (int decimals : {0, 1, 2, 6})
            ASSERT_EQ(num::scientific(static_cast<float>(v), decimals), refScientific(v, 7, decimals))
                << "value " << v << ", decimals " << decimals;
    for (const double v : sampleValues(false))
        for (int decimals : {1, 2, 14})
            ASSERT_EQ(num::scientific(v, decimals), refScientific(v, 15, decimals))
                << "value " << v << ", decimals " << decimals;
}
