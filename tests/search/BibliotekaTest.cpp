// The library search against a plain reference: every document decoded in
// full, its words read off the text, the units and terms checked word by
// word. Every hit must be found, and nothing else, on the demo library and
// on generated ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "packer/Generator.h"
#include "packer/Packer.h"
#include "platform/core/Cp1250.h"
#include "search/Biblioteka.h"
#include "search/Litery.h"
#include "search/Morfologia.h"
#include "store/Jednostki.h"
#include "store/Kontener.h"
#include "store/Pliki.h"

using namespace szukanie;
namespace fs = std::filesystem;

namespace {

std::string u(std::string_view utf8) { return cp1250::fromUtf8(utf8); }

TMorfologia* morfologia() { return TMorfologia::Wspolna(); }

class Folder {
public:
    Folder()
    {
        std::random_device rd;
        p = fs::temp_directory_path() / ("lumesta-szukanie-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(p);
    }
    ~Folder() { fs::remove_all(p); }
    fs::path p;
};

// A packed library in a scratch folder, its words grouped.
struct Biblioteka {
    Folder folder;
    std::unique_ptr<TBiblioteka> b;

    Biblioteka(const fs::path& zrodla, bool zMorfologia)
    {
        packer::Problems problemy;
        if (!packer::packFolder(zrodla, folder.p, problemy))
            throw std::runtime_error("pack failed: " + (problemy.empty() ? "" : problemy[0].toString()));
        b = std::make_unique<TBiblioteka>(folder.p / packer::kDictionaryFile, folder.p / packer::kDataFolder);
        std::string blad;
        if (!b->Przygotuj([&] { return zMorfologia ? morfologia() : nullptr; }, &blad))
            throw std::runtime_error(blad);
    }
};

// ---------------------------------------------------------------------------
// The reference.

struct Slowo {
    std::size_t linia;   // index into the unit's lines
    std::size_t od, dl;
    std::uint32_t bity;
};
struct Linia {
    bool przypis;
    std::size_t indeks;
    std::string tekst;
    std::string jednostka;
};

using Zakresy = std::vector<TLiniaWyniku::TZakres>;
struct Linijka {
    std::string tekst;
    Zakresy zakresy;
    std::string jednostka;
};
// (footnote?, index) -> the line's text, ranges and unit
using Wynik = std::map<std::pair<bool, std::size_t>, Linijka>;

void ocenJednostke(const TPrzygotowaneZapytanie& z, const TRdzenie& r, const std::vector<Linia>& linie,
                   const std::vector<std::size_t>& pomin, Wynik& wynik)
{
    std::vector<Slowo> slowa;
    for (std::size_t i = 0; i < linie.size(); ++i) {
        const std::string& t = linie[i].tekst;
        const std::string_view reszta = std::string_view(t).substr(pomin[i]);
        DlaSlow(reszta, [&](TFragment f) {
            const auto forma = r.ZnajdzForme(Zloz(reszta.substr(f.Od, f.Dlugosc), false));
            slowa.push_back({i, pomin[i] + f.Od, f.Dlugosc, forma ? z.BityFormy(*forma) : 0});
        });
    }
    std::vector<std::pair<std::size_t, std::size_t>> trafienia;   // word index, count
    for (const auto& w : z.Wyrazenia()) {
        bool jest = false;
        for (std::size_t s = 0; s + w.Dlugosc <= slowa.size(); ++s) {
            bool ok = true;
            for (std::size_t k = 0; k < w.Dlugosc && ok; ++k)
                ok = slowa[s + k].linia == slowa[s].linia && (slowa[s + k].bity >> (w.Od + k) & 1u);
            if (ok) {
                trafienia.push_back({s, w.Dlugosc});
                jest = true;
            }
        }
        if (!jest)
            return;
    }
    std::map<std::size_t, Zakresy> poLiniach;
    for (auto [s, n] : trafienia) {
        const Slowo& a = slowa[s];
        const Slowo& b = slowa[s + n - 1];
        poLiniach[a.linia].push_back({a.od, b.od + b.dl - a.od});
    }
    for (auto& [l, zakresy] : poLiniach) {
        std::sort(zakresy.begin(), zakresy.end(), [](auto& x, auto& y) {
            return x.Od != y.Od ? x.Od < y.Od : x.Dlugosc < y.Dlugosc;
        });
        Zakresy scalone;
        for (const auto& z : zakresy) {
            if (!scalone.empty() && z.Od < scalone.back().Od + scalone.back().Dlugosc)
                scalone.back().Dlugosc = std::max(scalone.back().Od + scalone.back().Dlugosc, z.Od + z.Dlugosc) -
                                         scalone.back().Od;
            else
                scalone.push_back(z);
        }
        wynik[{linie[l].przypis, linie[l].indeks}] = {linie[l].tekst, scalone, linie[l].jednostka};
    }
}

Wynik wzorzec(const TBiblioteka& b, const TDokumentBiblioteki& d, const TPrzygotowaneZapytanie& z)
{
    TKontener k;
    std::string rekord;
    if (!k.Otworz(d.Kontener) || !k.CzytajRekord(d.Wpis, rekord))
        throw std::runtime_error("cannot read " + d.Nazwa);
    TListaNapisow tekst, przypisy;
    TPlik plik;
    DekodujRekord(rekord, b.Slownik(), nullptr, tekst, przypisy, plik);

    // Units from the index of the whole document; a footnote is placed where
    // its mark is.
    const TIndeksJednostek indeks(plik);
    auto miejsce = [&](std::size_t akapit) {
        std::string o = OpisAdresu(indeks.Adres(akapit));
        if (o.empty() && !indeks.Naglowki(akapit).empty())
            o = indeks.Naglowki(akapit).back();
        return o;
    };
    std::vector<std::size_t> znaczniki;
    for (std::size_t i = 0; i < plik.size(); ++i)
        for (const TTekst& p : plik[i])
            if (p.Rodzaj == rPrzypis)
                znaczniki.push_back(i);

    Wynik wynik;
    std::vector<Linia> linie;
    std::vector<std::size_t> pomin;
    auto zamknij = [&] {
        if (!linie.empty())
            ocenJednostke(z, b.Rdzenie(), linie, pomin, wynik);
        linie.clear();
        pomin.clear();
    };
    for (std::size_t i = 0; i < plik.size(); ++i) {
        const std::uint8_t rodzaj = plik[i].empty() ? 0 : plik[i][0].Rodzaj;
        if ((rodzaj >= 1 && rodzaj <= 3) || (rodzaj >= 6 && rodzaj <= 23))
            zamknij();
        std::string t;
        for (const TTekst& p : plik[i])
            t += p.Tekst;
        // A heading word is no word of the token stream.
        const std::size_t naglowek = (rodzaj != rTekst && rodzaj != rPrzypis) ? plik[i][0].Tekst.size() : 0;
        linie.push_back({false, i, t, miejsce(i)});
        pomin.push_back(naglowek);
    }
    zamknij();
    std::size_t przypis = 0;
    for (std::size_t i = 0; i < przypisy.size(); ++i) {
        const std::string& t = przypisy[i];
        if (t.empty()) {
            zamknij();
            ++przypis;
            continue;
        }
        // "(n) " before the first line of a footnote is the decoder's, not the text's.
        std::size_t numer = 0;
        if (t[0] == '(' && linie.empty())
            numer = t.find(") ") + 2;
        linie.push_back({true, i, t, przypis - 1 < znaczniki.size() ? miejsce(znaczniki[przypis - 1]) : ""});
        pomin.push_back(numer);
    }
    zamknij();
    return wynik;
}

std::size_t jednostek = 0;   // hits whose unit was compared

// Runs the query both ways over the whole library; returns the hits found.
std::size_t porownaj(const TBiblioteka& b, const TZapytanie& zapytanie, const std::string& opis)
{
    auto m = [] { return morfologia(); };
    const TPrzygotowaneZapytanie z(zapytanie, b.Rdzenie(), m);
    std::map<std::string, Wynik> silnik;
    b.Szukaj(zapytanie, m, [&](TWynikDokumentu&& d) {
        Wynik& w = silnik[d.Dokument.Nazwa];
        for (const TLiniaWyniku& l : d.Linie) {
            EXPECT_FALSE(w.count({l.Przypis, l.Linia})) << opis;
            w[{l.Przypis, l.Linia}] = {l.Tekst, l.Trafienia, l.Jednostka};
        }
        return true;
    });
    std::size_t trafien = 0;
    for (const TDokumentBiblioteki& d : b.Dokumenty()) {
        const Wynik wz = wzorzec(b, d, z);
        const Wynik& s = silnik[d.Nazwa];
        for (const auto& [gdzie, w] : wz) {
            const auto it = s.find(gdzie);
            if (it == s.end()) {
                ADD_FAILURE() << opis << ": missed " << d.Nazwa << (gdzie.first ? " footnote line " : " line ")
                              << gdzie.second << ": " << cp1250::toUtf8(w.tekst);
                continue;
            }
            trafien += w.zakresy.size();
            EXPECT_EQ(it->second.tekst, w.tekst) << opis;
            EXPECT_EQ(it->second.zakresy, w.zakresy) << opis << " in " << d.Nazwa << " line " << gdzie.second
                                                     << ": " << cp1250::toUtf8(w.tekst);
            EXPECT_EQ(cp1250::toUtf8(it->second.jednostka), cp1250::toUtf8(w.jednostka))
                << opis << " in " << d.Nazwa << " line " << gdzie.second << ": " << cp1250::toUtf8(w.tekst);
            jednostek += !w.jednostka.empty();
        }
        for (const auto& [gdzie, w] : s)
            if (!wz.count(gdzie))
                ADD_FAILURE() << opis << ": false hit in " << d.Nazwa << " line " << gdzie.second << ": "
                              << cp1250::toUtf8(w.tekst);
    }
    return trafien;
}

// Random queries made of the library's own words: single words, sets of
// words, and phrases cut out of its lines.
void losowePorownania(const TBiblioteka& b, std::uint32_t ziarno, int ile, std::size_t& trafien, int& zTrafieniami)
{
    std::mt19937 los(ziarno);
    std::vector<std::string> linie;
    TKontener k;
    std::string rekord;
    for (const TDokumentBiblioteki& d : b.Dokumenty()) {
        if (!k.Otworz(d.Kontener) || !k.CzytajRekord(d.Wpis, rekord))
            continue;
        TListaNapisow tekst, przypisy;
        TPlik plik;
        DekodujRekord(rekord, b.Slownik(), nullptr, tekst, przypisy, plik);
        for (const auto& w : plik) {
            std::string t;
            for (const auto& p : w)
                if (p.Rodzaj == rTekst)
                    t += p.Tekst;
            linie.push_back(t);
        }
        for (const auto& p : przypisy)
            linie.push_back(p);
    }
    auto slowaLinii = [&](const std::string& t) {
        std::vector<std::string> s;
        DlaSlow(t, [&](TFragment f) { s.push_back(t.substr(f.Od, f.Dlugosc)); });
        return s;
    };
    for (int n = 0; n < ile; ++n) {
        std::string zapytanie;
        const int rodzaj = int(los() % 4);
        const auto s = slowaLinii(linie[los() % linie.size()]);
        if (s.empty())
            continue;
        if (rodzaj == 0) {
            zapytanie = s[los() % s.size()];
        } else if (rodzaj == 1) {
            for (int i = 0; i < 2 + int(los() % 2); ++i)
                zapytanie += s[los() % s.size()] + " ";
        } else {
            const std::size_t od = los() % s.size();
            zapytanie = "\"";
            for (std::size_t i = od; i < std::min(s.size(), od + 2 + los() % 2); ++i)
                zapytanie += s[i] + " ";
            zapytanie += "\"";
            const auto inne = slowaLinii(linie[los() % linie.size()]);
            if (rodzaj == 3 && !inne.empty())
                zapytanie += " " + inne.front();
        }
        const bool dokladnie = los() % 3 == 0;
        const std::size_t t = porownaj(b, RozbierzZapytanie(zapytanie, dokladnie),
                                       cp1250::toUtf8(zapytanie) + (dokladnie ? " --exact" : ""));
        trafien += t;
        zTrafieniami += t > 0;
        if (::testing::Test::HasFailure())
            return;
    }
}

} // namespace

TEST(Biblioteka, DemoLibraryAgreesWithThePlainScan)
{
    ASSERT_NE(morfologia(), nullptr);
    Biblioteka demo(fs::path(LUMESTA_SOURCE_DIR) / "demo", true);
    std::size_t trafien = 0;
    for (const char* q : {"umowa", "sąd", "zmiany", "przepis umowa", "\"umów zawartych\"", "\"przepis 1\"",
                          "art", "Dz", "1998", "kodeks \"dnia 10 lipca\"", "niezgodny", "ustawa"})
        trafien += porownaj(*demo.b, RozbierzZapytanie(u(q)), q);
    for (const char* q : {"umowa", "umów", "Sąd", "\"umów zawartych\""})
        trafien += porownaj(*demo.b, RozbierzZapytanie(u(q), true), std::string(q) + " --exact");
    EXPECT_GT(trafien, 100u);
    int zTrafieniami = 0;
    losowePorownania(*demo.b, 1, 150, trafien, zTrafieniami);
    EXPECT_GT(zTrafieniami, 90);
    EXPECT_GT(jednostek, 100u);
}

// Lines decoded alone read exactly as in the whole document, on records the
// packer wrote (what random records may do to a line's end, it never does).
TEST(Biblioteka, ChosenLinesOfPackedRecordsAreExact)
{
    Folder zrodla;
    packer::Problems problemy;
    ASSERT_TRUE(packer::writeGeneratedLibrary(zrodla.p, packer::generateLibrary(200'000, 17, 2, 3), problemy));
    Biblioteka b(zrodla.p, false);
    std::mt19937 los(17);
    std::size_t linii = 0;
    for (const TDokumentBiblioteki& d : b.b->Dokumenty()) {
        TKontener k;
        std::string rekord;
        ASSERT_TRUE(k.Otworz(d.Kontener) && k.CzytajRekord(d.Wpis, rekord));
        TListaNapisow tekst, przypisy;
        TPlik plik;
        DekodujRekord(rekord, b.b->Slownik(), nullptr, tekst, przypisy, plik);
        for (int proba = 0; proba < 3; ++proba) {
            std::vector<std::size_t> wybor;
            for (std::size_t l = 0; l < plik.size() + przypisy.size(); ++l)
                if (los() % (proba + 2) == 0)
                    wybor.push_back(l);
            std::vector<TLiniaRekordu> linie;
            ASSERT_TRUE(DekodujLinie(rekord, b.b->Slownik(), wybor, linie));
            for (const TLiniaRekordu& l : linie) {
                std::string oczekiwany;
                if (l.Przypis) {
                    ASSERT_LT(l.Indeks, przypisy.size());
                    oczekiwany = przypisy[l.Indeks];
                } else if (l.Indeks < plik.size()) {
                    for (const TTekst& t : plik[l.Indeks])
                        oczekiwany += t.Tekst;
                } else {
                    continue;
                }
                ASSERT_EQ(l.Tekst, oczekiwany) << d.Nazwa << " line " << l.Linia;
                // Every word stands where it is said to.
                std::size_t od = 0;
                for (std::uint32_t s : l.Slowa) {
                    ASSERT_GE(s, od);
                    ASSERT_LE(s, l.Tekst.size());
                    od = s;
                }
                ++linii;
            }
        }
    }
    EXPECT_GT(linii, 1000u);
}

TEST(Biblioteka, GeneratedLibrariesAgreeWithThePlainScan)
{
    for (std::uint64_t ziarno : {5u, 11u}) {
        Folder zrodla;
        packer::Problems problemy;
        ASSERT_TRUE(packer::writeGeneratedLibrary(zrodla.p, packer::generateLibrary(250'000, ziarno, 3, 4), problemy));
        // One library with the morphology, one with every form on its own.
        Biblioteka b(zrodla.p, ziarno == 5);
        std::size_t trafien = 0;
        int zTrafieniami = 0;
        for (const char* q : {"sąd", "umowy przepisy", "\"stosuje się odpowiednio\"", "art ust"})
            trafien += porownaj(*b.b, RozbierzZapytanie(u(q)), q);
        losowePorownania(*b.b, std::uint32_t(ziarno), 60, trafien, zTrafieniami);
        // Most of the random queries find something, so that the
        // comparisons are not of empty results.
        EXPECT_GT(zTrafieniami, 40);
        EXPECT_GT(trafien, 1000u);
        if (HasFailure())
            return;
    }
}
