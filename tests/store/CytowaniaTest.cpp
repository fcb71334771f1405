// Journal of Laws citations in official wording, and the sentence and date
// readers they rely on.
#include <gtest/gtest.h>

#include "platform/core/Cp1250.h"
#include "store/Cytowania.h"
#include "store/Zdania.h"

#include <random>

namespace {

std::string cp(std::string_view utf8) { return cp1250::fromUtf8(utf8); }

// Each citation as "year.number.position=span".
std::vector<std::string> opis(std::string_view tekst)
{
    std::vector<std::string> w;
    for (const TCytowanie& c : SzukajCytowan(tekst))
        w.push_back(std::to_string(c.Akt.Rok) + "." + std::to_string(c.Akt.Numer) + "." +
                    std::to_string(c.Akt.Pozycja) + "=" + cp1250::toUtf8(tekst.substr(c.Od, c.Dlugosc)));
    return w;
}

using V = std::vector<std::string>;

} // namespace

TEST(Cytowania, OfficialWordingOneLinkPerPosition)
{
    EXPECT_EQ(opis(cp("zob. Dz. U. z 2016 r. poz. 380.")), V{"2016.0.380=Dz. U. z 2016 r. poz. 380"});
    EXPECT_EQ(opis(cp("(Dz. U. z 2016 r. poz. 380, 585 i 1579)")),
              (V{"2016.0.380=Dz. U. z 2016 r. poz. 380", "2016.0.585=585", "2016.0.1579=1579"}));
    EXPECT_EQ(opis(cp("Dz. U. z 2007 r. Nr 50, poz. 331, Nr 99, poz. 660")),
              (V{"2007.50.331=Dz. U. z 2007 r. Nr 50, poz. 331", "2007.99.660=Nr 99, poz. 660"}));
    EXPECT_EQ(opis(cp("w Dz. U. z 1998 r. Nr 106, poz. 668 i 669 i Nr 117, poz. 756, z 2001 r. Nr 5, poz. 43 "
                      "oraz z 2016 r. poz. 1250.")),
              (V{"1998.106.668=Dz. U. z 1998 r. Nr 106, poz. 668", "1998.106.669=669", "1998.117.756=Nr 117, poz. 756",
                 "2001.5.43=z 2001 r. Nr 5, poz. 43", "2016.0.1250=z 2016 r. poz. 1250"}));
    EXPECT_EQ(opis(cp("(Dz. U. z 2023 r. poz. 1234, 1456 i 1789 oraz z 2024 r. poz. 12)")),
              (V{"2023.0.1234=Dz. U. z 2023 r. poz. 1234", "2023.0.1456=1456", "2023.0.1789=1789",
                 "2024.0.12=z 2024 r. poz. 12"}));
    // A year may also change after a semicolon.
    EXPECT_EQ(opis(cp("(Dz. U. z 2019 r. poz. 1; z 2020 r. poz. 2)")),
              (V{"2019.0.1=Dz. U. z 2019 r. poz. 1", "2020.0.2=z 2020 r. poz. 2"}));
}

TEST(Cytowania, SpacingVariants)
{
    // No space inside "Dz.U.", non-breaking spaces anywhere a space goes,
    // a comma after the year, the year without "z ... r.".
    EXPECT_EQ(opis(cp("Dz.U. z 2016 r. poz. 380")), V{"2016.0.380=Dz.U. z 2016 r. poz. 380"});
    const std::string nbsp = "Dz.\xA0U.\xA0z\xA0" "2016\xA0r.\xA0poz.\xA0" "380";
    EXPECT_EQ(opis(nbsp), V{"2016.0.380=" + cp1250::toUtf8(nbsp)});
    EXPECT_EQ(opis(cp("Dz. U. z 2007 r., Nr 50 poz. 331")), V{"2007.50.331=Dz. U. z 2007 r., Nr 50 poz. 331"});
    EXPECT_EQ(opis(cp("Dz.U. 2016 poz. 380")), V{"2016.0.380=Dz.U. 2016 poz. 380"});
    EXPECT_EQ(opis(cp("Dz. U. 2016 r. poz. 380 i 381")),
              (V{"2016.0.380=Dz. U. 2016 r. poz. 380", "2016.0.381=381"}));
    // The older spaced form is not read as a year followed by anything.
    EXPECT_EQ(opis(cp("Dz. U. 2016 r. 12")), V{});
}

TEST(Cytowania, YearFromTheActsDateInTheSameSentence)
{
    EXPECT_EQ(opis(cp("ustawy z dnia 7 lipca 2023 r. o czymś (Dz. U. poz. 1823)")), V{"2023.0.1823=Dz. U. poz. 1823"});
    EXPECT_EQ(opis(cp("ustawa z dnia 3 października 2003 r. (Dz. U. Nr 50, poz. 331 i Nr 60, poz. 5)")),
              (V{"2003.50.331=Dz. U. Nr 50, poz. 331", "2003.60.5=Nr 60, poz. 5"}));
    // No date: not a link.
    EXPECT_TRUE(opis(cp("Zob. Dz. U. poz. 1823.")).empty());
    // The date belongs to another sentence.
    EXPECT_TRUE(opis(cp("Ustawa z dnia 7 lipca 2023 r. weszła w życie. Zmiany w Dz. U. poz. 1823.")).empty());
    // The date belongs to the citation between them.
    EXPECT_EQ(opis(cp("ustawy z dnia 7 lipca 2003 r. o A (Dz. U. Nr 5, poz. 7) oraz ustawy o B (Dz. U. Nr 9, poz. 3)")),
              V{"2003.5.7=Dz. U. Nr 5, poz. 7"});
    // An abbreviation's full stop does not end the sentence.
    EXPECT_EQ(opis(cp("art. 5 ustawy z dnia 2 lutego 2015 r. Nr 1 (Dz. U. poz. 9)")), V{"2015.0.9=Dz. U. poz. 9"});
    // A date no Journal volume has (a misprint) gives the citation no year.
    EXPECT_TRUE(opis(cp("ustawy z dnia 5 lipca 2567 r. o czymś (Dz. U. poz. 1823)")).empty());
    EXPECT_TRUE(opis(cp("ustawy z dnia 5 lipca 1018 r. o czymś (Dz. U. Nr 5, poz. 43)")).empty());
}

TEST(Cytowania, OlderLinkedFormsReadAsBefore)
{
    const std::string t = cp("Zmiany: Dz. U. 1998. 106. 668 i Dz. U. 2016. 000. 1250 oraz Dz. U. z 2001 r. Nr 5, poz. 43");
    const TCytowania c = SzukajCytowan(t);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].Akt, (TAkt{1998, 106, 668}));
    EXPECT_EQ(c[0].DawnaNazwa, "Dz.U.1998.106.668");
    EXPECT_EQ(t.substr(c[0].Od, c[0].Dlugosc), "Dz. U. 1998. 106. 668");
    EXPECT_EQ(c[1].Akt, (TAkt{2016, 0, 1250}));
    EXPECT_EQ(c[1].DawnaNazwa, "Dz.U.2016.000.1250");
    EXPECT_EQ(c[2].Akt, (TAkt{2001, 5, 43}));
    EXPECT_TRUE(c[2].DawnaNazwa.empty());
    EXPECT_EQ(opis("(Dz.U.2001.5.43)"), V{"2001.5.43=Dz.U.2001.5.43"});

    // A garbled line whose windows overlap: the spans never do.
    const std::string z = "w Dz. U. 1998.7 . 11756, Dz. U. 2001. 005. 43 oraz Dz. U. 2016. 000. 1250.";
    const TCytowania d = SzukajCytowan(z);
    ASSERT_FALSE(d.empty());
    for (std::size_t i = 1; i < d.size(); ++i)
        EXPECT_GE(d[i].Od, d[i - 1].Od + d[i - 1].Dlugosc);
    EXPECT_EQ(d.back().Akt, (TAkt{2016, 0, 1250}));
    // A window that runs on into the words after it is no link.
    const std::string w = cp("Zob. Dz. U. 48. 117.–75698że art. 2 oraz Dz. U. 2001. 005. 43");
    EXPECT_EQ(opis(w), V{"2001.5.43=Dz. U. 2001. 005. 43"});
}

TEST(Cytowania, WhatIsNotACitation)
{
    EXPECT_TRUE(opis(cp("Dz. Urz. UE L 123 z 2016 r., s. 1")).empty());
    EXPECT_TRUE(opis(cp("Dz. U. UE")).empty());
    EXPECT_TRUE(opis(cp("ogłoszony w Dz. U. z 2016 r. w całości")).empty());
    EXPECT_TRUE(opis(cp("xDz. U. z 2016 r. poz. 3")).empty());
    EXPECT_TRUE(opis(cp("Dz. U. z 16 r. poz. 3")).empty());
    EXPECT_TRUE(opis(cp("Dz. U. z 2016 r. poz. 0")).empty());
    // Counting after a position ends the citation before the count.
    EXPECT_EQ(opis(cp("Dz. U. z 2016 r. poz. 380 i 5 lat później")), V{"2016.0.380=Dz. U. z 2016 r. poz. 380"});
    EXPECT_EQ(opis(cp("Dz. U. z 2016 r. poz. 380, z późn. zm.")), V{"2016.0.380=Dz. U. z 2016 r. poz. 380"});
    EXPECT_EQ(opis(cp("Dz. U. z 2016 r. poz. 380, art. 5")), V{"2016.0.380=Dz. U. z 2016 r. poz. 380"});
    EXPECT_EQ(opis(cp("Dz. U. z 2016 r. poz. 380 i 381 ze zm.")),
              (V{"2016.0.380=Dz. U. z 2016 r. poz. 380", "2016.0.381=381"}));
}

TEST(Cytowania, AnyTextStaysInBounds)
{
    // Random runs of citation fragments, cut anywhere: every span lies
    // inside the text and names a year of the Journal.
    const std::string kawalki[] = {"Dz.", " U.", "U.", " z ", "2016", " r.", ",", " poz. ", "Nr ", "12", " i ",
                                   " oraz ", ";", "\xA0", "(", ")", ".", " z dnia 3 maja 2001 r.", "Dz. U. 1998. 106. 6",
                                   "99999", "x"};
    std::mt19937 los(7);
    for (int n = 0; n < 3000; ++n) {
        std::string t;
        const int ile = int(los() % 14);
        for (int k = 0; k < ile; ++k)
            t += kawalki[los() % std::size(kawalki)];
        for (std::size_t cut : {t.size(), t.size() / 2}) {
            const std::string_view v(t.data(), cut);
            for (const TCytowanie& c : SzukajCytowan(v)) {
                ASSERT_LE(c.Od + c.Dlugosc, v.size()) << t;
                ASSERT_GT(c.Dlugosc, 0u) << t;
                ASSERT_GE(c.Akt.Rok, 1918) << t;
                ASSERT_GT(c.Akt.Pozycja, 0) << t;
            }
        }
    }
}

TEST(Cytowania, ActNames)
{
    EXPECT_EQ(NazwaAktu({2016, 0, 380}), "Dz.U.2016.0.380");
    EXPECT_EQ(RozbierzNazweAktu("Dz.U.1998.106.668"), (TAkt{1998, 106, 668}));
    EXPECT_EQ(RozbierzNazweAktu("Dz.U.2001.005.43"), (TAkt{2001, 5, 43}));
    EXPECT_FALSE(RozbierzNazweAktu("Dz.U.1998.106"));
    EXPECT_FALSE(RozbierzNazweAktu("Dz.U.1998..668"));
    EXPECT_FALSE(RozbierzNazweAktu("Kodeks cywilny"));
    EXPECT_FALSE(RozbierzNazweAktu("Dz.U.1998.106.668x"));
}

TEST(Zdania, SentenceStart)
{
    using zdania::PoczatekZdania;
    const std::string t = cp("Pierwsze zdanie. Drugie z art. 5 i z 2016 r. Nr 5 oraz k.c. Tak; trzecie");
    EXPECT_EQ(PoczatekZdania(t, 5), 0u);
    EXPECT_EQ(PoczatekZdania(t, t.find("Drugie") + 3), t.find("Drugie"));
    // "art.", "r." and single letters abbreviate; the sentence goes on.
    EXPECT_EQ(PoczatekZdania(t, t.find("Tak")), t.find("Drugie"));
    EXPECT_EQ(PoczatekZdania(t, t.find("trzecie")), t.find(" trzecie"));
    EXPECT_EQ(PoczatekZdania("", 3), 0u);
}

TEST(Zdania, Dates)
{
    std::size_t k = 0;
    const std::string t = cp("ustawy z dnia 29 września 1997 r. – Ordynacja");
    const auto d = zdania::CzytajDate(t, t.find("z dnia"), k);
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (zdania::TData{29, 9, 1997}));
    EXPECT_EQ(t.substr(k - 2, 2), "r.");
    EXPECT_EQ(zdania::CzytajDate(cp("z dnia 1 października 2001 r."), 0, k), (zdania::TData{1, 10, 2001}));
    EXPECT_FALSE(zdania::CzytajDate(cp("z dnia 1 brumaire 2001 r."), 0, k));
    EXPECT_FALSE(zdania::CzytajDate(cp("z dnia 32 maja 2001 r."), 0, k));
    EXPECT_FALSE(zdania::CzytajDate(cp("z dnia 1 maja 2001"), 0, k));
    EXPECT_FALSE(zdania::CzytajDate(cp("z dnia"), 0, k));
    const std::string dwie = cp("z dnia 1 maja 2001 r. oraz z dnia 2 maja 2002 r.");
    EXPECT_EQ(zdania::OstatniaData(dwie, 0, dwie.size())->Rok, 2002);
    EXPECT_EQ(zdania::OstatniaData(dwie, 0, dwie.size() - 1)->Rok, 2001);
}

TEST(Zdania, SentenceStartsReadOnceAgreeWithTheSearch)
{
    const std::string kawalki[] = {"art. ", "Zdanie", " ", ". ", "; ", "r. ", "Nr 5. ", "k.c. ", "Dz. U. ", "? ", "!",
                                   "\xA0", "Ala", "o.p. Kot"};
    std::mt19937 los(3);
    for (int n = 0; n < 500; ++n) {
        std::string t;
        for (int k = int(los() % 20); k > 0; --k)
            t += kawalki[los() % std::size(kawalki)];
        const zdania::TZdania z(t);
        for (std::size_t p = 0; p <= t.size(); ++p)
            ASSERT_EQ(z.Poczatek(p), zdania::PoczatekZdania(t, p)) << t << " @" << p;
    }
}
