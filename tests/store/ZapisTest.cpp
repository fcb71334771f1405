// The writer: text encoded with KodujDokument must decode back exactly, and
// what cannot be encoded must be reported rather than changed.
#include <gtest/gtest.h>

#include <random>

#include "Pomocnicze.h"

using testy::akapit;
using testy::pokaz;
using V = std::vector<std::string>;

namespace {

std::string u(const char* s) { return cp1250::fromUtf8(s); }

struct Odczyt {
    TPlik plik;
    TListaNapisow tekst;
    std::vector<std::vector<std::string>> przypisy;
    TListaNapisow komunikaty;
};

// Writes the dictionary and the record as files would hold them, reads the
// dictionary back, and decodes.
Odczyt zapiszIOdczytaj(const TRekordDoZapisu& r, const TSlownik& s)
{
    testy::TymczasowyFolder f;
    testy::zapisz(f.sciezka() / "Morvitane.sko", ZapiszSlownik(s));
    testy::zapisz(f.sciezka() / "Lumesta.rdu", ZapiszKontener({{0, 0, 0, ZapiszRekord(r)}}));
    TZbiorKomunikatow k;
    TPliki p(&k);
    p.WczytajSlownik(f.sciezka() / "Morvitane.sko");
    Odczyt o;
    TListaNapisow lista, tytuly;
    p.OtworzDokument(f.sciezka(), "Kodeks cywilny", o.tekst, lista, o.plik, true, tytuly);
    EXPECT_TRUE(RozbierzListePrzypisow(lista, o.przypisy));
    o.komunikaty = k.Lista;
    return o;
}

void oczekujPowrotu(const TDokumentTekst& d, const TWynikKodowania& w, const TSlownik& s)
{
    for (const auto& p : w.Problemy)
        ADD_FAILURE() << (p.WPrzypisie ? "footnote " : "paragraph ") << p.Akapit << "." << p.Linia
                      << ": " << p.Opis;
    Odczyt o = zapiszIOdczytaj(w.Rekord, s);
    EXPECT_TRUE(o.komunikaty.empty());
    ASSERT_EQ(o.plik.size(), d.Akapity.size());
    for (std::size_t i = 0; i < d.Akapity.size(); ++i)
        EXPECT_EQ(pokaz(o.plik[i]), pokaz(d.Akapity[i])) << "paragraph " << i;
    EXPECT_EQ(o.przypisy, d.Przypisy);
}

TDokumentTekst przykladowyKodeks()
{
    TDokumentTekst d;
    d.H = 2;
    d.Akapity = {
        akapit({{7, "USTAWA"}, {0, " z dnia 23 kwietnia 1964 r."}}),
        akapit({{9, "KODEKS"}, {0, " CYWILNY"}}),
        akapit({{11, "CZĘŚĆ"}, {0, " OGÓLNA"}}),
        akapit({{2, "Art"}, {0, ". 1. Kodeks niniejszy określa zasady korzystania z pastwisk gminnych "
                                "przez hodowców i spółdzielnie wypasowe."}}),
        akapit({{2, "Art"}, {0, ". 2. (uchylony)"}}),
        akapit({{3, "§"}, {0, " 1. Jeżeli umowa wypasu nie określa liczby zwierząt, przyjmuje się "
                              "liczbę zgłoszoną sołtysowi [zob. art. 7; por. § 2]: tak!"}}),
        akapit({{2, "Art"}, {0, ". 3. Opłata nie podlega zwrotowi, chyba że wypas przerwano z "}, {4, ""},
                {0, " przyczyn niezależnych od hodowcy."}}),
        akapit({{0, "Zdanie z przypisem na końcu."}, {4, ""}, {0, ""}}),
        akapit({{0, "Przypis po kropce."}, {4, ""}, {0, ") "}}),
        akapit({{0, "a "}, {4, ""}, {0, "), b - c – d „e” 5 % i 10/12 r."}}),
        akapit({{0, ""}, {4, ""}, {0, " na początku"}}),
        akapit({{0, ""}}),
        akapit({{0, "  podwójne  spacje  "}}),
        akapit({{18, "Rozdział"}, {0, " 2"}, {4, ""}, {0, ""}, {4, ""}, {0, ""}}),
        akapit({{2, "Art"}, {0, ""}}),
        akapit({{0, "koniec ("}, {4, ""}, {0, " tekstu"}}),
    };
    d.Przypisy = {
        {u(" Dz. U. z 1998 r. Nr 106, poz. 668.")},
        {u(" Pierwsza linia przypisu"), u(" i druga (Dz.U.2001.12.34).")},
        {u(" Trzeci.")},
        {u(" Czwarty.")},
        {u(" Piąty.")},
        {u(" ")},
        {u(" Siódmy.")},
    };
    return d;
}

} // namespace

TEST(KodowanieTekstu, LegalTextComesBackExactly)
{
    TDokumentTekst d = przykladowyKodeks();
    TBudowaSlownika b;
    TWynikKodowania w = KodujDokument(d, b);
    oczekujPowrotu(d, w, b.Slownik());

    // Punctuation became marks: no word keeps a closing mark.
    for (const auto& s : b.Slownik())
        EXPECT_TRUE(s.Slowo.empty() || std::string_view(",.;:)]").find(s.Slowo.back()) == std::string_view::npos)
            << s.Slowo;
    EXPECT_GT(w.Rekord.Znaki.size(), 30u);
    // H carries to the text list: one entry per line after the header.
    Odczyt o = zapiszIOdczytaj(w.Rekord, b.Slownik());
    EXPECT_EQ(o.tekst.size(), d.Akapity.size() - 2);
}

TEST(KodowanieTekstu, WithoutFootnotesTheLastParagraphStays)
{
    TDokumentTekst d;
    d.Akapity = {akapit({{0, "jeden."}}), akapit({{0, "dwa."}})};
    TBudowaSlownika b;
    oczekujPowrotu(d, KodujDokument(d, b), b.Slownik());

    // Footnotes but no mark anywhere: the footnote text is still there.
    d.Przypisy = {{" sam przypis"}};
    TBudowaSlownika b2;
    oczekujPowrotu(d, KodujDokument(d, b2), b2.Slownik());

    d = {};
    TBudowaSlownika b3;
    auto w = KodujDokument(d, b3);
    EXPECT_TRUE(zapiszIOdczytaj(w.Rekord, b3.Slownik()).plik.empty());
}

TEST(KodowanieTekstu, ShapesTheDecoderCannotGiveAreReported)
{
    TDokumentTekst d;
    d.Akapity = {
        akapit({{0, "dobry akapit"}}),
        akapit({{2, "Artykuł"}, {0, " 1."}}),      // heading piece with another word
        akapit({{4, ""}, {0, " x"}}),              // starts with a mark
        akapit({{0, "x"}, {4, ""}}),               // ends with a mark
        akapit({{8, "Kodeks"}, {0, "owy"}}),       // glued to the heading word
        akapit({{0, "a"}, {4, ""}, {0, " b"}}),    // no space before a mark before a word
        akapit({{0, "x"}, {4, ""}, {0, ")"}}),     // ")" after a mark that follows a word
        akapit({{0, "x "}, {4, ""}, {0, ""}, {4, ""}, {0, " y"}}),   // two marks before a word
        akapit({{0, "też dobry."}}),
    };
    d.Przypisy = {{"bez spacji"}, {" dobry"}};
    TBudowaSlownika b;
    TWynikKodowania w = KodujDokument(d, b);
    std::vector<std::pair<bool, std::size_t>> gdzie;
    for (const auto& p : w.Problemy)
        gdzie.push_back({p.WPrzypisie, p.Akapit});
    EXPECT_EQ(gdzie, (std::vector<std::pair<bool, std::size_t>>{
                         {false, 1}, {false, 2}, {false, 3}, {false, 4}, {false, 5}, {false, 6}, {false, 7},
                         {true, 0}}));
    // The lines without problems decode exactly all the same.
    Odczyt o = zapiszIOdczytaj(w.Rekord, b.Slownik());
    ASSERT_EQ(o.plik.size(), d.Akapity.size());
    EXPECT_EQ(o.plik[0], d.Akapity[0]);
    EXPECT_EQ(o.plik[8], d.Akapity[8]);
    ASSERT_EQ(o.przypisy.size(), 2u);
    EXPECT_EQ(o.przypisy[1], V({" dobry"}));
}

TEST(KodowanieTekstu, RandomNaturalTextRoundTrips)
{
    std::mt19937 los(12345);
    const std::vector<std::string> slowa = {"ustawa", "art", "kodeks", u("sąd"), u("właściwość"), "na",
                                            "w", "z", "1", "12", "2001", u("przepisów"), "i", "lub"};
    const std::vector<std::string> przed = {"", "", "", "(", "[", "/"};
    const std::vector<std::string> po = {"", "", "", ",", ".", ")", ").", ";", ":", "?", "...", "%"};
    const std::vector<std::string> osobne = {"-", u("–"), "*", "+", "="};
    auto wybierz = [&](const std::vector<std::string>& v) { return v[los() % v.size()]; };
    auto zdanie = [&](int n) {
        std::string t;
        for (int i = 0; i < n; ++i) {
            if (i)
                t += ' ';
            if (los() % 9 == 0)
                t += wybierz(osobne);
            else
                t += (i ? wybierz(przed) : std::string()) + wybierz(slowa) + wybierz(po);
        }
        return t;
    };
    TDokumentTekst d;
    for (int i = 0; i < 300; ++i) {
        TWiersz w;
        const int rodzaj = int(los() % 4);
        if (rodzaj == 1)
            w.push_back({2, SlowoNaglowka(2)});
        std::string t = (rodzaj == 1 ? ". " : "") + zdanie(1 + int(los() % 25));
        if (rodzaj == 2) {   // a mark before a word, with or without punctuation after it
            w.push_back({0, t + " "});
            w.push_back({4, ""});
            t = (los() % 2 ? std::string(" ") : std::string("), ")) + zdanie(1 + int(los() % 5));
        }
        w.push_back({0, t});
        if (rodzaj == 3) {   // a mark at the line end
            w.push_back({4, ""});
            w.push_back({0, ""});
        }
        d.Akapity.push_back(std::move(w));
    }
    for (int i = 0; i < 40; ++i) {
        d.Przypisy.emplace_back();
        for (int l = 0; l < 1 + int(los() % 3); ++l)
            d.Przypisy.back().push_back(" " + zdanie(1 + int(los() % 12)));
    }
    TBudowaSlownika b;
    oczekujPowrotu(d, KodujDokument(d, b), b.Slownik());
    // Every line kept its punctuation as marks: no word ends with one.
    for (const auto& s : b.Slownik())
        EXPECT_TRUE(s.Slowo.empty() || std::string_view(",;:)").find(s.Slowo.back()) == std::string_view::npos)
            << s.Slowo;
}

TEST(KodowanieTekstu, ArbitraryBytesRoundTripThroughWords)
{
    // Any spacing and any bytes come back, if need be as whole words.
    std::mt19937 los(777);
    TDokumentTekst d;
    for (int i = 0; i < 200; ++i) {
        std::string t;
        const int n = int(los() % 120);
        for (int k = 0; k < n; ++k) {
            const unsigned r = los() % 6;
            t.push_back(r < 2 ? ' ' : char(1 + los() % 255));
        }
        d.Akapity.push_back({TTekst{0, t}});
    }
    d.Przypisy = {{" " + std::string("\xff\x01  ,,.(x")}};
    d.Akapity[0].push_back({4, ""});
    d.Akapity[0].push_back({0, ""});
    TBudowaSlownika b;
    oczekujPowrotu(d, KodujDokument(d, b), b.Slownik());
}

TEST(KodowanieTekstu, LongRunsWithoutPunctuation)
{
    // 600 words without punctuation in one line are merged into fewer
    // dictionary entries so every distance fits a byte.
    std::string t;
    for (int i = 0; i < 600; ++i)
        t += "slowo" + std::to_string(i % 7) + " ";
    t += "koniec.";
    TDokumentTekst d;
    d.Akapity = {akapit({{0, t}})};
    TBudowaSlownika b;
    oczekujPowrotu(d, KodujDokument(d, b), b.Slownik());

    // 300 one-word lines cannot be merged across line ends: refused.
    TDokumentTekst d2;
    for (int i = 0; i < 300; ++i)
        d2.Akapity.push_back(akapit({{0, "x"}}));
    d2.Akapity.push_back(akapit({{0, "y."}}));
    TBudowaSlownika b2;
    EXPECT_THROW(KodujDokument(d2, b2), EZapis);

    // A run of more than 255 bytes without a space is reported.
    TDokumentTekst d3;
    d3.Akapity = {akapit({{0, std::string(300, 'a')}})};
    TBudowaSlownika b3;
    EXPECT_EQ(KodujDokument(d3, b3).Problemy.size(), 1u);
}

TEST(KodowanieElementow, RulesOfTheFormatAreEnforced)
{
    TBudowaSlownika b;
    TDokumentElementy d;
    d.Glowne = {TLinia{0, {TElement::Z(11), TElement::S("a")}}};
    EXPECT_THROW(ZbudujRekord(d, b), EZapis);
    d.Glowne = {TLinia{0, {}}};
    EXPECT_THROW(ZbudujRekord(d, b), EZapis);
    d.Glowne = {TLinia{0, {TElement::S("a")}}};
    d.Przypisy = {{TLinia{0, {TElement::S("b"), TElement::P()}}}};
    EXPECT_THROW(ZbudujRekord(d, b), EZapis);
    d.Przypisy = {{TLinia{2, {TElement::S("b")}}}};
    EXPECT_THROW(ZbudujRekord(d, b), EZapis);
    d.Przypisy = {};
    d.Glowne = {TLinia{0, {TElement::S("a"), TElement::P(), TElement::P(), TElement::S("b")}}};
    EXPECT_THROW(ZbudujRekord(d, b), EZapis);

    // The tables of a well-formed line.
    d.Glowne = {TLinia{2, {TElement::Z(13), TElement::S("1"), TElement::Z(13), TElement::P(),
                           TElement::S("x"), TElement::Z(11)}}};
    TRekordDoZapisu r = ZbudujRekord(d, b);
    EXPECT_EQ(r.T, 2);
    EXPECT_EQ(r.SlowaWWierszu, TSlowa_w_Wierszu({3, 0}));
    EXPECT_EQ(r.ZnakiWWierszu, TZnaki_w_Wierszu({3, 0}));
    ASSERT_EQ(r.Znaki.size(), 3u);
    EXPECT_EQ(r.Znaki[0].Odstep, 1);
    EXPECT_EQ(r.Znaki[1].Odstep, 1);
    EXPECT_EQ(r.Znaki[2].Odstep, 2);   // the mark counts
    ASSERT_EQ(r.Przypisy.size(), 1u);
    EXPECT_EQ(r.Przypisy[0].Miejsca, std::vector<std::uint16_t>({2}));
    auto o = testy::dekoduj(r, b.Slownik());
    EXPECT_EQ(pokaz(o.plik), V({"[2:Art][0:. 1. ][4:][0: x,]"}));
}

TEST(BudowaSlownika, FrequentWordsGetSmallIndices)
{
    TBudowaSlownika b;
    TDokumentTekst d;
    for (int i = 0; i < 300; ++i)
        d.Akapity.push_back(akapit({{0, "rzadkie" + std::to_string(i) + "."}}));
    for (int i = 0; i < 50; ++i)
        d.Akapity.push_back(akapit({{0, "częste."}}));
    TWynikKodowania w = KodujDokument(d, b);
    EXPECT_EQ(w.Rekord.Szerokosc, 2);
    const std::uint32_t stary = b.Indeks(u("częste"));
    EXPECT_EQ(b.Uzycia(stary), 51u);
    auto mapa = b.UporzadkujWedlugCzestosci();
    EXPECT_EQ(mapa[stary], 0u);
    EXPECT_EQ(b.Slownik()[0].Slowo, u("częste"));
    EXPECT_EQ(b.Indeks(u("częste")), 0u);
    Przenumeruj(w.Rekord, mapa);
    Odczyt o = zapiszIOdczytaj(w.Rekord, b.Slownik());
    EXPECT_EQ(o.plik, d.Akapity);

    // More than 255 marks in one line: punctuation stays in the words.
    std::string t;
    for (int i = 0; i < 300; ++i)
        t += "a, ";
    t += "b.";
    TDokumentTekst d2;
    d2.Akapity = {TWiersz{TTekst{0, t}}};
    TBudowaSlownika b2;
    oczekujPowrotu(d2, KodujDokument(d2, b2), b2.Slownik());
}

TEST(ZapisPliku, FailuresLeaveThePreviousFile)
{
    testy::TymczasowyFolder f;
    const auto cel = f.sciezka() / "plik.bin";
    std::string blad;
    ASSERT_TRUE(ZapiszPlik(cel, "stare", &blad)) << blad;
    EXPECT_FALSE(ZapiszPlik(f.sciezka() / "brak" / "plik.bin", "x", &blad));
    EXPECT_FALSE(blad.empty());
    std::filesystem::create_directory(f.sciezka() / "katalog");
    EXPECT_FALSE(ZapiszPlik(f.sciezka() / "katalog", "x", &blad));
    std::ifstream in(cel, std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(s, "stare");
    // No temporary files are left behind.
    int ile = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(f.sciezka()))
        ++ile;
    EXPECT_EQ(ile, 2);
}

TEST(KodowanieTekstu, RandomShapesAreEncodedExactlyOrReported)
{
    // Random pieces, texts and headings, right or wrong: every line that is
    // not reported must come back exactly.
    std::mt19937 los(31337);
    const char alfabet[] = "ab  .,()-;:\"\x94";
    auto tekst = [&](int n) {
        std::string t;
        for (int i = 0; i < n; ++i)
            t.push_back(alfabet[los() % (sizeof alfabet - 1)]);
        return t;
    };
    int zgodne = 0;
    for (int proba = 0; proba < 60; ++proba) {
        TDokumentTekst d;
        for (int i = 0; i < 12; ++i) {
            TWiersz w;
            if (los() % 3 == 0)
                w.push_back({std::uint8_t(los() % 3 ? 2 : 18), los() % 8 ? SlowoNaglowka(2) : "Art"});
            const int kawalki = 1 + int(los() % 3);
            for (int k = 0; k < kawalki; ++k) {
                if (k)
                    w.push_back({4, ""});
                w.push_back({0, tekst(int(los() % 7))});
            }
            d.Akapity.push_back(std::move(w));
        }
        for (int p = 0; p < 3; ++p)
            d.Przypisy.push_back({(los() % 4 ? " " : "") + tekst(int(los() % 6))});
        TBudowaSlownika b;
        TWynikKodowania wynik;
        ASSERT_NO_THROW(wynik = KodujDokument(d, b)) << "case " << proba;
        Odczyt o = zapiszIOdczytaj(wynik.Rekord, b.Slownik());
        auto zgloszony = [&](bool wp, std::size_t a, std::size_t l) {
            for (const auto& p : wynik.Problemy)
                if (p.WPrzypisie == wp && p.Akapit == a && p.Linia == l)
                    return true;
            return false;
        };
        ASSERT_EQ(o.plik.size(), d.Akapity.size());
        for (std::size_t i = 0; i < d.Akapity.size(); ++i) {
            if (zgloszony(false, i, 0))
                continue;
            ++zgodne;
            EXPECT_EQ(pokaz(o.plik[i]), pokaz(d.Akapity[i])) << "case " << proba << " paragraph " << i;
        }
        for (std::size_t p = 0; p < d.Przypisy.size(); ++p) {
            if (zgloszony(true, p, 0))
                continue;
            ASSERT_LT(p, o.przypisy.size());
            EXPECT_EQ(o.przypisy[p], d.Przypisy[p]) << "case " << proba << " footnote " << p;
        }
    }
    // Most random lines can be given back; the test must not pass by
    // reporting everything.
    EXPECT_GT(zgodne, 150);
}
