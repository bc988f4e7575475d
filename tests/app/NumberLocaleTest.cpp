// The program's number conventions with a decimal-comma locale in force in the
// process, as it is in the Qt program under a Czech desktop.
#include "NumberFormat.h"
#include "RainTestSupport.h"

#include <gtest/gtest.h>

namespace infil::test {
namespace {

TEST(NumberLocale, FormattingAndReadingIgnoreTheProcessLocale)
{
    CzechLocale czech;
    if (!czech.active())
        GTEST_SKIP() << "no locale with a decimal comma is installed (cs_CZ.UTF-8)";
    EXPECT_EQ(num::plain(40.2f), "40.2");
    EXPECT_EQ(num::plain(12345678.0f), "1.234568E+07");
    EXPECT_EQ(num::fixed(1234.5f, 1), "1 234.5");
    EXPECT_EQ(num::scientific(0.00002f, 1), "2.0E-05");
    EXPECT_EQ(*num::convert("150,5"), 150.5);
    EXPECT_EQ(*num::convert("150.5"), 150.5);
}

} // namespace
} // namespace infil::test
