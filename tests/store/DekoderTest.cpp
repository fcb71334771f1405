// The decoder replayed on records built field by field, where every table is
// chosen by hand so that each rule of the replay is what makes the result.
#include <gtest/gtest.h>

#include "Pomocnicze.h"

using testy::dekoduj;
using testy::pokaz;
using V = std::vector<std::string>;

namespace {

// A one-pass record: no footnotes, per-line tables as given.
TRekordDoZapisu rekord(std::vector<std::uint16_t> slowaWW, std::vector<std::uint8_t> znakiWW,
                       TZnaki znaki, std::vector<std::uint32_t> slowa, std::int32_t T)
{
    TRekordDoZapisu r;
    r.SlowaWWierszu = std::move(slowaWW);
    r.ZnakiWWierszu = std::move(znakiWW);
    r.Znaki = std::move(znaki);
    r.Slowa = std::move(slowa);
    r.T = T;
    r.U = -1;
    r.Szerokosc = 1;
    return r;
}

} // namespace

TEST(Dekoder, PunctuationSpacingFollowsEachCodesFlags)
{
    auto s = testy::slownik({"Ala", "ma", "kota"});
    // "," after "ma" (2 tokens in), "." right after "kota".
    auto d = dekoduj(rekord({3, 0}, {2, 0}, {{11, 2}, {13, 1}}, {0, 1, 2}, 2), s);
    EXPECT_EQ(pokaz(d.plik), V({"[0:Ala ma, kota.]"}));
    EXPECT_TRUE(d.tekst.empty());
    EXPECT_TRUE(d.przypisy.empty());
    EXPECT_TRUE(d.komunikaty.empty());

    // "(" keeps the space before it and joins the next word; "." and ")" at
    // one point each close up to what precedes.
    auto s2 = testy::slownik({"a", "b", "c"});
    d = dekoduj(rekord({3, 0}, {3, 0}, {{7, 1}, {13, 1}, {8, 0}}, {0, 1, 2}, 2), s2);
    EXPECT_EQ(pokaz(d.plik), V({"[0:a (b.) c]"}));

    // Code 39 is a space and a closing quote; an unlisted code adds a lone
    // space, which survives the line end's trim of one character.
    d = dekoduj(rekord({2, 0}, {2, 0}, {{39, 1}, {0, 1}}, {0, 1}, 1), s2);
    ASSERT_EQ(d.plik.size(), 1u);
    EXPECT_EQ(d.plik[0][0].Tekst, "a \x94 b ");
}

TEST(Dekoder, MarksCarriedAcrossALineBreak)
{
    auto s = testy::slownik({"x", "y", "z"});
    // A "(" at the end of line 0 moves to the start of line 1.
    auto d = dekoduj(rekord({2, 1, 0}, {1, 0, 0}, {{7, 2}}, {0, 1, 2}, 2), s);
    EXPECT_EQ(pokaz(d.plik), V({"[0:x y ]", "[0:(z]"}));

    // Two marks at one point but only one counted for line 0: the excess
    // one is cut from line 0 and starts line 1.
    auto s2 = testy::slownik({"a", "b"});
    d = dekoduj(rekord({1, 1, 0}, {1, 0, 0}, {{13, 1}, {7, 0}}, {0, 1}, 1), s2);
    EXPECT_EQ(pokaz(d.plik), V({"[0:a.]", "[0:(b]"}));
}

TEST(Dekoder, HeadingLinesStartWithTheirWordAndDropTheCarry)
{
    auto s = testy::slownik({"5", "Tekst", "x"});
    auto r = rekord({3, 0}, {2, 0}, {{13, 1}, {13, 1}}, {0, 1}, 2);
    r.Art = {2};
    EXPECT_EQ(pokaz(dekoduj(r, s).plik), V({"[2:Art][0:. 5. Tekst]"}));

    r = rekord({2, 0}, {0, 0}, {}, {2}, 1);
    r.Art = {1};
    EXPECT_EQ(pokaz(dekoduj(r, s).plik), V({"[1:ART][0: x]"}));
    r.Art = {30};   // a code without a word keeps its kind, empty text
    EXPECT_EQ(pokaz(dekoduj(r, s).plik), V({"[30:][0: x]"}));
    r.Art = {19};
    EXPECT_EQ(dekoduj(r, s).plik[0][0].Tekst, cp1250::fromUtf8("ROZDZIAŁ"));

    // An opening parenthesis due before the first token is kept on a plain
    // line and dropped with the buffer on a heading line.
    r = rekord({1, 0}, {1, 0}, {{7, 0}}, {2}, 0);
    EXPECT_EQ(pokaz(dekoduj(r, s).plik), V({"[0:(x]"}));
    r = rekord({2, 0}, {1, 0}, {{7, 0}}, {2}, 1);
    r.Art = {2};
    EXPECT_EQ(pokaz(dekoduj(r, s).plik), V({"[2:Art][0: x]"}));

    // The carry from line 0 is dropped by a heading on line 1.
    r = rekord({2, 2, 0}, {1, 0, 0}, {{7, 2}}, {2, 2, 2}, 3);
    r.Art = {0, 2};
    EXPECT_EQ(pokaz(dekoduj(r, s).plik), V({"[0:x x ]", "[2:Art][0: x]"}));
}

TEST(Dekoder, FootnoteMarksBeforeWordsAndAtLineEnds)
{
    auto s = testy::slownik({"Ala", "ma", "kota", "zmiana"});
    // A mark before "kota"; "." counts the mark as a token.
    auto r = rekord({3, 1, 0}, {1, 0, 0}, {{13, 4}}, {0, 1, 2, 3}, 2);
    r.Przypisy = {{0, {2}}};
    r.Bloki = {0};
    r.U = 3;
    auto d = dekoduj(r, s);
    EXPECT_EQ(pokaz(d.plik), V({"[0:Ala ma ][4:][0: kota.]"}));
    EXPECT_EQ(d.przypisy, V({"", "(1)  zmiana"}));

    // Punctuation right after a mark placed before a word closes up to the
    // mark, without its own spacing, and a space follows.
    r.Znaki = {{8, 3}, {11, 0}};
    r.ZnakiWWierszu = {2, 0, 0};
    EXPECT_EQ(pokaz(dekoduj(r, s).plik), V({"[0:Ala ma ][4:][0:), kota]"}));

    // A mark at the end of a line, right after ".", with ")" after it.
    auto s2 = testy::slownik({"kota", "z"});
    r = rekord({1, 1, 0}, {2, 0, 0}, {{13, 1}, {8, 1}}, {0, 1}, 0);
    r.Przypisy = {{0, {1}}};
    r.Bloki = {0};
    r.U = 1;
    d = dekoduj(r, s2);
    EXPECT_EQ(pokaz(d.plik), V({"[0:kota.][4:][0:) ]"}));
    EXPECT_EQ(d.przypisy, V({"", "(1)  z"}));
}

TEST(Dekoder, SecondMarkAtTheSamePlaceGoesToTheLineEnd)
{
    auto s = testy::slownik({"a", "b", "c"});
    auto r = rekord({3, 0}, {0, 0}, {}, {0, 1, 2}, 2);
    r.Przypisy = {{0, {1, 1}}};
    // No footnote lengths: reported, main text still decoded.
    auto d = dekoduj(r, s);
    EXPECT_EQ(pokaz(d.plik), V({"[0:a ][4:][0: b c][4:][0:]"}));
    EXPECT_TRUE(d.przypisy.empty());
    EXPECT_EQ(d.komunikaty, V({cp1250::fromUtf8("Brak treści przypisów!")}));
}

TEST(Dekoder, AnchorRecordsAreTakenInOrderOnly)
{
    auto s = testy::slownik({"a", "b", "c"});
    auto r = rekord({1, 1, 1, 0}, {0, 0, 0, 0}, {}, {0, 1, 2}, 2);
    // Line 2's record stands before line 0's: selecting line 0 moves the
    // cursor past both, so line 2 gets no mark; line 1 has none of its own.
    r.Przypisy = {{2, {0}}, {0, {0}}, {1, {5}}, {1, {0}}};
    r.Bloki = {0};
    auto d = dekoduj(r, s);
    EXPECT_EQ(pokaz(d.plik), V({"[0:][4:][0: a]", "[0:b][4:][0:]", "[0:c]"}));
}

TEST(Dekoder, FootnotePassNumbersFootnotesByTheirBlocks)
{
    auto s = testy::slownik({"a", "b", "c", "x", "y", "z"});
    TRekordDoZapisu r = rekord({1, 1, 1, 1, 1, 1, 0}, {0, 0, 0, 0, 0, 0, 0}, {}, {0, 1, 2, 3, 4, 5}, 2);
    r.Przypisy = {{0, {1}}};
    r.Bloki = {1, 0};   // footnote 1 has two lines, footnote 2 one
    r.U = 5;
    r.H = 2;            // lines 0 and 1 are header lines
    auto d = dekoduj(r, s);
    EXPECT_EQ(pokaz(d.plik), V({"[0:a][4:][0:]", "[0:b]", "[0:c]"}));
    EXPECT_EQ(d.przypisy, V({"", "(1)  x", " y", "", "(2)  z"}));
    EXPECT_EQ(d.tekst, V({""}));

    // With no header count only line 0 stays out of the text list.
    r.H = 0;
    EXPECT_EQ(dekoduj(r, s).tekst, V({"", ""}));
    r.H = 1;
    EXPECT_EQ(dekoduj(r, s).tekst, V({"", ""}));

    // The carry is dropped at the start of every footnote line.
    r.Znaki = {{7, 5}};   // "(" after "x"; the mark after "a" counts as a token
    r.ZnakiWWierszu = {0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(dekoduj(r, s).przypisy, V({"", "(1)  x ", " y", "", "(2)  z"}));
}

TEST(Dekoder, LastParagraphIsDroppedWhenTheTablesEndWithTheText)
{
    auto s = testy::slownik({"a", "b"});
    EXPECT_EQ(pokaz(dekoduj(rekord({1, 1}, {0, 0}, {}, {0, 1}, 1), s).plik), V({"[0:a]"}));
    EXPECT_EQ(pokaz(dekoduj(rekord({1, 1, 0}, {0, 0, 0}, {}, {0, 1}, 1), s).plik),
              V({"[0:a]", "[0:b]"}));
}

TEST(Dekoder, WrongMagicEmptiesTheParagraphsAndKeepsTheLists)
{
    auto s = testy::slownik({"a"});
    TListaNapisow tekst{"stary"}, przypisy{"stary przypis"};
    TPlik plik(3);
    TZbiorKomunikatow k;
    DekodujRekord("DzX\0\0", s, &k, tekst, przypisy, plik);
    EXPECT_TRUE(plik.empty());
    EXPECT_EQ(tekst, V({"stary"}));
    EXPECT_EQ(przypisy, V({"stary przypis"}));
    EXPECT_EQ(k.Lista, V({"To nie jest plik Dziennika Ustaw."}));

    // An empty record touches nothing at all.
    plik.resize(2);
    DekodujRekord("", s, &k, tekst, przypisy, plik);
    EXPECT_EQ(plik.size(), 2u);
    EXPECT_EQ(k.Lista.size(), 1u);
}

TEST(Dekoder, InconsistentTablesGiveCleanPartialResults)
{
    auto s = testy::slownik({"a"});
    // A word index beyond the dictionary reads as an empty word.
    EXPECT_EQ(pokaz(dekoduj(rekord({3, 0}, {0, 0}, {}, {0, 200, 0}, 2), s).plik), V({"[0:a  a]"}));

    // The token stream ends early: the complete line survives, the pass stops.
    auto r = rekord({1, 5, 0}, {0, 0, 0}, {}, {0, 0}, 5);
    EXPECT_EQ(pokaz(dekoduj(r, s).plik), V({"[0:a]"}));

    // A huge T with an unknown width code reads nothing and still ends.
    r = rekord({2, 0}, {0, 0}, {}, {0, 0}, 1);
    std::string b = ZapiszRekord(r);
    b[9] = 7;                                    // width code
    b[5] = b[6] = b[7] = '\xff', b[8] = '\x7f';  // T = 2^31 - 1
    auto d = dekoduj(b, s);
    EXPECT_EQ(pokaz(d.plik), V({"[0:]"}));

    // A mark count above what a line consumed changes nothing when no
    // mark is due there.
    r = rekord({1, 1, 0}, {0, 0, 0}, {{13, 2}}, {0, 0}, 1);
    r.ZnakiWWierszu = {3, 0, 0};
    r.Przypisy = {{7, {0}}};   // never selected, but F > 0
    d = dekoduj(r, s);
    ASSERT_EQ(d.plik.size(), 2u);
    EXPECT_EQ(pokaz(d.plik), V({"[0:a]", "[0:a.]"}));
}

TEST(ZapisRekordu, BytesFollowTheLayout)
{
    TRekordDoZapisu r;
    r.H = 2;
    r.T = 1;
    r.Szerokosc = 2;
    r.Znaki = {{13, 2}};
    r.ZnakiWWierszu = {1, 0};
    r.SlowaWWierszu = {2, 0};
    r.Art = {3};
    r.Przypisy = {{0, {1}}};
    r.Bloki = {0};
    r.U = 2;
    r.Slowa = {0x0102, 5, 6};
    const std::string oczekiwane("DzU\0\x02\x01\0\0\0\x02"   // magic, format, H, T, width
                                 "\0\0\0\0" "\x0d\x02"       // N1 = 0, (13, 2)
                                 "\x01\0\0\0" "\x01\0" "\x02\0\0\0"  // N2 = 1, marks, tokens
                                 "\0\0\x03"                  // N3 = 0, heading code 3
                                 "\x01\0" "\0\0\0\0\x01\0"   // F = 1: line 0, K = 0, position 1
                                 "\x01\0\0"                  // B = 1, block 0
                                 "\x02\0\0\0"                // U
                                 "\x02\x01\x05\0\x06\0",     // words, 2 bytes each
                                 50);
    EXPECT_EQ(ZapiszRekord(r), oczekiwane);

    TRekordDZU h;
    std::size_t strumien = 0;
    ASSERT_TRUE(CzytajNaglowekRekordu(oczekiwane, h, strumien));
    EXPECT_EQ(strumien, 44u);
    EXPECT_EQ(h.T, 1);
    EXPECT_EQ(h.U, 2);
    EXPECT_EQ(h.Art, TArt({3}));
    ASSERT_EQ(h.Przypisy.size(), 1u);
    EXPECT_EQ(h.Przypisy[0].Miejsca, std::vector<std::uint16_t>({1}));

    r.Slowa.push_back(0x10000);   // does not fit two bytes
    EXPECT_THROW(ZapiszRekord(r), EZapis);
    r.Slowa.pop_back();
    r.SlowaWWierszu.push_back(0);
    EXPECT_THROW(ZapiszRekord(r), EZapis);
}
