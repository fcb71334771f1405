// Several libraries read as one: precedence, own dictionaries, presence.
#include <gtest/gtest.h>

#include <map>

#include "Pomocnicze.h"
#include "store/Biblioteka.h"

using namespace testy;

namespace {

namespace fs = std::filesystem;

// One document: a single line of words (Windows-1250 from UTF-8).
struct Dok {
    std::uint16_t numer;
    std::uint16_t pozycja;
    std::vector<std::string> slowa;
};

// Writes a library: its dictionary at <folder>/Morvitane.sko and containers in
// <folder>/Lumesta/. Each library gets a dictionary of its own, built from its
// words in the order they come, so the same index means different words in
// different libraries.
void zapiszBiblioteke(const fs::path& folder, const std::map<std::string, std::vector<Dok>>& kontenery,
                      const std::vector<std::string>& obecne = {})
{
    fs::create_directories(folder / "Lumesta" / "Dzienniki Ustaw");
    TBudowaSlownika budowa;
    budowa.Indeks(cp1250::fromUtf8(folder.filename().string() + "-pierwsze"));
    std::map<std::string, std::vector<TPozycjaKontenera>> pozycje;
    for (const auto& [rok, dokumenty] : kontenery) {
        for (const Dok& d : dokumenty) {
            TDokumentElementy e;
            TLinia l;
            for (const auto& s : d.slowa)
                l.Elementy.push_back(TElement::S(cp1250::fromUtf8(s)));
            e.Glowne.push_back(l);
            TPozycjaKontenera p;
            p.Numer = d.numer;
            p.Pozycja = d.pozycja;
            p.Rekord = ZapiszRekord(ZbudujRekord(e, budowa));
            pozycje[rok].push_back(std::move(p));
        }
    }
    zapisz(folder / "Morvitane.sko", ZapiszSlownik(budowa.Slownik()));
    for (const auto& [rok, p] : pozycje)
        zapisz(folder / "Lumesta" / (rok + ".rdu"), ZapiszKontener(p));
    for (const auto& o : obecne)
        zapisz(folder / "Lumesta" / "Dzienniki Ustaw" / (o + ".txt"), "");
}

std::string tekst(const TPlik& p)
{
    std::string o;
    for (const auto& w : p)
        for (const auto& t : w)
            o += cp1250::toUtf8(t.Tekst);
    return o;
}

struct Otwarty {
    TPlik plik;
    TListaNapisow tytuly;
    TListaNapisow komunikaty;
};

Otwarty otworz(TBiblioteka& b, TZbiorKomunikatow& k, const std::string& nazwa)
{
    Otwarty o;
    TListaNapisow t, p;
    k.Lista.clear();
    b.OtworzDokument(cp1250::fromUtf8(nazwa), t, p, o.plik, true, o.tytuly);
    for (const auto& m : k.Lista)
        o.komunikaty.push_back(cp1250::toUtf8(m));
    return o;
}

class Biblioteki : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The user's library: its own Kodeks cywilny and one act of 2016.
        zapiszBiblioteke(folder.sciezka() / "uzytkownik",
                         {{"Lumesta", {{0, 0, {"cywilny", "użytkownika"}}}},
                          {"2016", {{0, 1250, {"akt", "użytkownika", "2016"}}}}},
                         {"Dz.U.2016.0.1250", "Dz.U.2016.000.1250"});
        // The bundled one: two codes and an act of 1998 and of 2016.
        zapiszBiblioteke(folder.sciezka() / "wbudowana",
                         {{"Lumesta", {{0, 0, {"cywilny", "wbudowany"}}, {9, 9, {"pracy", "wbudowany"}}}},
                          {"1998", {{106, 668, {"akt", "1998"}}}},
                          {"2016", {{0, 1250, {"stary", "akt"}}, {0, 1300, {"inny", "akt"}}}}},
                         {"Dz.U.1998.106.668", "Dz.U.2016.0.1300"});
        for (const char* n : {"uzytkownik", "wbudowana"})
            b.Dodaj(folder.sciezka() / n / "Morvitane.sko", folder.sciezka() / n / "Lumesta");
    }

    TymczasowyFolder folder;
    TZbiorKomunikatow k;
    TBiblioteka b{&k};
};

} // namespace

TEST_F(Biblioteki, TheFirstLibraryThatHoldsADocumentServesItWithItsOwnDictionary)
{
    ASSERT_EQ(b.Liczba(), 2u);
    EXPECT_EQ(b.Gdzie(cp1250::fromUtf8("Kodeks cywilny")), 0);
    EXPECT_EQ(b.Gdzie(cp1250::fromUtf8("Kodeks pracy")), 1);
    EXPECT_EQ(b.Gdzie("Dz.U.1998.106.668"), 1);
    EXPECT_EQ(b.Gdzie("Dz.U.2016.0.1250"), 0);
    EXPECT_EQ(b.Gdzie("Dz.U.2016.0.1300"), 1);
    EXPECT_EQ(b.Gdzie("Dz.U.2016.0.9"), -1);
    EXPECT_EQ(b.Gdzie("Dz.U.1999.1.1"), -1);

    // Each text decodes through its own library's dictionary: the indices
    // overlap, the words do not.
    Otwarty o = otworz(b, k, "Kodeks cywilny");
    EXPECT_TRUE(o.komunikaty.empty());
    EXPECT_EQ(tekst(o.plik), "cywilny użytkownika");
    o = otworz(b, k, "Kodeks pracy");
    EXPECT_EQ(tekst(o.plik), "pracy wbudowany");
    o = otworz(b, k, "Dz.U.2016.0.1300");
    EXPECT_EQ(tekst(o.plik), "inny akt");
    o = otworz(b, k, "Dz.U.2016.0.1250");
    EXPECT_EQ(tekst(o.plik), "akt użytkownika 2016");

    // The titles of a container are those of all libraries, each once.
    const std::vector<std::string> kodeksy{"Kodeks cywilny", "Kodeks pracy"};
    std::vector<std::string> tytuly;
    for (const auto& t : b.Tytuly("Lumesta"))
        tytuly.push_back(cp1250::toUtf8(t));
    EXPECT_EQ(tytuly, kodeksy);
    o = otworz(b, k, "Dz.U.2016.0.1250");
    EXPECT_EQ(o.tytuly, (TListaNapisow{"Dz.U.2016.0.1250", "Dz.U.2016.0.1300"}));
}

TEST_F(Biblioteki, MissingDocumentsAndContainersBehaveAsInOneStore)
{
    // A container that exists somewhere, without the entry: "Nie ma".
    Otwarty o = otworz(b, k, "Dz.U.2016.0.9");
    ASSERT_EQ(o.komunikaty.size(), 1u);
    EXPECT_EQ(o.komunikaty[0], "Nie ma: Dz.U.2016.0.9");
    EXPECT_EQ(o.tytuly.size(), 2u);

    // No container anywhere: nothing is said or touched.
    TListaNapisow t{"x"}, p{"y"}, tyt{"z"};
    TPlik plik{{TTekst{0, "w"}}};
    k.Lista.clear();
    b.OtworzDokument("Dz.U.1999.1.1", t, p, plik, true, tyt);
    EXPECT_TRUE(k.Lista.empty());
    EXPECT_EQ(tyt, TListaNapisow{"z"});
    EXPECT_EQ(plik.size(), 1u);

    // A damaged container is reported by the store it belongs to, and the
    // other libraries still serve their documents.
    zapisz(folder.sciezka() / "uzytkownik" / "Lumesta" / "1998.rdu", "XYZ-damaged");
    o = otworz(b, k, "Dz.U.1998.106.668");
    EXPECT_TRUE(o.komunikaty.empty());
    EXPECT_EQ(tekst(o.plik), "akt 1998");
    zapisz(folder.sciezka() / "wbudowana" / "Lumesta" / "1998.rdu", "XYZ-damaged");
    o = otworz(b, k, "Dz.U.1998.106.668");
    ASSERT_EQ(o.komunikaty.size(), 1u);
    EXPECT_EQ(o.komunikaty[0], "To nie jest plik rocznika Dziennika Ustaw.");

    // A library without its dictionary holds nothing.
    TBiblioteka bez(&k);
    bez.Dodaj(folder.sciezka() / "nie-ma" / "Morvitane.sko", folder.sciezka() / "uzytkownik" / "Lumesta");
    bez.Dodaj(folder.sciezka() / "wbudowana" / "Morvitane.sko", folder.sciezka() / "wbudowana" / "Lumesta");
    EXPECT_EQ(bez.Gdzie(cp1250::fromUtf8("Kodeks cywilny")), 1);
}

TEST_F(Biblioteki, PresenceInAnyLibrary)
{
    EXPECT_TRUE(b.JestDziennik("Dz.U.2016.000.1250"));
    EXPECT_TRUE(b.JestDziennik("Dz.U.1998.106.668"));
    EXPECT_TRUE(b.JestDziennik("Dz.U.2016.0.1300"));
    EXPECT_FALSE(b.JestDziennik("Dz.U.2016.0.9"));
    // A name is a file name, never a path out of the folder.
    EXPECT_FALSE(b.JestDziennik("../Dzienniki Ustaw/Dz.U.1998.106.668"));
    EXPECT_FALSE(b.JestDziennik(""));

    b.Wyczysc();
    EXPECT_EQ(b.Liczba(), 0u);
    EXPECT_FALSE(b.JestDziennik("Dz.U.1998.106.668"));
    EXPECT_EQ(b.Gdzie(cp1250::fromUtf8("Kodeks cywilny")), -1);
}

TEST_F(Biblioteki, ALibraryReadAfreshInItsPlace)
{
    // The titles of one library alone.
    EXPECT_EQ(b.Tytuly(cp1250::fromUtf8("Kodeks cywilny"), 0).size(), 1u);
    EXPECT_EQ(b.Tytuly(cp1250::fromUtf8("Kodeks cywilny"), 1).size(), 2u);

    // The user's library is written anew with other words: read in its
    // place, it serves its new text and still comes first.
    zapiszBiblioteke(folder.sciezka() / "uzytkownik", {{"Lumesta", {{0, 0, {"zupełnie", "nowy", "cywilny"}}}}});
    b.Zastap(0, folder.sciezka() / "uzytkownik" / "Morvitane.sko", folder.sciezka() / "uzytkownik" / "Lumesta");
    ASSERT_EQ(b.Liczba(), 2u);
    EXPECT_EQ(tekst(otworz(b, k, "Kodeks cywilny").plik), "zupełnie nowy cywilny");
    EXPECT_EQ(tekst(otworz(b, k, "Kodeks pracy").plik), "pracy wbudowany");

    // An empty folder holds nothing, wherever the process runs.
    b.Zastap(0, "", "");
    EXPECT_EQ(b.Gdzie(cp1250::fromUtf8("Kodeks cywilny")), 1);
    EXPECT_EQ(b.Tytuly("Lumesta", 0).size(), 0u);
}
