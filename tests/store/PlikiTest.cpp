// Names, keys, titles, the directory, and TPliki over real files.
#include <gtest/gtest.h>

#include "Pomocnicze.h"

using testy::pokaz;
using V = std::vector<std::string>;

using testy::rekordSlow;

namespace {

std::string u(const char* s) { return cp1250::fromUtf8(s); }

TNumerPozycjaDZU klucz(std::string rok, std::uint16_t n, std::uint16_t p) { return {std::move(rok), n, p}; }

} // namespace

TEST(Nazwy, CodeTitlesMatchInAnyAsciiCase)
{
    for (auto n : {"Kodeks cywilny", "KODEKS CYWILNY", "kodeks cywilny"})
        EXPECT_EQ(RozbierzNazwe(u(n)), klucz("Lumesta", 0, 0)) << n;
    for (auto n : {"Kodeks postępowania cywilnego", "kodeks postępowania cywilnego",
                   "KODEKS POSTĘPOWANIA CYWILNEGO"})
        EXPECT_EQ(RozbierzNazwe(u(n)), klucz("Lumesta", 6, 6)) << n;
    // Only ASCII letters change case: Polish letters of both cases in one
    // name match neither form.
    EXPECT_EQ(RozbierzNazwe(u("KODEKS SPóŁEK HANDLOWYCH")), klucz("Lumesta", 14, 14));
    EXPECT_EQ(RozbierzNazwe(u("KODEKS SPÓŁEK handlowych")), klucz("Lumesta", 11, 11));
    EXPECT_EQ(RozbierzNazwe("Kodeks karny"), klucz("Lumesta", 3, 3));
    EXPECT_EQ(RozbierzNazwe("Kodeks karny skarbowy"), klucz("Lumesta", 1, 1));
    EXPECT_EQ(RozbierzNazwe("Prawo prasowe"), klucz("Lumesta", 14, 14));
    EXPECT_EQ(RozbierzNazwe(""), klucz("Lumesta", 14, 14));
    for (int i = 0; i < kLiczbaKodeksow; ++i)
        EXPECT_EQ(RozbierzNazwe(TytulKodeksu(i)).Numer, i);
}

TEST(Nazwy, JournalReferencesGiveYearNumberPosition)
{
    EXPECT_EQ(RozbierzNazwe("Dz.U.1998.106.668"), klucz("1998", 106, 668));
    // Only digits and dots count; the numbers are stored in 16 bits.
    EXPECT_EQ(RozbierzNazwe("Dz. U. 2001 . 7 . 0042"), klucz("2001", 7, 42));
    EXPECT_EQ(RozbierzNazwe("Dz.U.1998.65537.1"), klucz("1998", 1, 1));
    // Fewer dots: the year stays empty.
    EXPECT_EQ(RozbierzNazwe("12"), klucz("", 0, 12));
    // A name ending in a dot is a code title, whatever the walk stored.
    EXPECT_EQ(RozbierzNazwe("Dz.U.1998.106."), klucz("Lumesta", 14, 14));

    // Segments the integer parser rejects are reported, not crashed on.
    std::string blad;
    EXPECT_FALSE(SprobujRozbierzNazwe("Dz.U.1998..668", &blad));
    EXPECT_EQ(blad, u("'' nie jest prawidłową liczbą całkowitą."));
    EXPECT_FALSE(SprobujRozbierzNazwe("Dz.U.1998.99999999999.1", &blad));
    EXPECT_NE(blad.find("99999999999"), std::string::npos);
    EXPECT_THROW(RozbierzNazwe("Dz.U.1998.1.2147483648"), EBladKonwersji);
    EXPECT_EQ(RozbierzNazwe("Dz.U.1998.1.2147483647").Pozycja, 0xFFFF);
}

TEST(Nazwy, TitlesAndContainerPaths)
{
    EXPECT_EQ(TytulPozycji("Lumesta", {0, 5, 5, 0}), u("Kodeks postępowania administracyjnego"));
    EXPECT_EQ(TytulPozycji("Lumesta", {0, 5, 6, 0}), "");
    EXPECT_EQ(TytulPozycji("Lumesta", {0, 15, 15, 0}), "");
    EXPECT_EQ(TytulPozycji("1998", {0, 106, 668, 1}), "Dz.U.1998.106.668");
    EXPECT_EQ(TytulPozycji("2001", {0, 0, 7, 0}), "Dz.U.2001.0.7");
    EXPECT_EQ(SciezkaKontenera("/dane/Lumesta", klucz("1998", 1, 1)),
              std::filesystem::path("/dane/Lumesta/1998.rdu"));
    EXPECT_EQ(SciezkaKontenera("/dane/Lumesta/", klucz("Lumesta", 1, 1)),
              std::filesystem::path("/dane/Lumesta/Lumesta.rdu"));
}

TEST(Nazwy, DirectoryLookup)
{
    TTabDaneDZU k = {{6, 1, 2, 1}, {20, 1, 2, 0}, {50, 1, 2, 0}, {70, 3, 4, 0}};
    auto p = ZnajdzPozycje(k, 1, 2, 100);
    ASSERT_TRUE(p);   // the flagged entry is skipped, the first of the others used
    EXPECT_EQ(p->Indeks, 1u);
    EXPECT_EQ(p->Przesuniecie, 20);
    EXPECT_EQ(p->Dlugosc, 30);
    p = ZnajdzPozycje(k, 3, 4, 100);   // the last entry runs to the directory
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Dlugosc, 30);
    EXPECT_FALSE(ZnajdzPozycje(k, 3, 5, 100));
    EXPECT_FALSE(ZnajdzPozycje({{6, 1, 2, 1}}, 1, 2, 100));

    TTabDaneDZU zly = {{std::numeric_limits<std::int64_t>::min(), 1, 1, 0}};
    p = ZnajdzPozycje(zly, 1, 1, std::numeric_limits<std::int64_t>::max());
    ASSERT_TRUE(p);
    EXPECT_LT(p->Dlugosc, 0);
}

class Magazyn : public ::testing::Test {
protected:
    void SetUp() override
    {
        slowa = {"Pierwszy", "Drugi", u("Żółw")};
        testy::zapisz(folder.sciezka() / "Morvitane.sko", ZapiszSlownik(testy::slownik(slowa)));
        std::vector<TPozycjaKontenera> kodeksy = {
            {0, 0, 0, rekordSlow({0})},
            {5, 6, 0, rekordSlow({1})},        // listed with an empty title
            {6, 6, 0, rekordSlow({2, 1})},
            {3, 3, 1, rekordSlow({1})},        // flagged: never opened
        };
        testy::zapisz(folder.sciezka() / "Lumesta.rdu", ZapiszKontener(kodeksy));
        pliki.WczytajSlownik(folder.sciezka() / "Morvitane.sko");
    }

    void otworz(const std::string& nazwa, bool wczytaj = true)
    {
        pliki.OtworzDokument(folder.sciezka(), nazwa, tekst, przypisy, plik, wczytaj, tytuly);
    }

    testy::TymczasowyFolder folder;
    std::vector<std::string> slowa;
    TZbiorKomunikatow komunikaty;
    TPliki pliki{&komunikaty};
    TListaNapisow tekst, przypisy, tytuly;
    TPlik plik;
};

TEST_F(Magazyn, ListsTitlesAndOpensCodesByName)
{
    ASSERT_EQ(pliki.Slownik.size(), 3u);
    EXPECT_EQ(pliki.Slownik[2].Slowo, u("Żółw"));

    otworz("Kodeks cywilny", false);
    EXPECT_EQ(tytuly, V({"Kodeks cywilny", "", u("Kodeks postępowania cywilnego"), "Kodeks karny"}));
    EXPECT_TRUE(plik.empty());
    EXPECT_EQ(pliki.DaneDZU.size(), 4u);

    otworz("kodeks postępowania cywilnego");
    EXPECT_TRUE(plik.empty()) << "the name was given in UTF-8, so no row matches";
    EXPECT_EQ(komunikaty.Lista, V({"Nie ma: kodeks postępowania cywilnego"}));

    komunikaty.Lista.clear();
    otworz(u("kodeks postępowania cywilnego"));
    EXPECT_EQ(pokaz(plik), V({"[0:Żółw Drugi]"}));
    EXPECT_TRUE(komunikaty.Lista.empty());
    EXPECT_TRUE(pliki.Plik.empty());

    // A flagged entry is not found; the lists keep what they had.
    otworz("Kodeks karny");
    EXPECT_EQ(komunikaty.Lista, V({"Nie ma: Kodeks karny"}));
    EXPECT_EQ(pokaz(plik), V({"[0:Żółw Drugi]"}));
}

TEST_F(Magazyn, MissingAndDamagedFilesLeaveTheCallerConsistent)
{
    otworz("Kodeks cywilny");
    ASSERT_EQ(pokaz(plik), V({"[0:Pierwszy]"}));
    const TListaNapisow stareTytuly = tytuly;

    // No container for the year: nothing touched, nothing said.
    otworz("Dz.U.1998.1.1");
    EXPECT_EQ(tytuly, stareTytuly);
    EXPECT_EQ(pokaz(plik), V({"[0:Pierwszy]"}));
    EXPECT_TRUE(komunikaty.Lista.empty());

    // Wrong container magic: the message, titles kept.
    testy::zapisz(folder.sciezka() / "1998.rdu", "XYZ\0\0\0");
    otworz("Dz.U.1998.1.1");
    EXPECT_EQ(komunikaty.Lista, V({"To nie jest plik rocznika Dziennika Ustaw."}));
    EXPECT_EQ(tytuly, stareTytuly);

    // A directory larger than the file, and a record past the end.
    komunikaty.Lista.clear();
    testy::zapisz(folder.sciezka() / "1998.rdu", std::string("RDU\0\xff\xff", 6));
    otworz("Dz.U.1998.1.1");
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_NE(komunikaty.Lista[0].find("1998.rdu"), std::string::npos);
    EXPECT_EQ(tytuly, stareTytuly);

    komunikaty.Lista.clear();
    std::string kontener = ZapiszKontener({{1, 1, 0, rekordSlow({0})}});
    kontener[kontener.size() - 13] = '\x60';   // offset beyond the file
    testy::zapisz(folder.sciezka() / "1998.rdu", kontener);
    EXPECT_EQ(pliki.OtworzDokument(folder.sciezka(), "Dz.U.1998.1.1", tekst, przypisy, plik, true, tytuly),
              TWynikOtwarcia::UszkodzonyRekord);
    EXPECT_EQ(tytuly, V({"Dz.U.1998.1.1"}));
    // The damaged directory is what the user hears about, once; a later
    // attempt gets the plain read error.
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(komunikaty.Lista[0].rfind(u("Uszkodzony spis dokumentów w pliku "), 0), 0u);
    EXPECT_EQ(pokaz(plik), V({"[0:Pierwszy]"}));
    komunikaty.Lista.clear();
    otworz("Dz.U.1998.1.1");
    ASSERT_EQ(komunikaty.Lista.size(), 1u);
    EXPECT_EQ(komunikaty.Lista[0].rfind(u("Błąd odczytu pliku "), 0), 0u);

    // Wrong record magic: the paragraphs become empty.
    komunikaty.Lista.clear();
    testy::zapisz(folder.sciezka() / "1998.rdu", ZapiszKontener({{1, 1, 0, "Dzu-zepsuty"}}));
    otworz("Dz.U.1998.1.1");
    EXPECT_EQ(komunikaty.Lista, V({"To nie jest plik Dziennika Ustaw."}));
    EXPECT_TRUE(plik.empty());

    // A name whose number cannot be parsed.
    komunikaty.Lista.clear();
    otworz("Dz.U.1998..1");
    EXPECT_EQ(komunikaty.Lista, V({u("'' nie jest prawidłową liczbą całkowitą.")}));
}

TEST_F(Magazyn, DictionaryFailures)
{
    pliki.WczytajSlownik(folder.sciezka() / "brak.sko");
    EXPECT_EQ(pliki.Slownik.size(), 3u);
    EXPECT_TRUE(komunikaty.Lista.empty());

    testy::zapisz(folder.sciezka() / "zly.sko", "SLO\0\0\0\0\0");
    pliki.WczytajSlownik(folder.sciezka() / "zly.sko");
    EXPECT_TRUE(pliki.Slownik.empty());
    EXPECT_EQ(komunikaty.Lista, V({u("Nieprawidłowy słownik.")}));

    // A count far above the entries present: the entries that are there.
    std::string s = ZapiszSlownik(testy::slownik({"a", "bb", "ccc"}));
    s[4] = s[5] = s[6] = '\xff', s[7] = '\x7f';
    s.resize(s.size() - 6);   // the last entry loses its word
    testy::zapisz(folder.sciezka() / "uciety.sko", s);
    pliki.WczytajSlownik(folder.sciezka() / "uciety.sko");
    ASSERT_EQ(pliki.Slownik.size(), 2u);
    EXPECT_EQ(pliki.Slownik[1].Slowo, "bb");

    // An entry of length 0 is an empty word.
    testy::zapisz(folder.sciezka() / "pusty.sko", ZapiszSlownik(testy::slownik({"", "x"})));
    pliki.WczytajSlownik(folder.sciezka() / "pusty.sko");
    ASSERT_EQ(pliki.Slownik.size(), 2u);
    EXPECT_EQ(pliki.Slownik[0].Slowo, "");
}
