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

TEST(BudowaDokumentu, LinksAreCutOutOfTheirPiecesAndNumberedWithTheMarks)
{
    const std::string znak = "H" + std::to_string(obrazki::ZnakPrzypisuIndeks);
    const TPlik plik = {
        {kawalek(8, "Rozdzial I art. 9")},
        {kawalek(2, "Art"), kawalek(rTekst, ". 1. Zob. art. 2 i 3 oraz ")},
        // A link over a mark: one part before it, one after.
        {kawalek(rTekst, "Dz. U. z 2016 r. "), kawalek(rPrzypis, ""), kawalek(rTekst, "poz. 5 koniec")},
        {},
    };
    const auto odnosnik = [](std::size_t linia, std::size_t od, std::size_t dl) {
        TOdnosnik o;
        o.Miejsca.push_back({linia, od, dl});
        return o;
    };
    // Links of a heading are passed over; the rest are drawn in order.
    const TOdnosniki l = {odnosnik(0, 11, 6), odnosnik(1, 13, 6), odnosnik(1, 22, 1), odnosnik(2, 0, 23)};
    TDocView widok;
    const TZbudowanyDokument z = ZbudujWidokDokumentu(plik, widok, nullptr, {}, &l);
    EXPECT_EQ(opis(widok), (std::vector<std::string>{
                               "CP|0", "C2|Rozdzial I art. 9", "T0| ",
                               "T0|Art", "T0|. 1. Zob. ", "T4|art. 2", "T0| i ", "T4|3", "T0| oraz ", "T0| ",
                               "T4|Dz. U. z 2016 r. ", znak, "T4|poz. 5", "T0| koniec", "T0| ",
                           }));
    EXPECT_EQ(z.Skoki, (std::vector<TSkok>{{0, 1}, {0, 2}, {0, 3}, {1, -1}, {0, 3}}));
    // Each paragraph's first item; an empty one has none of its own.
    EXPECT_EQ(z.Elementy, (std::vector<std::int32_t>{0, 3, 10, 15}));
    // Every piece of text is still there, in order.
    std::string tekst;
    for (const TItem& e : widok.Items())
        if (e.Info.StyleNo >= 0 && !e.Info.Center)
            tekst += e.Text;
    EXPECT_EQ(tekst, " Art. 1. Zob. art. 2 i 3 oraz  Dz. U. z 2016 r. poz. 5 koniec ");
}
