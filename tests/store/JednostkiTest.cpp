#include "store/Jednostki.h"

#include "platform/core/Cp1250.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string w(const char* utf8) { return cp1250::fromUtf8(utf8); }

// Paragraphs as the decoder gives them: a heading word or "Art"/"§" as the
// first piece, the rest of the line as plain text, footnote marks between.
TWiersz art(const char* reszta) { return {TTekst{rArt, "Art"}, TTekst{rTekst, w(reszta)}}; }
TWiersz par(const char* reszta) { return {TTekst{rParagraf, w("§")}, TTekst{rTekst, w(reszta)}}; }
TWiersz txt(const char* tekst) { return {TTekst{rTekst, w(tekst)}}; }
TWiersz nag(std::uint8_t rodzaj, const char* slowo, const char* reszta)
{
    return {TTekst{rodzaj, w(slowo)}, TTekst{rTekst, w(reszta)}};
}

// An invented code in the shape of the real ones: a book above a "part"
// (as one code orders them), titles, divisions and chapters.
TPlik kodeks()
{
    return {
        txt("Tekst demonstracyjny."),                        // 0
        nag(7, "USTAWA", ""),                                // 1
        txt("z dnia 1 stycznia 1990 r."),                    // 2
        nag(9, "KODEKS", " PRZYKŁADOWY"),                    // 3
        nag(13, "KSIĘGA", " PIERWSZA"),                      // 4
        nag(11, "CZĘŚĆ", " OGÓLNA"),                         // 5
        nag(15, "TYTUŁ", " I"),                              // 6
        txt("PRZEPISY WSTĘPNE"),                             // 7
        art(". 1. Kodeks stosuje się do spraw przykładowych."),   // 8
        art(". 2. § 1. Strona może żądać wyjaśnień."),      // 9
        par(" 2. Przepis § 1 stosuje się odpowiednio:"),     // 10
        txt("1) do umów;"),                                  // 11
        txt("2) do oświadczeń:"),                            // 12
        txt("a) pisemnych,"),                                // 13
        txt("b) ustnych;"),                                  // 14
        txt("3) do pozostałych czynności."),                 // 15
        {},                                                  // 16
        nag(17, "DZIAŁ", " II"),                             // 17
        txt("OSOBY"),                                        // 18
        nag(18, "Rozdział", " 3"),                           // 19
        txt("Zdolność"),                                     // 20
        art(". 5^1. Wstawiony przepis."),                    // 21
        art(". 10. 1. Ustęp pierwszy."),                     // 22
        txt("2. Ustęp drugi obejmuje:"),                     // 23
        txt("1) punkt pierwszy,"),                           // 24
        txt("3) punkt trzeci."),                             // 25
        txt("– tiret pod punktem."),                         // 26
        art(". 11–13. (uchylone)"),                          // 27
        nag(15, "TYTUŁ", " II"),                             // 28
        txt("INNE"),                                         // 29
        {TTekst{rArt, "Art"}, TTekst{rTekst, w(". 14. Tekst")}, TTekst{rPrzypis, ""}, TTekst{rTekst, " dalej."}},  // 30
        art(". 2. Ten sam numer jeszcze raz."),              // 31
    };
}

TAdres adres(const char* tekst)
{
    const auto a = RozbierzAdres(w(tekst));
    EXPECT_TRUE(a.has_value()) << tekst;
    return a.value_or(TAdres{});
}

} // namespace

TEST(Jednostki, EachParagraphKnowsItsUnitAndHeadingTitlesHaveNone)
{
    const TIndeksJednostek idx(kodeks());
    EXPECT_TRUE(idx.Adres(0).Pusty());
    EXPECT_TRUE(idx.Adres(7).Pusty()) << "a heading's title line is not a unit";
    EXPECT_EQ(OpisAdresu(idx.Adres(8)), "Art. 1");
    EXPECT_EQ(OpisAdresu(idx.Adres(9)), w("Art. 2 § 1"));
    EXPECT_EQ(OpisAdresu(idx.Adres(10)), w("Art. 2 § 2"));
    EXPECT_EQ(OpisAdresu(idx.Adres(11)), w("Art. 2 § 2 pkt 1"));
    EXPECT_EQ(OpisAdresu(idx.Adres(13)), w("Art. 2 § 2 pkt 2 lit. a"));
    EXPECT_EQ(OpisAdresu(idx.Adres(15)), w("Art. 2 § 2 pkt 3")) << "a new point ends the letters";
    EXPECT_EQ(OpisAdresu(idx.Adres(16)), w("Art. 2 § 2 pkt 3")) << "an empty line stays in its unit";
    EXPECT_TRUE(idx.Adres(18).Pusty());
    EXPECT_EQ(OpisAdresu(idx.Adres(21)), "Art. 5^1");
    EXPECT_EQ(OpisAdresu(idx.Adres(22)), "Art. 10 ust. 1");
    EXPECT_EQ(OpisAdresu(idx.Adres(23)), "Art. 10 ust. 2");
    EXPECT_EQ(OpisAdresu(idx.Adres(25)), "Art. 10 ust. 2 pkt 3");
    EXPECT_EQ(OpisAdresu(idx.Adres(26)), "Art. 10 ust. 2 pkt 3");
    EXPECT_EQ(OpisAdresu(idx.Adres(27)), w("Art. 11–13"));
    EXPECT_EQ(OpisAdresu(idx.Adres(30)), "Art. 14") << "a footnote mark does not hide the number";
    EXPECT_TRUE(idx.Adres(999).Pusty());
}

TEST(Jednostki, HeadingPathFollowsTheOrderTheCodeUses)
{
    const TIndeksJednostek idx(kodeks());
    using V = std::vector<std::string>;
    EXPECT_EQ(idx.Naglowki(2), V{}) << "the act's own title is no part of the path";
    // The book came first, so the "part" under it ranks below it.
    EXPECT_EQ(idx.Naglowki(8), (V{w("Księga pierwsza"), w("Część ogólna"), w("Tytuł I")}));
    EXPECT_EQ(idx.Naglowki(21), (V{w("Księga pierwsza"), w("Część ogólna"), w("Tytuł I"), w("Dział II"),
                                   w("Rozdział 3")}));
    // A new title closes the division and chapter of the title before.
    EXPECT_EQ(idx.Naglowki(30), (V{w("Księga pierwsza"), w("Część ogólna"), w("Tytuł II")}));
    EXPECT_EQ(idx.OpisMiejsca(25),
              w("Księga pierwsza › Część ogólna › Tytuł I › Dział II › Rozdział 3 › Art. 10 ust. 2 pkt 3"));
    EXPECT_EQ(idx.OpisMiejsca(20), w("Księga pierwsza › Część ogólna › Tytuł I › Dział II › Rozdział 3"));
    EXPECT_EQ(idx.Naglowki(12345), V{});
}

TEST(Jednostki, FindsTheFirstParagraphOfEveryKindOfUnit)
{
    const TIndeksJednostek idx(kodeks());
    EXPECT_EQ(idx.Znajdz(adres("1")), 8u);
    EXPECT_EQ(idx.Znajdz(adres("art. 2 § 2")), 10u);
    EXPECT_EQ(idx.Znajdz(adres("Art. 2 par. 2 pkt 2 lit. b")), 14u);
    EXPECT_EQ(idx.Znajdz(adres("art. 2 pkt 3")), 15u) << "a paragraph left out matches any";
    EXPECT_EQ(idx.Znajdz(adres("5^1")), 21u);
    EXPECT_EQ(idx.Znajdz(adres("Art. 10 ust. 2 pkt 3")), 25u);
    EXPECT_EQ(idx.Znajdz(adres("art. 10 § 2")), 23u) << "§ and ust. are one thing to the reader";
    EXPECT_EQ(idx.Znajdz(adres("12")), 27u) << "a range of repealed articles holds each number";
    EXPECT_EQ(idx.Znajdz(adres("13")), 27u);
    EXPECT_EQ(idx.Znajdz(adres("2")), 9u) << "a number given twice is found at its first";

    EXPECT_FALSE(idx.Znajdz(adres("99")).has_value());
    EXPECT_FALSE(idx.Znajdz(adres("5")).has_value()) << "5^1 is not 5";
    EXPECT_FALSE(idx.Znajdz(adres("art. 2 § 3")).has_value());
    EXPECT_FALSE(idx.Znajdz(adres("art. 10 ust. 2 pkt 2")).has_value());
    EXPECT_FALSE(idx.Znajdz(adres("art. 1 pkt 1")).has_value()) << "units of the next article do not count";
    EXPECT_FALSE(idx.Znajdz(TAdres{}).has_value());
}

TEST(Jednostki, RangeOfAUnitCoversItsNestedUnitsOnly)
{
    const TIndeksJednostek idx(kodeks());
    using Z = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(idx.Zakres(adres("2")), (Z{9, 17})) << "the article runs to the next heading";
    EXPECT_EQ(idx.Zakres(adres("art. 2 § 2 pkt 2")), (Z{12, 15}));
    EXPECT_EQ(idx.Zakres(adres("art. 10 ust. 2")), (Z{23, 27}));
    EXPECT_EQ(idx.Zakres(adres("5^1")), (Z{21, 22}));
    EXPECT_FALSE(idx.Zakres(adres("77")).has_value());
}

TEST(Jednostki, RegulationParagraphsAreTopUnits)
{
    const TPlik rozporzadzenie = {
        txt("ROZPORZĄDZENIE"),
        par(" 1. Rozporządzenie określa wzory."),
        par(" 2. Wzory są następujące:"),
        txt("1) pierwszy;"),
        txt("2) drugi."),
        par(" 3. Wchodzi w życie."),
    };
    const TIndeksJednostek idx(rozporzadzenie);
    EXPECT_EQ(OpisAdresu(idx.Adres(1)), w("§ 1"));
    EXPECT_EQ(OpisAdresu(idx.Adres(4)), w("§ 2 pkt 2"));
    EXPECT_EQ(idx.Znajdz(adres("§ 3")), 5u);
    EXPECT_EQ(idx.Znajdz(adres("§ 2 pkt 2")), 4u);
    EXPECT_FALSE(idx.Znajdz(adres("3")).has_value()) << "there are no articles";
}

TEST(Jednostki, AddressesAsTypedOrCited)
{
    TAdres a = adres("  Art.148 §2 ");
    EXPECT_EQ(a.Artykul, "148");
    EXPECT_EQ(a.Ustep, "2");
    EXPECT_TRUE(a.Paragraf);
    a = adres("art. 10 ust. 2 pkt 3a lit. b^1.");
    EXPECT_EQ(OpisAdresu(a), "Art. 10 ust. 2 pkt 3a lit. b^1");
    EXPECT_EQ(adres("ARTYKUŁ 5A").Artykul, "5a");
    EXPECT_EQ(adres("art 5^1").Artykul, "5^1");

    for (const char* zly : {"", "art.", "abc", "148 abc", "ust. 2", "pkt 3", "art. 5 lit. a", "12lipca",
                            "art. 5 § ", "§", "5 6"})
        EXPECT_FALSE(RozbierzAdres(w(zly)).has_value()) << zly;
}

TEST(Jednostki, DamagedDocumentsGiveNoCrashAndNoGhostUnits)
{
    std::mt19937 los(7);
    std::uniform_int_distribution<int> bajt(0, 255), dlugosc(0, 12), rodzaj(0, 25);
    for (int proba = 0; proba < 300; ++proba) {
        TPlik plik;
        for (int p = 0; p < 40; ++p) {
            TWiersz wiersz;
            for (int k = dlugosc(los) / 3; k > 0; --k) {
                std::string t;
                for (int n = dlugosc(los); n > 0; --n)
                    t += char(bajt(los) % 4 == 0 ? "Art. 1§)a.^–"[bajt(los) % 12] : bajt(los));
                wiersz.push_back(TTekst{std::uint8_t(rodzaj(los)), t});
            }
            plik.push_back(wiersz);
        }
        const TIndeksJednostek idx(plik);
        for (std::size_t p = 0; p <= plik.size(); ++p) {
            const TAdres& a = idx.Adres(p);
            if (!a.Pusty()) {
                // Anything found lies inside the document, and its range starts there.
                if (const auto z = idx.Znajdz(a)) {
                    EXPECT_LT(*z, plik.size());
                    const auto zakres = idx.Zakres(a);
                    ASSERT_TRUE(zakres.has_value());
                    EXPECT_EQ(zakres->first, *z);
                    EXPECT_LE(zakres->second, plik.size());
                }
            }
            (void)idx.OpisMiejsca(p);
        }
    }
}
