// Building a document's view from its decoded paragraphs, without a window.
#include "reader/BudowaDokumentu.h"

#include "reader/Obrazki.h"
#include "view/DocView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each item as CP|name, H<image>, C<style>|text (centred) or T<style>|text.
std::vector<std::string> opis(const TDocView& v)
{
    std::vector<std::string> wynik;
    for (const TItem& e : v.Items()) {
        if (e.Info.StyleNo == rvsCheckpoint)
            wynik.push_back("CP|" + e.Text);
        else if (e.Info.StyleNo == rvsHotSpot)
            wynik.push_back("H" + std::to_string(e.Info.ImageIndex));
        else
            wynik.push_back((e.Info.Center ? "C" : "T") + std::to_string(e.Info.StyleNo) + "|" + e.Text);
    }
    return wynik;
}

TTekst kawalek(std::uint8_t rodzaj, const char* tekst) { return TTekst{rodzaj, tekst}; }

} // namespace

TEST(BudowaDokumentu, HeadingsArticlesAndMarksGiveItemsContentsAndNumbers)
{
    const std::string znak = "H" + std::to_string(obrazki::ZnakPrzypisuIndeks);
    const TPlik plik = {
        {kawalek(8, "Rozdzial I")},
        {kawalek(1, "Art. 1."), kawalek(rTekst, " Tekst"), kawalek(rPrzypis, ""), kawalek(rTekst, " dalej")},
        {},
        // A mark inside a heading ends the heading's line before the glyph.
        {kawalek(10, "Oddzial 2"), kawalek(rPrzypis, "")},
        // Only the first constitution heading gets an entry.
        {kawalek(22, "Konstytucja")},
        {kawalek(23, "Wstep")},
        // A line of no heading kind stays a heading after a heading.
        {kawalek(rTekst, "ciag")},
    };
    TDocView widok;
    std::vector<std::size_t> postep;
    const TZbudowanyDokument z =
        ZbudujWidokDokumentu(plik, widok, nullptr, [&postep](std::size_t n) { postep.push_back(n); });

    EXPECT_EQ(z.Spis, (TListaNapisow{"   Rozdzial I", "      Oddzial 2", "Konstytucja"}));
    EXPECT_EQ(z.NumeryPrzypisow, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(postep, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(widok.Checkpoints().size(), z.Spis.size());
    EXPECT_EQ(opis(widok), (std::vector<std::string>{
                               "CP|0", "C2|Rozdzial I", "T0| ",
                               "T0|Art. 1.", "T0| Tekst", znak, "T0| dalej", "T0| ",
                               "CP|1", "C2|Oddzial 2", znak, "T0| ",
                               "CP|2", "C2|Konstytucja", "T0| ",
                               "C2|Wstep", "T0| ",
                               "C2|ciag", "T0| ",
                           }));
}

TEST(BudowaDokumentu, AppendsToTheViewAndNumbersEachDocumentFromOne)
{
    TDocView widok;
    widok.AddTextLines("poprzedni", 0);
    const TPlik plik = {{kawalek(1, "Art. 2."), kawalek(rPrzypis, "")}};
    const TZbudowanyDokument z = ZbudujWidokDokumentu(plik, widok, nullptr);
    EXPECT_TRUE(z.Spis.empty());
    EXPECT_EQ(z.NumeryPrzypisow, (std::vector<std::int32_t>{1}));
    ASSERT_EQ(widok.ItemCount(), 4);
    EXPECT_EQ(opis(widok).front(), "T0|poprzedni");

    EXPECT_TRUE(ZbudujWidokDokumentu({}, widok, nullptr).NumeryPrzypisow.empty());
    EXPECT_EQ(widok.ItemCount(), 4);
}

TEST(BudowaDokumentu, FootnoteIndexGivesTheLinesOfABlockAndNothingOutOfRange)
{
    const AZapisPrzypisu zapis = IndeksPrzypisow({"(1) pierwszy", " ciag", "", "(2) drugi"});
    ASSERT_EQ(zapis.Bloki.size(), 2u);
    TListaNapisow linie;
    TekstBloku(zapis, 0, linie);
    EXPECT_EQ(linie, (TListaNapisow{"(1) pierwszy", " ciag", ""}));
    linie.clear();
    TekstBloku(zapis, 1, linie);
    EXPECT_EQ(linie, (TListaNapisow{"(2) drugi"}));
    linie.clear();
    TekstBloku(zapis, 2, linie);
    TekstBloku(zapis, -1, linie);
    EXPECT_TRUE(linie.empty());
}
