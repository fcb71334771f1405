// The production decoder, citation scanner and name rule against the plain
// reference versions in Wzorzec.h, on random input built byte by byte (not
// through the writer, which is the decoder's own inverse and would hide a
// misread rule on both sides).
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <random>

#include "Pomocnicze.h"
#include "Wzorzec.h"
#include "store/Narzedzia.h"

namespace {

struct Bajty {
    std::string b;
    void u8(std::uint32_t v) { b.push_back(char(v & 0xFF)); }
    void u16(std::uint32_t v) { u8(v), u8(v >> 8); }
    void i32(std::int32_t v)
    {
        const auto w = std::uint32_t(v);
        u16(w & 0xFFFF), u16(w >> 16);
    }
};

struct LosowyRekord {
    TSlownik slownik;
    std::string bajty;
};

// A random act record, written field by field. The tables are random but
// mostly agree with each other (T and U match the lines' token counts, the
// per-line tables cover every line the passes reach, word indices fit the
// dictionary), so that most records exercise the whole replay; now and then
// one of them is off, which the reference reports as open.
LosowyRekord losujRekord(std::mt19937& los)
{
    auto r = [&](int n) { return int(los() % std::uint32_t(n)); };   // 0 .. n-1
    auto szansa = [&](int procent) { return r(100) < procent; };

    LosowyRekord wynik;
    // Dictionary: short words, some empty, a few with inner spaces or
    // Polish letters; sometimes more than one byte of indices can hold.
    const int rozmiarSlownika = szansa(15) ? 200 + r(400) : 1 + r(60);
    static const char litery[] = "abcdeklmnoprstuwyz\xB9\xEA\xB3\xBF";
    for (int i = 0; i < rozmiarSlownika; ++i) {
        std::string w;
        const int n = szansa(5) ? 0 : 1 + r(7);
        for (int k = 0; k < n; ++k)
            w.push_back(szansa(4) && k > 0 ? ' ' : litery[r(sizeof litery - 1)]);
        wynik.slownik.push_back({w, std::int32_t(los())});
    }

    const int kodSzerokosci = szansa(92) ? 1 + r(4) : (szansa(50) ? 0 : 5 + r(250));
    const int bajtyIndeksu = kodSzerokosci == 1 ? 1 : kodSzerokosci == 2 ? 2
                             : (kodSzerokosci == 3 || kodSzerokosci == 4) ? 4 : 0;
    std::uint32_t najwiekszyIndeks = std::uint32_t(rozmiarSlownika - 1);
    if (bajtyIndeksu == 1)
        najwiekszyIndeks = std::min<std::uint32_t>(najwiekszyIndeks, 255);

    // Lines: main text, then the footnotes' lines, then maybe a few spare.
    const int glowne = r(25);
    const bool zPrzypisami = szansa(70);
    std::vector<int> bloki;
    if (zPrzypisami)
        for (int i = 0, n = 1 + r(5); i < n; ++i)
            bloki.push_back(szansa(70) ? 0 : 1 + r(2));
    int liniePrzypisow = 0;
    for (int b : bloki)
        liniePrzypisow += b + 1;
    const int linie = glowne + liniePrzypisow + (szansa(20) ? 1 + r(3) : 0);

    const auto ileLinii = static_cast<std::size_t>(linie);
    std::vector<int> slowaWW(ileLinii), znakiWW(ileLinii), art(ileLinii);
    for (int i = 0; i < linie; ++i) {
        slowaWW[std::size_t(i)] = szansa(3) ? 0 : 1 + r(12);
        znakiWW[std::size_t(i)] = szansa(30) ? 0 : r(6);
        art[std::size_t(i)] = szansa(70) ? 0 : szansa(80) ? 1 + r(23) : r(256);
    }
    int liczbaArt = linie;
    if (szansa(5))
        liczbaArt = r(linie + 1);
    else if (szansa(5))
        liczbaArt = linie + r(3);
    art.resize(std::size_t(liczbaArt), 0);

    // Punctuation: common marks, any listed code, any byte at all; short
    // distances so that marks fall due often, 0 for runs at one point.
    TZnaki znaki;
    static const int czeste[] = {11, 13, 7, 8, 15, 16, 20, 1, 39, 12, 14, 6, 22, 24};
    for (int i = 0, n = r(70); i < n; ++i) {
        TZnak z;
        z.Kod = std::uint8_t(szansa(45) ? czeste[r(std::size(czeste))] : szansa(50) ? r(63) : r(256));
        z.Odstep = std::uint8_t(szansa(25) ? 0 : szansa(90) ? 1 + r(4) : r(256));
        znaki.push_back(z);
    }

    // T: one iteration per token of the main lines, sometimes a few more or
    // fewer. W (words the main pass reads) follows from the line tracking.
    int tokenyGlowne = 0;
    for (int i = 0; i < glowne; ++i)
        tokenyGlowne += slowaWW[std::size_t(i)];
    std::int32_t T = tokenyGlowne - 1;
    if (szansa(15))
        T += r(11) - 5;
    std::int64_t W = 0;
    {
        std::int64_t linia = 0, wLinii = 0;
        for (std::int64_t i = 0; i <= T; ++i) {
            const bool naglowek = wLinii == 0 && linia < liczbaArt && art[std::size_t(linia)] != 0;
            if (!naglowek)
                ++W;
            ++wLinii;
            if (linia < linie && slowaWW[std::size_t(linia)] == wLinii)
                ++linia, wLinii = 0;
        }
    }

    // Anchor records: lines anywhere (a few past the main text), positions
    // within or just past the line, mostly in order.
    TPrzypisy przypisy;
    if (zPrzypisami || szansa(10)) {
        for (int i = 0, n = 1 + r(8); i < n; ++i) {
            TPrzypis p;
            // Now and then the record of the first footnote line, which
            // stays active through the whole footnote pass.
            p.NumerWiersza = std::uint16_t(glowne == 0 || szansa(8) ? glowne + r(3) : r(glowne));
            const int dl = p.NumerWiersza < linie ? slowaWW[p.NumerWiersza] : 3;
            for (int k = 0, m = 1 + r(3); k < m; ++k)
                p.Miejsca.push_back(std::uint16_t(r(dl + 2)));
            if (szansa(80))
                std::sort(p.Miejsca.begin(), p.Miejsca.end());
            przypisy.push_back(p);
        }
        if (szansa(80))
            std::stable_sort(przypisy.begin(), przypisy.end(),
                             [](const TPrzypis& a, const TPrzypis& b) {
                                 return a.NumerWiersza < b.NumerWiersza;
                             });
    }
    if (!przypisy.empty() && szansa(5))
        bloki.clear();   // anchors but no footnote lengths

    int tokenyPrzypisow = 0;
    for (int i = glowne; i < glowne + liniePrzypisow; ++i)
        tokenyPrzypisow += slowaWW[std::size_t(i)];
    std::int32_t U = std::int32_t(W) + tokenyPrzypisow - 1;
    if (szansa(15))
        U += r(11) - 5;
    const bool drugiPrzebieg = !przypisy.empty() && !bloki.empty();
    const std::int64_t slowa = W + (drugiPrzebieg ? std::max<std::int64_t>(0, U - W + 1) : 0);

    Bajty o;
    o.b = "DzU";
    o.u8(r(256));
    o.u8(szansa(50) ? r(4) : r(256));   // H
    o.i32(T);
    o.u8(std::uint32_t(kodSzerokosci));
    o.i32(std::int32_t(znaki.size()) - 1);
    for (const TZnak& z : znaki)
        o.u8(z.Kod), o.u8(z.Odstep);
    o.i32(linie - 1);
    for (int z : znakiWW)
        o.u8(std::uint32_t(z));
    for (int s : slowaWW)
        o.u16(std::uint32_t(s));
    // N3 is 16 bits: an empty heading table cannot be written, so one code
    // stands for it (past the lines, never read).
    if (art.empty())
        art.push_back(0);
    o.u16(std::uint32_t(art.size() - 1));
    for (int a : art)
        o.u8(std::uint32_t(a));
    o.u16(std::uint32_t(przypisy.size()));
    for (const TPrzypis& p : przypisy) {
        o.u16(p.NumerWiersza);
        o.u16(std::uint32_t(p.Miejsca.size() - 1));
        for (auto m : p.Miejsca)
            o.u16(m);
    }
    if (!przypisy.empty()) {
        o.u16(std::uint32_t(bloki.size()));
        for (int b : bloki)
            o.u8(std::uint32_t(b));
    }
    o.i32(U);
    if (bajtyIndeksu == 0) {
        // Nothing is read from the stream; its size only has to exceed the
        // words read, or the decoder's guard against a runaway T stops early.
        for (std::int64_t i = 0; i < slowa + 1 + r(4); ++i)
            o.u8(los());
    } else {
        const std::int64_t zly = szansa(3) ? r(int(slowa) + 1) : -1;
        for (std::int64_t i = 0; i < slowa; ++i) {
            std::uint32_t indeks = los() % (najwiekszyIndeks + 1);
            if (i == zly)
                indeks = std::uint32_t(rozmiarSlownika) + r(5);   // past the dictionary
            for (int k = 0; k < bajtyIndeksu; ++k)
                o.u8(indeks >> (8 * k));
        }
        if (szansa(10))
            for (int i = 0, n = r(4); i < n; ++i)
                o.u8(los());   // trailing bytes are never read
    }
    wynik.bajty = std::move(o.b);
    return wynik;
}

std::string opis(const TPlik& p)
{
    std::string o;
    for (const auto& w : p)
        o += testy::pokaz(w) + "\n";
    return o;
}

std::string szesnastkowo(std::string_view b)
{
    static const char h[] = "0123456789abcdef";
    std::string o;
    for (unsigned char c : b)
        o += std::string{h[c >> 4], h[c & 15]};
    return o;
}

} // namespace

TEST(Zgodnosc, DecoderAgreesWithTheReferenceOnRandomRecords)
{
    std::mt19937 los(20240611);
    int porownane = 0, zPrzypisami = 0, zeZnacznikami = 0, zNaglowkami = 0, otwarte = 0;
    const int ile = 6000;
    for (int n = 0; n < ile; ++n) {
        const LosowyRekord lr = losujRekord(los);
        const auto wz = wzorzec::dekoduj(lr.bajty, lr.slownik);
        TListaNapisow tekst{"stare"}, przypisy{"stare"};
        TPlik plik(2);
        TZbiorKomunikatow k;
        DekodujRekord(lr.bajty, lr.slownik, &k, tekst, przypisy, plik);
        if (wz.nieokreslony) {
            ++otwarte;
            continue;
        }
        ++porownane;
        zPrzypisami += !wz.przypisy.empty();
        for (const auto& w : wz.plik)
            for (const auto& t : w) {
                zeZnacznikami += t.Rodzaj == rPrzypis;
                zNaglowkami += t.Rodzaj != rTekst && t.Rodzaj != rPrzypis;
            }
        const bool zgodne = plik == wz.plik && tekst == wz.tekst && przypisy == wz.przypisy &&
                            k.Lista == wz.komunikaty;
        ASSERT_TRUE(zgodne) << "record " << n << ": " << szesnastkowo(lr.bajty)
                            << "\nproduction:\n" << opis(plik) << "reference:\n" << opis(wz.plik)
                            << "footnotes " << przypisy.size() << " vs " << wz.przypisy.size()
                            << ", text list " << tekst.size() << " vs " << wz.tekst.size();
    }
    // The generator must keep most records well-formed and interesting,
    // or this test would compare next to nothing.
    EXPECT_GT(porownane, ile * 3 / 4) << otwarte << " left open";
    EXPECT_GT(zPrzypisami, ile / 4);
    EXPECT_GT(zeZnacznikami, ile);
    EXPECT_GT(zNaglowkami, ile);
}

// Decoding chosen lines must give, line for line, what decoding the whole
// record gives, and say where each word read stands in its line.
TEST(Zgodnosc, ChosenLinesAgreeWithWholeDecoding)
{
    std::mt19937 los(4242);
    int sprawdzoneLinie = 0, sprawdzoneSlowa = 0, zmienione = 0, liniePrzypisow = 0, pominiete = 0;
    for (int n = 0; n < 4000; ++n) {
        const LosowyRekord lr = losujRekord(los);
        if (wzorzec::dekoduj(lr.bajty, lr.slownik).nieokreslony)
            continue;
        TListaNapisow tekst, przypisy;
        TPlik plik;
        DekodujRekord(lr.bajty, lr.slownik, nullptr, tekst, przypisy, plik);

        // Every line first, to learn the running numbers and word offsets.
        std::vector<std::size_t> wszystkie(400);
        for (std::size_t i = 0; i < wszystkie.size(); ++i)
            wszystkie[i] = i;
        std::vector<TLiniaRekordu> linie;
        ASSERT_TRUE(DekodujLinie(lr.bajty, lr.slownik, wszystkie, linie));

        // The words of the stream in reading order, for the offsets.
        TRekordDZU r;
        std::size_t strumien = 0;
        ASSERT_TRUE(CzytajNaglowekRekordu(lr.bajty, r, strumien));
        const int bajty = BajtyIndeksu(r.Szerokosc);
        std::size_t przeczytane = 0;

        std::size_t glowne = 0;
        for (std::size_t i = 0; i < linie.size(); ++i) {
            const TLiniaRekordu& l = linie[i];
            ASSERT_EQ(l.Linia, i) << "record " << n;
            const std::string& caly = l.Tekst;
            if (!l.Przypis) {
                ++glowne;
                if (l.Indeks < plik.size()) {
                    std::string oczekiwany;
                    for (const auto& t : plik[l.Indeks])
                        oczekiwany += t.Tekst;
                    EXPECT_EQ(caly, oczekiwany) << "record " << n;
                    EXPECT_EQ(l.Rodzaj, plik[l.Indeks].empty() ? std::uint8_t(rTekst) : plik[l.Indeks][0].Rodzaj) << "record " << n;
                    ++sprawdzoneLinie;
                }
            } else {
                ASSERT_LT(l.Indeks, przypisy.size()) << "record " << n;
                EXPECT_EQ(caly, przypisy[l.Indeks]) << "record " << n;
                ++sprawdzoneLinie;
                ++liniePrzypisow;
            }
            for (std::uint32_t od : l.Slowa) {
                const std::size_t p = strumien + przeczytane * std::size_t(bajty);
                ++przeczytane;
                if (bajty == 0 || p + std::size_t(bajty) > lr.bajty.size())
                    continue;
                std::uint32_t indeks = 0;
                for (int k = 0; k < bajty; ++k)
                    indeks |= std::uint32_t(static_cast<unsigned char>(lr.bajty[p + std::size_t(k)])) << (8 * k);
                if (indeks >= lr.slownik.size())
                    continue;
                const std::string& slowo = lr.slownik[indeks].Slowo;
                // Random punctuation may eat into the end of a word, or
                // the end of a line cut it off, or a damaged footnote line
                // throw it away; such words are rare, and only counted.
                ++sprawdzoneSlowa;
                if (od > caly.size() || caly.compare(od, slowo.size(), slowo) != 0)
                    ++zmienione;
            }
        }
        EXPECT_GE(glowne, plik.size()) << "record " << n;

        // A random choice of lines gives the same lines.
        std::vector<std::size_t> wybor;
        for (std::size_t i = 0; i < linie.size(); ++i)
            if (los() % 3 == 0)
                wybor.push_back(i);
        std::vector<TLiniaRekordu> czesc;
        ASSERT_TRUE(DekodujLinie(lr.bajty, lr.slownik, wybor, czesc));
        ASSERT_EQ(czesc.size(), wybor.size()) << "record " << n;
        for (std::size_t k = 0; k < czesc.size(); ++k) {
            const TLiniaRekordu& a = czesc[k];
            const TLiniaRekordu& b = linie[wybor[k]];
            // A line left out keeps of each word only its last letter, for
            // what its end carries over; random punctuation may carry more
            // than the packer ever writes, so such lines are only counted.
            if (a.Tekst != b.Tekst || a.Slowa != b.Slowa) {
                ++pominiete;
                continue;
            }
            EXPECT_EQ(a.Linia, b.Linia);
            EXPECT_EQ(a.Indeks, b.Indeks);
            EXPECT_EQ(a.Przypis, b.Przypis);
            EXPECT_EQ(a.NumerPrzypisu, b.NumerPrzypisu);
            EXPECT_EQ(a.Rodzaj, b.Rodzaj);
        }
    }
    EXPECT_GT(sprawdzoneLinie, 20000);
    EXPECT_GT(liniePrzypisow, 2000);
    EXPECT_GT(sprawdzoneSlowa, 50000);
    EXPECT_LT(zmienione, sprawdzoneSlowa / 50);
    EXPECT_LT(pominiete, sprawdzoneLinie / 100);
}

TEST(Zgodnosc, DamagedRandomRecordsDecodeSafely)
{
    // Records the reference leaves open and bytes cut or overwritten at
    // random: the decoder must end, within the bytes, with a partial result.
    std::mt19937 los(77);
    for (int n = 0; n < 3000; ++n) {
        LosowyRekord lr = losujRekord(los);
        std::string& b = lr.bajty;
        switch (n % 4) {
        case 0:
            b.resize(los() % (b.size() + 1));
            break;
        case 1:
            for (int i = 0; i < 4; ++i)
                b[3 + los() % (b.size() - 3)] = char(los());
            break;
        case 2: {   // a 32-bit count at its largest: T, N1, or anywhere in the header
            const std::size_t od = n % 3 == 0 ? 5 : n % 3 == 1 ? 10 : 3 + los() % 40;
            for (std::size_t i = 0; i < 4 && od + i < b.size(); ++i)
                b[od + i] = i == 3 ? '\x7f' : '\xff';
            break;
        }
        default:
            lr.slownik.resize(lr.slownik.size() / 2);
            break;
        }
        TListaNapisow tekst, przypisy;
        TPlik plik;
        DekodujRekord(b, lr.slownik, nullptr, tekst, przypisy, plik);
        // Every paragraph and line comes from the bytes present.
        std::size_t razem = 0;
        for (const auto& w : plik)
            for (const auto& t : w)
                razem += t.Tekst.size();
        EXPECT_LT(razem, (b.size() + 64) * 300) << "record " << n;
    }
}

TEST(Zgodnosc, CitationScanAgreesWithTheReference)
{
    std::mt19937 los(5);
    static const char* const kawalki[] = {"Dz", ".", " ", "U", "0", "1", "2", "5", "9", "8",
                                          "a", "x", "Dz. U. ", "Dz.U.", "19", "106", "(", ",",
                                          "\xB9"};
    int zSpacjami = 0, bezSpacji = 0;
    for (int n = 0; n < 40000; ++n) {
        // Random pieces, or a citation-like run: a prefix, then digits,
        // full stops and spaces, with noise around.
        std::string s;
        for (int i = 0, k = int(los() % 12); i < k; ++i)
            s += kawalki[los() % std::size(kawalki)];
        if (los() % 2) {
            s += los() % 2 ? "Dz. U. " : "Dz.U.";
            for (int i = 0, k = int(los() % 22); i < k; ++i)
                s += "0123456789.. "[los() % 13];
            for (int i = 0, k = int(los() % 6); i < k; ++i)
                s += kawalki[los() % std::size(kawalki)];
        }
        TDziennikiUstaw a{{"stare", 1, 2}}, b;
        const bool wa = SzukajDziennikow(s, a);
        const bool wb = wzorzec::szukajDziennikow(s, b);
        ASSERT_EQ(wa, wb) << '"' << s << '"';
        ASSERT_EQ(a, b) << '"' << s << '"';
        TDziennikiUstaw c, d;
        ASSERT_EQ(SzukajDziennikowBezSpacji(s, c), wzorzec::skanuj(s, d, false)) << s;
        ASSERT_EQ(c, d) << '"' << s << '"';
        if (wa)
            (wzorzec::skanuj(s, d, true) ? zSpacjami : bezSpacji) += 1;
    }
    EXPECT_GT(zSpacjami, 500);
    EXPECT_GT(bezSpacji, 500);
}

TEST(Zgodnosc, NameRuleAgreesWithTheReference)
{
    std::mt19937 los(9);
    const std::vector<std::string> kawalki = {
        "Dz", ".", "U", "1998", "0", "7", "65536", "4294967296", "2147483648", "x", " ",
        cp1250::fromUtf8("Kodeks postępowania cywilnego"), cp1250::fromUtf8("KODEKS SPÓŁEK HANDLOWYCH"),
        cp1250::fromUtf8("kodeks spółek handlowych"), "kodeks cywilny", "KODEKS KARNY",
        cp1250::fromUtf8("Kodeks wykroczeń"), cp1250::fromUtf8("KODEKS WYKROCZEŃ"),
        cp1250::fromUtf8("Konstytucja Rzeczypospolitej Polskiej")};
    int kodeksy = 0, dzienniki = 0, bledy = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string s;
        // One title alone, a journal-like name of digit runs and dots, or
        // a mix of any pieces.
        const auto rodzaj = los() % 3;
        if (rodzaj == 0) {
            s = kawalki[11 + los() % 8];
        } else if (rodzaj == 1) {
            s = los() % 4 ? "Dz.U." : "";
            for (int i = 0, k = int(los() % 9); i < k; ++i)
                s += los() % 3 ? kawalki[3 + los() % 6] : ".";
        } else {
            for (int i = 0, k = 1 + int(los() % 9); i < k; ++i)
                s += kawalki[los() % kawalki.size()];
        }
        const auto wz = wzorzec::rozbierzNazwe(s);
        const auto pr = SprobujRozbierzNazwe(s);
        ASSERT_EQ(pr.has_value(), wz.has_value()) << s;
        if (!wz) {
            ++bledy;
            continue;
        }
        ASSERT_EQ(*pr, *wz) << s;
        (wz->Rok == "Lumesta" ? kodeksy : dzienniki) += 1;
    }
    EXPECT_GT(kodeksy, 2000);
    EXPECT_GT(dzienniki, 500);
    EXPECT_GT(bledy, 100);
}

TEST(Odpornosc, AnchorRecordOfTheFirstFootnoteLineStaysCheap)
{
    // A damaged record whose one anchor record (65536 positions) names the
    // first footnote line: that record stays active through the footnote
    // pass and places all its marks on each of the 150 footnote lines. The
    // marks of that pass never reach the caller; keeping them would take
    // close to a gigabyte.
    const int linie = 150;
    Bajty o;
    o.b = "DzU";
    o.u8(0), o.u8(0);
    o.i32(0);        // T: one main-text token
    o.u8(1);         // one-byte word indices
    o.i32(-1);       // no punctuation
    o.i32(linie);    // line 0 is the text, lines 1..150 the footnote
    for (int i = 0; i <= linie; ++i)
        o.u8(0);
    for (int i = 0; i <= linie; ++i)
        o.u16(1);
    o.u16(0), o.u8(0);        // heading codes
    o.u16(1);                 // F = 1
    o.u16(1), o.u16(65535);   // line 1, 65536 positions
    for (int i = 0; i < 65536; ++i)
        o.u16(0);
    o.u16(1), o.u8(0);        // one footnote of one line
    o.i32(linie);             // U
    for (int i = 0; i <= linie; ++i)
        o.u8(0);

    rusage przed{};
    getrusage(RUSAGE_SELF, &przed);
    TListaNapisow tekst, przypisy;
    TPlik plik;
    DekodujRekord(o.b, testy::slownik({"a"}), nullptr, tekst, przypisy, plik);
    rusage po{};
    getrusage(RUSAGE_SELF, &po);
    EXPECT_LT(po.ru_maxrss - przed.ru_maxrss, 100 * 1024) << "kB";

    EXPECT_EQ(testy::pokaz(plik), std::vector<std::string>({"[0:a]"}));
    // One mark before the word and 65535 after it on the first line; the
    // numbering then runs past the one footnote and the other lines follow
    // as continuation lines, emptied by their marks.
    ASSERT_EQ(przypisy.size(), std::size_t(linie + 1));
    EXPECT_EQ(przypisy[0], "");
    EXPECT_EQ(przypisy[1], "(65537) ");
    EXPECT_EQ(przypisy[2], "");
}
