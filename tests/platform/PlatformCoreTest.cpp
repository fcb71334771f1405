#include "platform/core/Cp1250.h"
#include "platform/core/MulDiv.h"

#include <gtest/gtest.h>

TEST(MulDiv, RoundsHalfAwayFromZeroAndGuardsZeroDivisor)
{
    EXPECT_EQ(MulDiv(10, 96, 72), 13);  // 13.33
    EXPECT_EQ(MulDiv(3, 1, 2), 2);      // 1.5 -> 2
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);    // -1.5 -> -2
    EXPECT_EQ(MulDiv(3, -1, 2), -2);
    EXPECT_EQ(MulDiv(-3, -1, 2), 2);
    EXPECT_EQ(MulDiv(5, 1, 4), 1);      // 1.25 -> 1
    EXPECT_EQ(MulDiv(7, 1, 0), -1);
    // The product does not overflow 32 bits on the way.
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
}

TEST(Cp1250, PolishLettersRoundTripThroughUtf8)
{
    const std::string utf8 = "Zażółć gęślą jaźń ŁÓDŹ § „cytat” – €";
    bool all = false;
    const std::string w = cp1250::fromUtf8(utf8, &all);
    EXPECT_TRUE(all);
    EXPECT_EQ(w.size(), 36u); // one byte per character
    EXPECT_EQ(static_cast<unsigned char>(w[2]), 0xBF); // ż
    EXPECT_EQ(cp1250::toUtf8(w), utf8);
}

TEST(Cp1250, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(cp1250::fromUtf8(cp1250::toUtf8(all)), all);
}

TEST(Cp1250, UnmappableAndInvalidInputBecomeQuestionMarks)
{
    bool all = true;
    EXPECT_EQ(cp1250::fromUtf8("a\xE4\xB8\x80" "b", &all), "a?b"); // CJK ideograph
    EXPECT_FALSE(all);
    EXPECT_EQ(cp1250::fromUtf8("\xC3", &all), "?");                 // truncated
    EXPECT_EQ(cp1250::fromUtf8("\xC0\x80", &all), "??");            // overlong NUL
    EXPECT_EQ(cp1250::fromUtf8("\xED\xA0\x80", &all), "???");       // surrogate
}
