// lumesta-tool search and stems run as programs on the demo library.
#include <gtest/gtest.h>

#include "PackTestUtil.h"
#include "ToolRun.h"
#include "packer/Packer.h"

namespace {

std::vector<std::string> linie(const std::string& s)
{
    std::vector<std::string> o;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t j = s.find('\n', i);
        o.push_back(s.substr(i, j - i));
        if (j == std::string::npos)
            break;
        i = j + 1;
    }
    return o;
}

class NarzedzieSzukania : public ::testing::Test {
protected:
    void SetUp() override
    {
        packer::Problems problemy;
        ASSERT_TRUE(packer::packFolder(std::filesystem::path(LUMESTA_SOURCE_DIR) / "demo", dir.path(), problemy));
        slownik = (dir.path() / "Morvitane.sko").string();
        dane = (dir.path() / "Lumesta").string();
    }
    packtest::ScratchDir dir;
    std::string slownik, dane;
};

} // namespace

TEST_F(NarzedzieSzukania, PrintsEveryHitAsJsonWithItsPlace)
{
    const Wynik st = uruchomNarzedzie({"stems", slownik}, dir.path());
    ASSERT_EQ(st.kod, 0) << st.bledy;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Morvitane.rdz"));

    const Wynik w = uruchomNarzedzie({"search", slownik, dane, "umowa", "--json"}, dir.path());
    ASSERT_EQ(w.kod, 0) << w.bledy;
    EXPECT_EQ(w.bledy, "");
    const auto l = linie(w.wyjscie);
    ASSERT_EQ(l.size(), 8u) << w.wyjscie;
    EXPECT_EQ(l[0], "{\"document\": \"Kodeks cywilny\", \"footnote\": null, \"unit\": \"Art. 3 § 1\", \"line\": 10, "
                    "\"offset\": 37, \"length\": 5, \"context\": \"Art. 3. § 1. Strona, która podpisała umowę, nie "
                    "może zasłaniać się tym, że nie zapoznała się z jej…\", \"context_offset\": 37}");
    EXPECT_NE(l[7].find("\"document\": \"Dz.U.1998.106.668\""), std::string::npos);

    // The line and offset are those of the decoded document's paragraphs.
    TPliki pliki;
    pliki.WczytajSlownik(slownik);
    TListaNapisow t, przypisy, tytuly;
    TPlik plik;
    pliki.OtworzDokument(dane, cp1250::fromUtf8("Kodeks cywilny"), t, przypisy, plik, true, tytuly);
    ASSERT_GT(plik.size(), 10u);
    std::string akapit;
    for (const TTekst& k : plik[10])
        akapit += k.Tekst;
    EXPECT_EQ(akapit.substr(37, 5), cp1250::fromUtf8("umowę"));
}

TEST_F(NarzedzieSzukania, FootnotesPhrasesExactFormsAndAMissingStemsFile)
{
    // Without the stems file the words are grouped on the spot, and said so.
    Wynik w = uruchomNarzedzie({"search", slownik, dane, "\"tekstu jednolitego\""}, dir.path());
    ASSERT_EQ(w.kod, 0) << w.bledy;
    EXPECT_NE(w.bledy.find("grouping"), std::string::npos);
    const auto l = linie(w.wyjscie);
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l[0].rfind("Kodeks cywilny | footnote 1 | footnote line 1, 12+18 | (1)  Zmiany [tekstu jednolitego] ", 0),
              0u)
        << l[0];
    EXPECT_EQ(l[1].rfind("Kodeks karny wykonawczy | footnote 1 (Art. 1 § 2) | footnote line 1, 12+18 |", 0), 0u);

    // Exact forms: "umową" stands nowhere in the demo library.
    w = uruchomNarzedzie({"search", slownik, dane, "umową", "--exact"}, dir.path());
    EXPECT_EQ(w.kod, 1);
    EXPECT_EQ(w.wyjscie, "");
    w = uruchomNarzedzie({"search", slownik, dane, "umową"}, dir.path());
    EXPECT_EQ(w.kod, 0);
    EXPECT_EQ(linie(w.wyjscie).size(), 8u);

    // Wrong use.
    EXPECT_EQ(uruchomNarzedzie({"search", slownik, dane}, dir.path()).kod, 2);
    EXPECT_EQ(uruchomNarzedzie({"search", slownik, dane, " ,. "}, dir.path()).kod, 2);
    w = uruchomNarzedzie({"search", (dir.path() / "brak.sko").string(), dane, "umowa"}, dir.path());
    EXPECT_EQ(w.kod, 1);
    EXPECT_NE(w.bledy.find("no dictionary"), std::string::npos);
}
