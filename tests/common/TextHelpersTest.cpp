#include <gtest/gtest.h>

#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/Cp1251.h"
#include "common/Prompts.h"
#include "common/TextNumbers.h"

namespace t6 {
namespace {

TEST(ParseInteger, DecimalWithTheFieldRules) {
    EXPECT_EQ(7, parseInteger("7"));
    EXPECT_EQ(7, parseInteger(" 7"));
    EXPECT_EQ(7, parseInteger("   +7"));
    EXPECT_EQ(-5, parseInteger("-5"));
    EXPECT_EQ(0, parseInteger("-0"));
    EXPECT_EQ(12, parseInteger("0012"));
    EXPECT_EQ(2147483647, parseInteger("2147483647"));
    EXPECT_EQ(INT32_MIN, parseInteger("-2147483648"));
    for (const char* bad : {"", " ", "+", "-", "7,", "7 ", "\t7", "1e3", "--5", "+-5", "7a",
                            "2147483648", "-2147483649", "99999999999999999999999"})
        EXPECT_FALSE(parseInteger(bad)) << '"' << bad << '"';
}

TEST(ParseInteger, HexadecimalMarks) {
    EXPECT_EQ(0x1F, parseInteger("$1F"));
    EXPECT_EQ(0x1F, parseInteger("0x1f"));
    EXPECT_EQ(0x1F, parseInteger("0X1F"));
    EXPECT_EQ(16, parseInteger("x10"));
    EXPECT_EQ(16, parseInteger("X10"));
    EXPECT_EQ(-16, parseInteger(" -$10"));
    // The whole 32-bit pattern.
    EXPECT_EQ(-1, parseInteger("$FFFFFFFF"));
    EXPECT_EQ(INT32_MIN, parseInteger("$80000000"));
    for (const char* bad : {"$", "x", "0x", "$G", "$1F,", "$100000000", "0x-1", "1F"})
        EXPECT_FALSE(parseInteger(bad)) << '"' << bad << '"';
}

TEST(ErrorBoxText, PeriodUnlessTheTextEndsAtOrBelowAPeriod) {
    EXPECT_EQ(ru("Нет связи."), errorBoxText(ru("Нет связи")));
    EXPECT_EQ("Write error (code: 2)", errorBoxText("Write error (code: 2)"));
    EXPECT_EQ("Done.", errorBoxText("Done."));
    EXPECT_EQ("dash-", errorBoxText("dash-"));
    EXPECT_EQ("blank ", errorBoxText("blank "));
    EXPECT_EQ("slash/.", errorBoxText("slash/"));
    EXPECT_EQ("code 5.", errorBoxText("code 5"));
    EXPECT_EQ(ru("буква я."), errorBoxText(ru("буква я"))); // FF sorts above "."
}

TEST(HexForm, TwoLowercaseDigitsPerByte) {
    EXPECT_EQ("4f6b", hexForm(bytesOf({0x4F, 0x6B})));
    EXPECT_EQ("", hexForm(""));
    EXPECT_EQ("00fffe0a", hexForm(bytesOf({0x00, 0xFF, 0xFE, 0x0A})));
}

TEST(ClockTexts, LongTimeAndShortDate) {
    LocalTime t{2024, 3, 5, 7, 8, 9};
    EXPECT_EQ("07:08:09", longTimeText(t));
    EXPECT_EQ("05.03.24", shortDateText(t));
    EXPECT_EQ("23:59:59", longTimeText({1999, 12, 31, 23, 59, 59}));
    EXPECT_EQ("31.12.99", shortDateText({1999, 12, 31, 23, 59, 59}));
    EXPECT_EQ("01.01.00", shortDateText(LocalTime{}));
}

} // namespace
} // namespace t6
