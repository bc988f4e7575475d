#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

using namespace infil;
using Action = num::Reading::Action;

TEST(FixedFormat, GroupsThousandsAndKeepsTheSign)
{
    EXPECT_EQ(num::fixed(1234.5f, 1), "1 234.5");
    EXPECT_EQ(num::fixed(-1234567.0, 2), "-1 234 567.00");
    EXPECT_EQ(num::fixed(999.96f, 1), "1 000.0");
    EXPECT_EQ(num::fixed(100.0f, 1), "100.0");
    EXPECT_EQ(num::fixed(0.5f, 2), "0.50");
    EXPECT_EQ(num::fixed(1234567.0f, 0), "1 234 567");
}

TEST(FixedFormat, RoundsHalfAwayFromZeroOnTheShownDigits)
{
    EXPECT_EQ(num::fixed(2.25f, 1), "2.3");
    EXPECT_EQ(num::fixed(-2.25f, 1), "-2.3");
    EXPECT_EQ(num::fixed(0.125f, 2), "0.13");
    // The float nearest 2.675 lies below it; its 7 digits say 2.675.
    EXPECT_EQ(num::fixed(2.675f, 2), "2.68");
    EXPECT_EQ(num::fixed(17.28f, 1), "17.3");
    EXPECT_EQ(num::fixed(0.1728f, 2), "0.17");
    EXPECT_EQ(num::fixed(2.5f, 0), "3");
    EXPECT_EQ(num::fixed(0.004f, 2), "0.00");
    EXPECT_EQ(num::fixed(0.005f, 2), "0.01");
}

TEST(FixedFormat, NegativeValuesThatRoundToZeroHaveNoSign)
{
    EXPECT_EQ(num::fixed(-0.04f, 1), "0.0");
    EXPECT_EQ(num::fixed(-0.0f, 2), "0.00");
    EXPECT_EQ(num::fixed(-1500.0f, 1), "-1 500.0");
}

TEST(FixedFormat, HugeAndTinyValues)
{
    EXPECT_EQ(num::fixed(FLT_MAX, 0), "340 282 300 000 000 000 000 000 000 000 000 000 000");
    EXPECT_EQ(num::fixed(1e-30f, 2), "0.00");
}

TEST(ScientificFormat, OneAndTwoDecimalPatterns)
{
    EXPECT_EQ(num::scientific(0.00002f, 1), "2.0E-05");
    EXPECT_EQ(num::scientific(0.0000125, 2), "1.25E-05");
    EXPECT_EQ(num::scientific(0.0000125f, 2), "1.25E-05");
    EXPECT_EQ(num::scientific(1e-4, 1), "1.0E-04");
    EXPECT_EQ(num::scientific(1e-5f, 1), "1.0E-05");
    EXPECT_EQ(num::scientific(0.0f, 1), "0.0E+00");
    EXPECT_EQ(num::scientific(0.0f, 2), "0.00E+00");
    EXPECT_EQ(num::scientific(1500.0f, 1), "1.5E+03");
    EXPECT_EQ(num::scientific(-0.00035f, 1), "-3.5E-04");
}

TEST(ScientificFormat, CarriesIntoTheExponentAndWidensIt)
{
    EXPECT_EQ(num::scientific(9.96e-5f, 1), "1.0E-04");
    EXPECT_EQ(num::scientific(1.25e-5f, 1), "1.3E-05");
    EXPECT_EQ(num::scientific(3e38f, 1), "3.0E+38");
    EXPECT_EQ(num::scientific(1e-120, 2), "1.00E-120");
    EXPECT_EQ(num::scientific(1e-45f, 1), "1.4E-45");
}

TEST(PlainText, ShortestFormOfASingle)
{
    EXPECT_EQ(num::plain(5.0f), "5");
    EXPECT_EQ(num::plain(40.2f), "40.2");
    EXPECT_EQ(num::plain(0.1f), "0.1");
    EXPECT_EQ(num::plain(1e-5f), "1E-05");
    EXPECT_EQ(num::plain(0.0001f), "0.0001");
    EXPECT_EQ(num::plain(1234567.0f), "1234567");
    EXPECT_EQ(num::plain(12345678.0f), "1.234568E+07");
    EXPECT_EQ(num::plain(105.0f), "105");
    EXPECT_EQ(num::plain(-0.0f), "0");
    EXPECT_EQ(num::plain(-2.5f), "-2.5");
    EXPECT_EQ(num::plain(1.0f / 3.0f), "0.3333333");
}

TEST(Convert, AcceptsNumbersUnderTheProgramsConventions)
{
    EXPECT_DOUBLE_EQ(*num::convert("1.5E-05"), 1.5e-5);
    EXPECT_DOUBLE_EQ(*num::convert("1 234.5"), 1234.5);
    EXPECT_DOUBLE_EQ(*num::convert(" 12"), 12);
    EXPECT_DOUBLE_EQ(*num::convert("12 "), 12);
    EXPECT_DOUBLE_EQ(*num::convert("-3"), -3);
    EXPECT_DOUBLE_EQ(*num::convert("+3"), 3);
    EXPECT_DOUBLE_EQ(*num::convert(".5"), 0.5);
    EXPECT_DOUBLE_EQ(*num::convert("5."), 5);
    EXPECT_DOUBLE_EQ(*num::convert("1e5"), 1e5);
    EXPECT_DOUBLE_EQ(*num::convert("-1 234 567.00"), -1234567);
    EXPECT_DOUBLE_EQ(*num::convert("1\xC2\xA0" "234"), 1234); // a pasted no-break space
}

TEST(Convert, RefusesWhatIsNotANumber)
{
    for (const char* text : {"", " ", "1e", "1e-", "1,5,3", "1.5,3", "abc", "-", ".", ",", "1.5e-",
                             "1.5E-", "2.5e-", "1 .5", "1 ,5", "12a", "1..2", "e5", "1 e5", "1,234.5"}) {
        EXPECT_FALSE(num::convert(text).has_value()) << '"' << text << '"';
    }
}

// A Czech user types a decimal comma: it is read as the program's point.
TEST(Convert, ReadsTheDecimalCommaAsThePoint)
{
    EXPECT_DOUBLE_EQ(*num::convert("0,8"), 0.8);
    EXPECT_DOUBLE_EQ(*num::convert("2,5"), 2.5);
    EXPECT_DOUBLE_EQ(*num::convert(" 1 234,5 "), 1234.5);
    EXPECT_DOUBLE_EQ(*num::convert("-1,5E-05"), -1.5e-5);
    EXPECT_DOUBLE_EQ(*num::convert("12,"), 12);
    EXPECT_DOUBLE_EQ(*num::convert(",5"), 0.5);
}

// Out of range is decided by the value, not by the exponent's sign: a tiny
// number written out in full is tiny, a huge one with a negative exponent huge.
TEST(Convert, DecidesOverflowAndUnderflowFromTheValue)
{
    const std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(*num::convert(tiny), 0.0);
    EXPECT_EQ(num::ruleR(tiny).action, Action::Store);
    const std::string huge = "1" + std::string(400, '0') + "e-10";
    EXPECT_TRUE(std::isinf(*num::convert(huge)));
    EXPECT_EQ(num::ruleR(huge).action, Action::OutOfRange);
    EXPECT_TRUE(std::isinf(*num::convert("-1e400")));
    EXPECT_EQ(*num::convert("1e-400"), 0.0);
    EXPECT_EQ(*num::convert("0.00000e999999999999"), 0.0);
    EXPECT_EQ(*num::convert("0000" + std::string(330, '0') + "1e-300"), 1e-300);
}

TEST(Classify, TellsNumbersFromTheirBeginningsAndFromTypingErrors)
{
    using Kind = num::Typed::Kind;
    EXPECT_EQ(num::classify("").kind, Kind::Empty);
    EXPECT_EQ(num::classify("  ").kind, Kind::Empty);
    for (const char* text : {"-", "+", ".", ",", "-.", "1e", "1E", "1e-", "1E+", "0,5e", "1 234e-"})
        EXPECT_EQ(num::classify(text).kind, Kind::Prefix) << '"' << text << '"';
    for (const char* text : {"1", "1.", "0,", "-0,5", "1e5", "1E-05", " 12 ", "1 234"})
        EXPECT_EQ(num::classify(text).kind, Kind::Number) << '"' << text << '"';
    for (const char* text : {"abc", "1x", "1e-x", "1,5,", "--1", "1e5e", "e", "1 ,"})
        EXPECT_EQ(num::classify(text).kind, Kind::NotNumber) << '"' << text << '"';
    EXPECT_EQ(num::classify("2,5e-").value, 2.5);
    EXPECT_TRUE(num::classify("2,5e-").exponentBegun);
}

TEST(ValueOf, TakesTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(num::valueOf("2.5e-"), 2.5);
    EXPECT_DOUBLE_EQ(num::valueOf("1.5e-05x"), 1.5e-5);
    EXPECT_DOUBLE_EQ(num::valueOf("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(num::valueOf("  1 2.5"), 12.5);
    EXPECT_DOUBLE_EQ(num::valueOf("abc"), 0);
    EXPECT_DOUBLE_EQ(num::valueOf(""), 0);
    EXPECT_DOUBLE_EQ(num::valueOf("-.5m"), -0.5);
    EXPECT_DOUBLE_EQ(num::valueOf("1e"), 1);
    EXPECT_DOUBLE_EQ(num::valueOf("3E2"), 300);
    EXPECT_TRUE(std::isinf(num::valueOf("1e999")));
}

TEST(ReadingRules, RuleR)
{
    EXPECT_EQ(num::ruleR("").action, Action::Store);
    EXPECT_EQ(num::ruleR("").value, 0);
    auto r = num::ruleR("1 234.5");
    EXPECT_EQ(r.action, Action::Store);
    EXPECT_EQ(r.value, 1234.5);
    EXPECT_EQ(num::ruleR("1,5").value, static_cast<double>(1.5f));
    // Typing is never undone: what is not a number yet waits as typed.
    EXPECT_EQ(num::ruleR("abc").action, Action::Pending);
    EXPECT_EQ(num::ruleR("1e").action, Action::Pending);
    EXPECT_EQ(num::ruleR("-").action, Action::Pending);
    EXPECT_EQ(num::ruleR("1e39").action, Action::OutOfRange); // beyond the float range
    EXPECT_EQ(num::ruleR("-1e39").action, Action::OutOfRange);
    EXPECT_EQ(num::ruleR("3.4e38").action, Action::Store);
    // The stored value is the float, not the double typed.
    EXPECT_EQ(num::ruleR("0.1").value, static_cast<double>(0.1f));
    EXPECT_EQ(num::ruleR("1e-50").value, 0.0);
}

TEST(ReadingRules, RuleKUsesTheLeadingNumberOfAnUnfinishedExponent)
{
    auto r = num::ruleK("1.5e-");
    EXPECT_EQ(r.action, Action::Store);
    EXPECT_EQ(r.value, 1.5);
    EXPECT_EQ(num::ruleK("2,5e-").value, 2.5);
    EXPECT_EQ(num::ruleK("1.5E-").action, Action::Store); // an uppercase E reads like e
    EXPECT_EQ(num::ruleK("1E").value, 1);
    EXPECT_EQ(num::ruleK("1.5e-05").value, static_cast<double>(1.5e-5f));
    EXPECT_EQ(num::ruleK("abc").action, Action::Pending);
    EXPECT_EQ(num::ruleK("hello").action, Action::Pending);
    EXPECT_EQ(num::ruleK("1e99e").action, Action::Pending);
    EXPECT_EQ(num::ruleK("1e99").action, Action::OutOfRange);
}

TEST(ReadingRules, RuleIRoundsToTheNearestWholeNumber)
{
    EXPECT_EQ(num::ruleI("3").value, 3);
    EXPECT_EQ(num::ruleI("2.6").value, 3);
    EXPECT_EQ(num::ruleI("2.5").value, 2); // ties to even
    EXPECT_EQ(num::ruleI("3.5").value, 4);
    EXPECT_EQ(num::ruleI("-2.5").value, -2);
    EXPECT_EQ(num::ruleI("32767").action, Action::Store);
    EXPECT_EQ(num::ruleI("32768").action, Action::OutOfRange);
    EXPECT_EQ(num::ruleI("-32768").value, -32768);
    EXPECT_EQ(num::ruleI("2,5").value, 2);
    EXPECT_EQ(num::ruleI("x").action, Action::Pending);
}

TEST(ReadingRules, ShownValuesReadBackAsTheRoundedValue)
{
    for (float v : {428.5714f, -1500.0f, 17.28f, 1234.56f, 0.1728f, 2.993f}) {
        for (int decimals : {0, 1, 2}) {
            const auto r = num::ruleR(num::fixed(v, decimals));
            ASSERT_EQ(r.action, Action::Store);
            const double scale = std::pow(10.0, decimals);
            EXPECT_NEAR(r.value, std::round(v * scale) / scale, 1e-3) << v << ' ' << decimals;
        }
    }
    EXPECT_EQ(num::ruleK(num::scientific(0.000123f, 1)).value, static_cast<double>(1.2e-4f));
}
