// Folding and finding in one document.
#include <gtest/gtest.h>

#include <QChar>
#include <QString>

#include <random>

#include "platform/core/Cp1250.h"
#include "search/Litery.h"
#include "search/Znajdowanie.h"

using namespace szukanie;

namespace {

std::string u(std::string_view utf8) { return cp1250::fromUtf8(utf8); }

} // namespace

// Each byte of the code page against Qt's Unicode tables: lower case as Qt
// lowers it, diacritics as the canonical decomposition drops them (ł and đ
// have none, and are checked by hand).
TEST(Litery, FoldingFollowsUnicodeForEveryByte)
{
    for (int b = 0; b < 256; ++b) {
        const auto bajt = static_cast<unsigned char>(b);
        const QChar c(char16_t(cp1250::toUnicode(bajt)));
        // Modifier letters (the caron ˇ) and µ stand alone in legal text.
        const bool litera = c.isLetterOrNumber() && c.category() != QChar::Letter_Modifier && c.unicode() != 0xB5;
        EXPECT_EQ(JestZnakiemSlowa(bajt), litera) << b;

        bool ok = false;
        const unsigned char male = cp1250::fromUnicode(c.toLower().unicode(), &ok);
        EXPECT_EQ(Male(bajt), ok ? male : bajt) << b;

        QChar baza = c.toLower();
        const QString rozklad = baza.decomposition();
        if (!rozklad.isEmpty() && baza.decompositionTag() == QChar::Canonical)
            baza = rozklad[0];
        if (baza == QChar(0x142))
            baza = 'l';
        if (baza == QChar(0x111))
            baza = 'd';
        const unsigned char bez = cp1250::fromUnicode(baza.unicode(), &ok);
        if (ok) {
            EXPECT_EQ(MaleBezZnakow(bajt), bez) << b;
        }
    }
    EXPECT_EQ(Zloz(u("SĄD Łódź Żółć"), true), "sad lodz zolc");
    EXPECT_EQ(Zloz(u("SĄD Łódź"), false), u("sąd łódź"));
}

TEST(Litery, WordsAreRunsOfLettersAndDigits)
{
    const std::string t = u("„Dz.U.1998.106” art. 5^1 – umowę,");
    std::vector<std::string> slowa;
    DlaSlow(t, [&](TFragment f) { slowa.push_back(cp1250::toUtf8(t.substr(f.Od, f.Dlugosc))); });
    EXPECT_EQ(slowa, (std::vector<std::string>{"Dz", "U", "1998", "106", "art", "5", "1", "umowę"}));
}

TEST(Znajdowanie, IgnoresCaseAndOptionallyDiacritics)
{
    const std::string a = u("Sąd okręgowy. SĄD rejonowy i sad owocowy.");
    const std::string b = u("Sądy");
    TZnajdowanie z({a, b});
    const auto bez = z.Znajdz("sad", false);
    ASSERT_EQ(bez.size(), 4u);
    EXPECT_EQ(bez[0], (TMiejsce{0, 0, 3}));
    EXPECT_EQ(bez[1], (TMiejsce{0, 14, 3}));
    EXPECT_EQ(bez[2], (TMiejsce{0, 29, 3}));
    EXPECT_EQ(bez[3], (TMiejsce{1, 0, 3}));

    const auto z_znakami = z.Znajdz(u("sąd"), true);
    ASSERT_EQ(z_znakami.size(), 3u);
    EXPECT_EQ(z_znakami[1], (TMiejsce{0, 14, 3}));
    EXPECT_EQ(z.Znajdz("sad", true).size(), 1u);
    EXPECT_TRUE(z.Znajdz("", false).empty());
}

TEST(Znajdowanie, MatchesNeitherSpanTextsNorOverlap)
{
    TZnajdowanie z({"ab", "ab", "aaaa"});
    EXPECT_TRUE(z.Znajdz("bab", false).empty());
    // The separator itself cannot be typed into a match.
    EXPECT_TRUE(z.Znajdz(std::string("b\0a", 3), false).empty());
    EXPECT_EQ(z.Znajdz("aa", false).size(), 2u);
    EXPECT_EQ(z.Znajdz("aaaaa", false).size(), 0u);
    TZnajdowanie pusty(std::vector<std::string_view>{});
    EXPECT_TRUE(pusty.Znajdz("a", false).empty());
}

// Against a plain scan, on random text made of a few letters so that
// matches are many and overlap.
TEST(Znajdowanie, AgreesWithAPlainScan)
{
    std::mt19937 los(3);
    const std::string litery = u("aąAĄbB ");
    for (int n = 0; n < 300; ++n) {
        std::vector<std::string> teksty(1 + los() % 6);
        for (auto& t : teksty)
            for (int i = 0, d = int(los() % 40); i < d; ++i)
                t.push_back(litery[los() % litery.size()]);
        std::string wzorzec;
        for (int i = 0, d = 1 + int(los() % 3); i < d; ++i)
            wzorzec.push_back(litery[los() % litery.size()]);
        const bool znaki = los() % 2;
        std::vector<std::string_view> widoki(teksty.begin(), teksty.end());
        TZnajdowanie z(widoki);
        std::vector<TMiejsce> oczekiwane;
        const std::string w = Zloz(wzorzec, !znaki);
        for (std::size_t k = 0; k < teksty.size(); ++k) {
            const std::string t = Zloz(teksty[k], !znaki);
            for (std::size_t i = 0; i + w.size() <= t.size();) {
                if (t.compare(i, w.size(), w) == 0) {
                    oczekiwane.push_back({k, i, w.size()});
                    i += w.size();
                } else {
                    ++i;
                }
            }
        }
        EXPECT_EQ(z.Znajdz(wzorzec, znaki), oczekiwane) << n;
    }
}
