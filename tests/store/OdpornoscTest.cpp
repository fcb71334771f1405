// Damaged data: truncated and bit-flipped copies of valid files must decode
// to messages or partial results, never to a crash or a read out of bounds
// (run these under the sanitizer build to see the latter).
#include <gtest/gtest.h>

#include <random>

#include "Pomocnicze.h"
#include "store/Narzedzia.h"

namespace {

struct Dane {
    TSlownik slownik;
    std::string rekord;
};

Dane poprawne()
{
    TDokumentTekst d;
    d.H = 3;
    for (int i = 0; i < 40; ++i) {
        TWiersz w;
        if (i % 5 == 0)
            w.push_back({2, SlowoNaglowka(2)});
        w.push_back({0, (i % 5 == 0 ? ". " : "") + std::string("zdanie (numer ") + std::to_string(i) +
                            "), a potem: koniec "});
        w.push_back({4, ""});
        w.push_back({0, " i dalej; tak."});
        if (i % 3 == 0) {
            w.push_back({4, ""});
            w.push_back({0, ""});
        }
        d.Akapity.push_back(std::move(w));
    }
    for (int i = 0; i < 12; ++i)
        d.Przypisy.push_back({" Dz.U.1998." + std::to_string(i) + ".5 zmiana", " druga linia."});
    TBudowaSlownika b;
    TWynikKodowania w = KodujDokument(d, b);
    EXPECT_TRUE(w.Problemy.empty());
    return {b.Slownik(), ZapiszRekord(w.Rekord)};
}

std::string zepsuj(std::string s, std::mt19937& los)
{
    switch (los() % 4) {
    case 0:   // cut
        s.resize(los() % (s.size() + 1));
        break;
    case 1:   // flip a few bits
        for (int i = 0, n = 1 + int(los() % 8); i < n && !s.empty(); ++i)
            s[los() % s.size()] ^= char(1u << (los() % 8));
        break;
    case 2:   // overwrite a byte, often in the header
        if (!s.empty())
            s[los() % std::min<std::size_t>(s.size(), los() % 2 ? 64 : s.size())] = char(los());
        break;
    default:   // a run of 0xFF, as counts at their maximum
        if (!s.empty()) {
            std::size_t p = los() % s.size();
            for (std::size_t i = p; i < std::min(s.size(), p + 4); ++i)
                s[i] = '\xff';
        }
    }
    if (s.size() >= 3 && los() % 4 != 0)
        s.replace(0, 3, "DzU");   // keep the magic most of the time, to get past it
    return s;
}

} // namespace

TEST(Odpornosc, DamagedRecordsDecodeSafely)
{
    const Dane d = poprawne();
    auto wzor = testy::dekoduj(d.rekord, d.slownik);
    ASSERT_EQ(wzor.plik.size(), 40u);
    std::mt19937 los(2024);
    for (int i = 0; i < 3000; ++i) {
        const std::string s = zepsuj(d.rekord, los);
        auto w = testy::dekoduj(s, d.slownik);
        // Paragraphs come only from line ends, so they cannot outnumber the
        // lines the record's tables can describe.
        EXPECT_LE(w.plik.size(), s.size()) << "case " << i;
    }
}

TEST(Odpornosc, DamagedContainersAndDictionaries)
{
    const Dane d = poprawne();
    testy::TymczasowyFolder f;
    const std::string slownik = ZapiszSlownik(d.slownik);
    const std::string kontener = ZapiszKontener({{0, 0, 0, d.rekord}, {3, 3, 0, d.rekord}, {9, 9, 1, "x"}});
    std::mt19937 los(99);
    TZbiorKomunikatow k;
    TPliki p(&k);
    for (int i = 0; i < 400; ++i) {
        testy::zapisz(f.sciezka() / "Morvitane.sko", zepsuj(slownik, los));
        std::string c = zepsuj(kontener, los);
        if (c.size() >= 3 && los() % 3 != 0)
            c.replace(0, 3, "RDU");
        testy::zapisz(f.sciezka() / "Lumesta.rdu", c);
        p.WczytajSlownik(f.sciezka() / "Morvitane.sko");
        TListaNapisow tekst, przypisy, tytuly;
        TPlik plik;
        p.OtworzDokument(f.sciezka(), i % 2 ? "Kodeks karny" : "Kodeks cywilny", tekst, przypisy, plik, true,
                         tytuly);
        EXPECT_LE(tytuly.size(), 65536u);
        EXPECT_TRUE(p.Plik.empty());
    }
}

TEST(Odpornosc, CitationScanOnNoise)
{
    std::mt19937 los(5);
    const std::string kawalki[] = {"Dz.U.", "Dz. U. ", "1998", ".", " ", "106", "x", "12345678", "(", ")"};
    for (int i = 0; i < 3000; ++i) {
        std::string t;
        for (int n = int(los() % 12); n > 0; --n)
            t += kawalki[los() % std::size(kawalki)];
        TDziennikiUstaw l;
        const bool jest = SzukajDziennikow(t, l);
        EXPECT_EQ(jest, !l.empty());
        for (const auto& c : l) {
            EXPECT_GE(c.Od, 1);
            EXPECT_LE(c.Od, std::int32_t(t.size()));
            EXPECT_EQ(t.compare(std::size_t(c.Od - 1), 2, "Dz"), 0);
            Wycinek(t, c.Od - 1, c.Do - 2);
        }
    }
}
