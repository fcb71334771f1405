// Places in an open document, and the way back and forth between them.
#include "reader/Historia.h"
#include "reader/MiejscaDokumentu.h"

#include "DaneTestowe.h"
#include "reader/Obrazki.h"
#include "view/DocView.h"

#include <gtest/gtest.h>

namespace {

std::string tekstAkapitu(const TWiersz& w)
{
    std::string t;
    for (const TTekst& k : w)
        t += k.Tekst;
    return t;
}

} // namespace

// Every run the builder records shows exactly the characters of its
// paragraph, so a place found in the decoded text is the place in the view.
TEST(MiejscaDokumentu, RunsShowTheirParagraphsText)
{
    for (const dane::Kodeks& k : {dane::kodeksCywilny(), dane::kodeksKarny(), dane::konstytucja()}) {
        TDocView widok;
        const TZbudowanyDokument z = ZbudujWidokDokumentu(k.akapity, widok, nullptr);
        ASSERT_FALSE(z.Odcinki.empty());
        std::size_t pokryte = 0, znaki = 0;
        for (const TOdcinek& o : z.Odcinki) {
            const std::string t = tekstAkapitu(k.akapity.at(o.Akapit));
            const std::string& e = widok.Items().at(std::size_t(o.Element)).Text;
            EXPECT_EQ(e.substr(0, o.Dlugosc), t.substr(o.Od, o.Dlugosc)) << dane::utf(t);
            pokryte += o.Dlugosc;
        }
        for (const TWiersz& w : k.akapity)
            znaki += tekstAkapitu(w).size();
        // Everything but nothing: all text shows, once.
        EXPECT_EQ(pokryte, znaki);

        const TMiejscaDokumentu m(k.akapity, z.Odcinki);
        for (const TOdcinek& o : z.Odcinki) {
            EXPECT_EQ(m.Akapit(o.Element), o.Akapit);
            const auto zakresy = m.Zakresy(o.Akapit, o.Od, o.Dlugosc);
            ASSERT_FALSE(zakresy.empty());
            EXPECT_EQ(zakresy.front(), (TZakresElementu{o.Element, 0, int(o.Dlugosc)}));
        }
    }
}

TEST(MiejscaDokumentu, ARangeOverAMarkFallsIntoTwoItems)
{
    const TPlik plik = {
        dane::wiersz({{2, "Art"}, {0, ". 1. Umowa"}, {4, ""}, {0, " sprzedaży wiąże strony."}}),
        dane::wiersz({{0, "Drugi akapit."}}),
    };
    TDocView widok;
    const TZbudowanyDokument z = ZbudujWidokDokumentu(plik, widok, nullptr);
    const TMiejscaDokumentu m(plik, z.Odcinki);
    const auto zakresy = m.Zakresy(0, 8, 13);   // "Umowa sprzeda", a mark after "Umowa"
    ASSERT_EQ(zakresy.size(), 2u);
    EXPECT_EQ(widok.Items()[std::size_t(zakresy[0].Element)].Text.substr(std::size_t(zakresy[0].Od),
                                                                         std::size_t(zakresy[0].Dlugosc)),
              dane::cp("Umowa"));
    EXPECT_EQ(widok.Items()[std::size_t(zakresy[1].Element)].Text.substr(std::size_t(zakresy[1].Od),
                                                                         std::size_t(zakresy[1].Dlugosc)),
              dane::cp(" sprzeda"));
    // The rest of a paragraph, and paragraphs that are not there.
    EXPECT_EQ(m.Zakresy(1, 0, std::size_t(-1) / 2).size(), 1u);
    EXPECT_TRUE(m.Zakresy(7, 0, 3).empty());
    EXPECT_EQ(m.PierwszyElement(1), z.Odcinki.back().Element);
    EXPECT_FALSE(m.PierwszyElement(2));
    EXPECT_EQ(m.Jednostki().Adres(0).Artykul, "1");
}

TEST(Historia, BackAndForthLikeABrowser)
{
    THistoria h(3);
    const TMiejsce a{"A", true, 1}, b{"B", true, 2}, c{"C", false, 3}, d{"A", true, 40};
    EXPECT_FALSE(h.MoznaWstecz());
    EXPECT_FALSE(h.Wstecz(a));
    h.Zapisz(a);   // jumped from a to b
    h.Zapisz(b);   // from b to c
    EXPECT_EQ(h.Wstecz(c), b);
    EXPECT_EQ(h.Wstecz(b), a);
    EXPECT_FALSE(h.Wstecz(a));
    EXPECT_EQ(h.Dalej(a), b);
    EXPECT_EQ(h.Dalej(b), c);
    EXPECT_FALSE(h.MoznaDalej());
    // A new jump forgets the way forward.
    EXPECT_EQ(h.Wstecz(c), b);
    h.Zapisz(b);
    EXPECT_FALSE(h.MoznaDalej());
    EXPECT_EQ(h.Wstecz(d), b);
    // The same place twice in a row is kept once; the oldest go first.
    THistoria k(3);
    k.Zapisz(a);
    k.Zapisz(a);
    k.Zapisz(b);
    k.Zapisz(c);
    k.Zapisz(d);
    EXPECT_EQ(k.Wstecz(a), d);
    EXPECT_EQ(k.Wstecz(d), c);
    EXPECT_EQ(k.Wstecz(c), b);
    EXPECT_FALSE(k.Wstecz(b));
}
