// The Journal of Laws citation scanner and the substring rule.
#include <gtest/gtest.h>

#include "store/Narzedzia.h"

namespace {

TDziennikiUstaw szukaj(std::string_view t, bool wynikOczekiwany)
{
    TDziennikiUstaw l{{"stare", 1, 2}};
    EXPECT_EQ(SzukajDziennikow(t, l), wynikOczekiwany) << t;
    return l;
}

} // namespace

TEST(Dzienniki, UnspacedFormWhenNoSpacedCitation)
{
    const std::string t = "Jakiś dizennik Dz.U.123.246.33 nowy dziennik (Dz.U.143.436.143)";
    auto l = szukaj(t, true);
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].Tekst, "123.246.33");
    EXPECT_EQ(l[0].Do, l[0].Od + 16);
    EXPECT_EQ(l[1].Tekst, "143.436.143");
    EXPECT_EQ(l[1].Do, l[1].Od + 17);
    for (const auto& d : l)
        EXPECT_EQ(Wycinek(t, d.Od - 1, d.Do - 2), "Dz.U." + d.Tekst);
    // The text before the first citation.
    EXPECT_EQ(Wycinek(t, 0, l[0].Od - 1), "Jakiś dizennik ");
}

TEST(Dzienniki, SpacedForm)
{
    const std::string t = "zm. Dz. U. 1998. 106. 668 i inne";
    auto l = szukaj(t, true);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].Tekst, "1998.106.668");
    EXPECT_EQ(l[0].Od, 5);
    EXPECT_EQ(l[0].Do, l[0].Od + 22);
    EXPECT_EQ(Wycinek(t, l[0].Od - 1, l[0].Do - 2), "Dz. U. 1998. 106. 668");

    // Without the space after the second dot the first digit is lost.
    l = szukaj("Dz. U. 1998. 106.668 x", true);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].Tekst, "1998.106.68");

    // Both forms: only the spaced citations come back.
    l = szukaj("Dz.U.2001.1.2 oraz Dz. U. 1998. 106. 668 x", true);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].Tekst, "1998.106.668");
}

TEST(Dzienniki, WhatIsNotRecorded)
{
    auto l = szukaj("Dz. U. z 1998 r. Nr 106, poz. 668", false);
    EXPECT_TRUE(l.empty());
    // One-digit position at the very end: no step left to close the entry.
    EXPECT_TRUE(szukaj("Dz.U.1998.106.6", false).empty());
    // ... while the spaced form reads it from the space before it.
    l = szukaj("Dz. U. 1998. 106. 6", true);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].Tekst, "1998.106.6");
    // Year and number of eight digits: the position is read at the last step.
    EXPECT_TRUE(szukaj("Dz.U.19981.106.66 ", false).empty());
    EXPECT_TRUE(szukaj("Dz.U.", false).empty());
    EXPECT_TRUE(szukaj("", false).empty());
    EXPECT_TRUE(szukaj("Dz.U", false).empty());
}

TEST(Dzienniki, LongPositionsRepeatTheirDigits)
{
    TDziennikiUstaw l;
    ASSERT_TRUE(SzukajDziennikowBezSpacji("Dz.U.1.2.1234567 ", l));
    ASSERT_EQ(l.size(), 1u);
    // Five digits at the first step, then again from each later step.
    EXPECT_EQ(l[0].Tekst.substr(0, 9), "1.2.12345");
    EXPECT_GT(l[0].Tekst.size(), 9u);
}

TEST(Wycinek, Bounds)
{
    EXPECT_EQ(Wycinek("abcdef", 0, 3), "abc");
    EXPECT_EQ(Wycinek("abcdef", 2, 6), "cdef");
    EXPECT_EQ(Wycinek("abcdef", 2, 7), "");
    EXPECT_EQ(Wycinek("abcdef", 3, 3), "");
    EXPECT_EQ(Wycinek("abcdef", 4, 3), "");
    EXPECT_EQ(Wycinek("abcdef", -3, 2), "ab");
    EXPECT_EQ(Wycinek("abcdef", -9, -1), "");
    EXPECT_EQ(Wycinek("", 0, 0), "");
}
