#pragma once
// Reference versions of the store's decoder, citation scanner and name rule,
// written plainly and step by step, with no attention to speed, so that the
// production code can be compared with them on random input.
//
// The reference decoder parses the record bytes itself and keeps its own
// punctuation and heading tables. Where the data leave the result open (a
// word index past the dictionary, a line past a per-line table, a footnote
// number past the block table, a token stream that ends early, a header that
// runs past the record) it does not guess: it sets `Nieokreslony` and the
// comparison skips that record.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Cp1250.h"
#include "store/Narzedzia.h"
#include "store/Typy.h"

namespace wzorzec {

// ---------------------------------------------------------------------------
// Punctuation codes and heading words.

struct Znak {
    std::string znaki;
    bool spacjaPrzed = true;
    bool spacjaPo = true;
};

inline Znak znakKodu(int kod)
{
    Znak z;
    if (kod >= 1 && kod <= 31) {
        // The printable ASCII characters that are neither letters nor digits,
        // 0x22 to 0x7E in ascending order; code 1 carries a space first.
        std::string kolejne;
        for (int c = 0x22; c <= 0x7E; ++c) {
            const bool litera = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            const bool cyfra = c >= '0' && c <= '9';
            if (!litera && !cyfra)
                kolejne.push_back(char(c));
        }
        z.znaki = kolejne.substr(std::size_t(kod - 1), 1);
        if (kod == 1)
            z.znaki = " \"";
    } else if (kod >= 34 && kod <= 62 && kod != 45) {
        struct Para {
            int kod;
            unsigned char bajt;
        };
        static const Para pary[] = {
            {34, 0x89}, {35, 0x8B}, {36, 0x91}, {37, 0x92}, {38, 0x93}, {40, 0x95}, {41, 0x96},
            {42, 0x9B}, {43, 0xA1}, {44, 0xA2}, {46, 0xA8}, {47, 0xA9}, {48, 0xAB}, {49, 0xAD},
            {50, 0xAE}, {51, 0xB0}, {52, 0xB1}, {53, 0xB2}, {54, 0xB4}, {55, 0xB6}, {56, 0xB7},
            {57, 0xB8}, {58, 0xBB}, {59, 0xBD}, {60, 0xD7}, {61, 0xF7}, {62, 0xFF}};
        for (const Para& p : pary)
            if (p.kod == kod)
                z.znaki = std::string(1, char(p.bajt));
        if (kod == 39)
            z.znaki = " \x94";
    }
    for (int k : {6, 8, 11, 13, 15, 16, 20, 24, 30, 34, 37, 39, 50, 51, 59})
        if (kod == k)
            z.spacjaPrzed = false;
    for (int k : {7, 14, 22, 23, 26, 28, 29})
        if (kod == k)
            z.spacjaPo = false;
    return z;
}

inline std::string slowoNaglowka(int kod)
{
    static const char* const slowa[] = {
        "",         "ART",      "Art",    "§",      "",      "",         "Ustawa",   "USTAWA",
        "Kodeks",   "KODEKS",   "Część",  "CZĘŚĆ",  "Księga", "KSIĘGA",  "Tytuł",    "TYTUŁ",
        "Dział",    "DZIAŁ",    "Rozdział", "ROZDZIAŁ", "Oddział", "ODDZIAŁ", "Konstytucja",
        "KONSTYTUCJA"};
    if (kod < 0 || kod > 23)
        return {};
    return cp1250::fromUtf8(slowa[kod]);
}

// ---------------------------------------------------------------------------
// The decoder.

struct WynikDekodowania {
    bool zlaMagia = false;
    bool nieokreslony = false;   // the result depends on something the format leaves open
    std::string powod;           // why, for the test's messages
    TListaNapisow tekst;
    TListaNapisow przypisy;
    TPlik plik;
    TListaNapisow komunikaty;
};

class Dekoder {
public:
    Dekoder(std::string_view rekord, const TSlownik& slownik) : rek(rekord), slownik(slownik) {}

    WynikDekodowania uruchom()
    {
        // Step 2: one empty paragraph, the current one.
        w.plik.assign(1, TWiersz{});
        biezacy = 0;
        // Step 3.
        if (rek.size() < 3 || rek.substr(0, 3) != "DzU") {
            w.zlaMagia = true;
            w.komunikaty.push_back(cp1250::fromUtf8("To nie jest plik Dziennika Ustaw."));
            w.plik.pop_back();
            return w;
        }
        // Step 4: the header fields.
        poz = 3;
        bajt();                       // format byte
        H = bajt();
        T = int32();
        szerokosc = bajt();
        const std::int64_t n1 = int32();
        for (std::int64_t i = 0; i <= n1 && !krotki; ++i) {
            TZnak z;
            z.Kod = std::uint8_t(bajt());
            z.Odstep = std::uint8_t(bajt());
            znaki.push_back(z);
        }
        const std::int64_t n2 = int32();
        liczbaLinii = n2 + 1;
        for (std::int64_t i = 0; i <= n2 && !krotki; ++i)
            znakiWWierszu.push_back(std::uint8_t(bajt()));
        for (std::int64_t i = 0; i <= n2 && !krotki; ++i)
            slowaWWierszu.push_back(std::uint16_t(uint16()));
        const std::int64_t n3 = uint16();
        for (std::int64_t i = 0; i <= n3 && !krotki; ++i)
            art.push_back(std::uint8_t(bajt()));
        F = uint16();
        for (std::int64_t i = 0; i < F && !krotki; ++i) {
            TPrzypis p;
            p.NumerWiersza = std::uint16_t(uint16());
            const std::int64_t k = uint16();
            for (std::int64_t j = 0; j <= k && !krotki; ++j)
                p.Miejsca.push_back(std::uint16_t(uint16()));
            przypisy.push_back(p);
        }
        if (F > 0) {
            B = uint16();
            for (std::int64_t i = 0; i < B && !krotki; ++i)
                bloki.push_back(std::uint8_t(bajt()));
        }
        if (F > 0 && B == 0)
            w.komunikaty.push_back(cp1250::fromUtf8("Brak treści przypisów!"));
        // Step 5.
        w.tekst.clear();
        w.przypisy.clear();
        dystans = (!znaki.empty() && znaki[0].Odstep != 0) ? 1 : 0;
        const std::int64_t U = int32();
        strumien = poz;
        if (krotki) {
            nieokreslony("header runs past the record");
            return w;
        }
        hPrim = H == 0 ? 0 : H - 1;
        // Step 6.
        wybierzRekordKotwic();
        // Step 7: the main pass.
        glowny = true;
        for (std::int64_t i = 0; i <= T && !w.nieokreslony; ++i)
            iteracja();
        // Step 8: the footnote pass.
        numerZnacznika = 0;
        liniaPrzypisu = 0;
        if (F > 0 && B > 0) {
            glowny = false;
            const std::int64_t W = slowaPrzeczytane;
            for (std::int64_t i = W; i <= U && !w.nieokreslony; ++i)
                iteracja();
        }
        // Step 9.
        if (!w.plik.empty())
            w.plik.pop_back();
        return w;
    }

private:
    // --- bytes of the header
    std::uint32_t bajt()
    {
        if (poz >= rek.size()) {
            krotki = true;
            return 0;
        }
        return static_cast<unsigned char>(rek[poz++]);
    }
    std::uint32_t uint16() { return bajt() | (bajt() << 8); }
    std::int32_t int32()
    {
        const std::uint32_t a = uint16();
        return std::int32_t(a | (uint16() << 16));
    }

    void nieokreslony(const std::string& powod)
    {
        if (!w.nieokreslony)
            w.powod = powod;
        w.nieokreslony = true;
    }

    // --- per-line tables; a line past a table leaves the result open
    std::uint32_t znakiLinii(std::int64_t l)
    {
        if (l < 0 || l >= std::int64_t(znakiWWierszu.size())) {
            nieokreslony("marks per line past the table");
            return 0;
        }
        return znakiWWierszu[std::size_t(l)];
    }
    std::uint32_t slowaLinii(std::int64_t l)
    {
        if (l < 0 || l >= std::int64_t(slowaWWierszu.size())) {
            nieokreslony("tokens per line past the table");
            return 0;
        }
        return slowaWWierszu[std::size_t(l)];
    }
    std::uint32_t artLinii(std::int64_t l)
    {
        if (l < 0 || l >= std::int64_t(art.size())) {
            nieokreslony("heading code past the table");
            return 0;
        }
        return art[std::size_t(l)];
    }

    bool kursorWTablicy() const { return kursor < std::int64_t(znaki.size()); }
    const TZnak& wpis(std::int64_t i) const { return znaki[std::size_t(i)]; }

    // Step 4.1 for one entry: spacing flags apply.
    void dopiszZeSpacjami(const TZnak& z)
    {
        const Znak k = znakKodu(z.Kod);
        if (!k.spacjaPrzed && !bufor.empty())
            bufor.erase(bufor.size() - 1);
        bufor += k.znaki;
        if (k.spacjaPo)
            bufor += " ";
    }

    void iteracja()
    {
        // 1. Opening parenthesis before a line.
        if (tokenyWLinii == 0 && kursorWTablicy() &&
            std::int64_t(wpis(kursor).Odstep) + baza == tokenyRazem && wpis(kursor).Kod == 7) {
            bufor += "(";
            baza += wpis(kursor).Odstep;
            ++kursor;
            ++znakowWLinii;
            dystans = 1;
        }
        // 2. The token.
        bool naglowek = false;
        if (glowny && tokenyWLinii == 0) {
            const std::uint32_t kod = artLinii(linia);
            if (kod != 0) {
                naglowek = true;
                w.plik[biezacy] = TWiersz{TTekst{std::uint8_t(kod), slowoNaglowka(int(kod))}};
                bufor = " ";
            }
        }
        if (!naglowek) {
            if (!glowny && tokenyWLinii == 0)
                bufor = " ";
            znacznikiPrzed();
            czytajSlowo();
        }
        // 3.
        ++tokenyWLinii;
        ++tokenyRazem;
        // 4. Punctuation after the token.
        if (kursorWTablicy() && std::int64_t(wpis(kursor).Odstep) == dystans) {
            dopiszZeSpacjami(wpis(kursor));
            while (kursor + 1 < std::int64_t(znaki.size()) && wpis(kursor + 1).Odstep == 0) {
                dopiszZeSpacjami(wpis(kursor + 1));
                ++kursor;
                ++znakowWLinii;
            }
            ++kursor;
            baza += dystans;
            ++znakowWLinii;
            dystans = 0;
        }
        // 5.
        ++dystans;
        // 6.
        if (std::int64_t(slowaLinii(linia)) == tokenyWLinii)
            koniecLinii();
    }

    void czytajSlowo()
    {
        int bajty = 0;
        if (szerokosc == 1)
            bajty = 1;
        else if (szerokosc == 2)
            bajty = 2;
        else if (szerokosc == 3 || szerokosc == 4)
            bajty = 4;
        if (bajty > 0) {
            if (strumien + std::size_t(bajty) > rek.size()) {
                nieokreslony("token stream ends early");
                return;
            }
            std::uint32_t indeks = 0;
            for (int i = 0; i < bajty; ++i)
                indeks |= std::uint32_t(static_cast<unsigned char>(rek[strumien + std::size_t(i)]))
                          << (8 * i);
            strumien += std::size_t(bajty);
            if (indeks >= slownik.size()) {
                nieokreslony("word index past the dictionary");
                return;
            }
            bufor += slownik[indeks].Slowo;
            bufor += " ";
        }
        ++slowaPrzeczytane;
        // The production decoder stops an unknown-width record once the
        // words read reach the stream's size (it cannot otherwise bound T).
        if (bajty == 0 && slowaPrzeczytane >= std::int64_t(rek.size() - strumien))
            nieokreslony("unknown width read as many words as the stream has bytes");
    }

    // Punctuation run: no spacing rules.
    void biegZnakow()
    {
        if (kursorWTablicy() && std::int64_t(wpis(kursor).Odstep) == dystans) {
            bufor += znakKodu(wpis(kursor).Kod).znaki;
            while (kursor + 1 < std::int64_t(znaki.size()) && wpis(kursor + 1).Odstep == 0) {
                bufor += znakKodu(wpis(kursor + 1).Kod).znaki;
                ++kursor;
                ++znakowWLinii;
            }
            ++kursor;
            ++znakowWLinii;
            dystans = 0;
        }
    }

    bool znacznikDozwolony() const
    {
        return aktywny >= 0 &&
               kursorKotwicy < std::int64_t(przypisy[std::size_t(aktywny)].Miejsca.size());
    }

    void postawZnacznik(bool przed)
    {
        ++kursorKotwicy;
        ++numerZnacznika;
        w.plik[biezacy].push_back(TTekst{0, bufor});
        bufor = przed ? " " : "";
        w.plik[biezacy].push_back(TTekst{4, ""});
        ++dystans;
        ++tokenyRazem;
    }

    void poZnacznikach(bool przed)
    {
        if (!kursorWTablicy())
            return;
        const TZnak e = wpis(kursor);
        if (e.Odstep == 1 || (przed && std::int64_t(e.Odstep) == dystans - 1)) {
            if (e.Odstep == 1)
                dystans = 1;
            else
                dystans -= 1;
            if (przed && !bufor.empty())
                bufor.erase(bufor.size() - 1);
            biegZnakow();
            ++dystans;
            bufor += " ";
            baza += e.Odstep;
        }
    }

    void znacznikiPrzed()
    {
        if (znacznikDozwolony() &&
            std::int64_t(przypisy[std::size_t(aktywny)].Miejsca[std::size_t(kursorKotwicy)]) ==
                tokenyWLinii) {
            postawZnacznik(true);
            poZnacznikach(true);
        }
    }

    void znacznikiPo()
    {
        if (!znacznikDozwolony())
            return;
        while (znacznikDozwolony())
            postawZnacznik(false);
        poZnacznikach(false);
    }

    void wybierzRekordKotwic()
    {
        aktywny = -1;
        for (std::int64_t i = kursorRekordow; i < std::int64_t(przypisy.size()); ++i) {
            if (przypisy[std::size_t(i)].NumerWiersza == linia) {
                aktywny = i;
                kursorRekordow = i + 1;
                return;
            }
        }
    }

    void koniecLinii()
    {
        // 1.
        std::int64_t nadmiar = 0;
        if (znakowWLinii > 0) {
            const std::int64_t z = znakiLinii(linia);
            if (z > 0 && z < znakowWLinii)
                nadmiar = znakowWLinii - z;
        }
        // 2.
        const std::int64_t ile = nadmiar + 1;
        const std::size_t od = std::int64_t(bufor.size()) > ile ? bufor.size() - std::size_t(ile) : 0;
        przeniesienie.clear();
        for (std::size_t i = od; i < bufor.size(); ++i)
            if (bufor[i] != ' ')
                przeniesienie += bufor[i];
        bufor.erase(od);
        // 3.
        znacznikiPo();
        // 4.
        if (F > 0) {
            const std::int64_t z = znakiLinii(linia);
            if (z > znakowWLinii) {
                const std::int64_t roznica = z - znakowWLinii;
                dystans -= 1;
                for (std::int64_t i = 0; i < roznica; ++i)
                    biegZnakow();
                dystans += 1;
            }
        }
        if (glowny) {
            // 5.
            w.plik[biezacy].push_back(TTekst{0, bufor});
            bufor.clear();
            if (linia > hPrim)
                w.tekst.push_back("");
            tokenyWLinii = 0;
            kursorKotwicy = 0;
            znakowWLinii = 0;
            bufor = przeniesienie;
            ++linia;
            wybierzRekordKotwic();
            if (linia < liczbaLinii) {
                w.plik.push_back(TWiersz{});
                biezacy = w.plik.size() - 1;
            }
        } else {
            // 6.
            if (liniaPrzypisu == 0) {
                w.przypisy.push_back("");
                w.przypisy.push_back("(" + std::to_string(numerZnacznika + 1) + ") " + bufor);
            } else {
                w.przypisy.push_back(bufor);
            }
            tokenyWLinii = 0;
            kursorKotwicy = 0;
            znakowWLinii = 0;
            bufor = przeniesienie;
            ++linia;
            if (numerZnacznika < 0 || numerZnacznika >= std::int64_t(bloki.size())) {
                nieokreslony("footnote number past the block table");
                return;
            }
            if (bloki[std::size_t(numerZnacznika)] == liniaPrzypisu) {
                ++numerZnacznika;
                liniaPrzypisu = 0;
            } else {
                ++liniaPrzypisu;
            }
        }
    }

    std::string_view rek;
    const TSlownik& slownik;
    WynikDekodowania w;

    std::size_t poz = 0;
    bool krotki = false;
    std::int64_t H = 0, T = -1, F = 0, B = 0;
    std::uint32_t szerokosc = 0;
    std::int64_t liczbaLinii = 0;
    std::int64_t hPrim = 0;
    TZnaki znaki;
    std::vector<std::uint8_t> znakiWWierszu;
    std::vector<std::uint16_t> slowaWWierszu;
    std::vector<std::uint8_t> art;
    TPrzypisy przypisy;
    std::vector<std::uint8_t> bloki;
    std::size_t strumien = 0;

    // decoder state
    std::string bufor, przeniesienie;
    std::int64_t linia = 0, tokenyWLinii = 0, tokenyRazem = 0, kursor = 0, dystans = 0, baza = 0,
                 znakowWLinii = 0, slowaPrzeczytane = 0, kursorRekordow = 0, aktywny = -1,
                 kursorKotwicy = 0, numerZnacznika = 0, liniaPrzypisu = 0;
    std::size_t biezacy = 0;
    bool glowny = true;
};

inline WynikDekodowania dekoduj(std::string_view rekord, const TSlownik& slownik)
{
    return Dekoder(rekord, slownik).uruchom();
}

// ---------------------------------------------------------------------------
// The citation scanner. Indices count from 1 as in the rule's own wording.

inline bool skanuj(std::string_view S, TDziennikiUstaw& lista, bool zeSpacjami)
{
    const std::string prefiks = zeSpacjami ? "Dz. U. " : "Dz.U.";
    const std::int64_t okno = zeSpacjami ? 12 : 11;
    const std::int64_t L = std::int64_t(S.size());
    auto znak = [&](std::int64_t i) { return S[std::size_t(i - 1)]; };
    auto cyfra = [](char c) { return c >= '0' && c <= '9'; };
    auto dozwolony = [&](char c) { return cyfra(c) || c == '.' || (zeSpacjami && c == ' '); };

    lista.clear();
    bool zapisano = false;
    for (std::int64_t j = 1;; ++j) {
        if (j + std::int64_t(prefiks.size()) - 1 > L)
            break;
        bool pasuje = true;
        for (std::size_t k = 0; k < prefiks.size(); ++k)
            if (znak(j + std::int64_t(k)) != prefiks[k])
                pasuje = false;
        if (!pasuje)
            continue;

        lista.push_back(TDziennikUstaw{});
        int kropki = 0;
        std::string tekst;
        bool gotowe = false;
        bool otrzymal = false;
        // Step 5; false when the entry was removed and the scan must move on.
        auto zamknij = [&]() {
            if (kropki == 2 && gotowe) {
                lista.back().Tekst = tekst;
                lista.back().Od = std::int32_t(j);
                lista.back().Do =
                    std::int32_t(j + std::int64_t(tekst.size()) + (zeSpacjami ? 10 : 6));
                gotowe = false;
                otrzymal = true;
                zapisano = true;
            }
            if (kropki != 2) {
                lista.pop_back();
                return false;
            }
            return true;
        };

        bool usuniety = false;
        for (std::int64_t i = 1; i <= okno; ++i) {
            const std::int64_t p = j + std::int64_t(prefiks.size()) - 1 + i;
            if (p > L)
                continue;
            const char c = znak(p);
            if (gotowe) {
                if (!zamknij()) {
                    usuniety = true;
                    break;
                }
                continue;
            }
            if (!dozwolony(c) && !zamknij()) {
                usuniety = true;
                break;
            }
            if (kropki == 2) {
                std::int64_t q = zeSpacjami ? p + 1 : p;
                for (int n = 0; n < 5; ++n, ++q) {
                    if (q > L || !cyfra(znak(q))) {
                        gotowe = true;
                        break;
                    }
                    tekst += znak(q);
                }
                continue;
            }
            if (c == '.')
                ++kropki;
            if (!(zeSpacjami && c == ' '))
                tekst += c;
        }
        if (!usuniety && !otrzymal)
            lista.pop_back();
    }
    return zapisano;
}

inline bool szukajDziennikow(std::string_view S, TDziennikiUstaw& lista)
{
    if (skanuj(S, lista, true))
        return true;
    return skanuj(S, lista, false);
}

// ---------------------------------------------------------------------------
// The name rule. An empty optional stands for the integer parser's error.

inline std::optional<TNumerPozycjaDZU> rozbierzNazwe(std::string_view nazwa)
{
    auto liczba = [](const std::string& s) -> std::optional<std::uint16_t> {
        // Decimal, leading zeros allowed, at most 2147483647.
        if (s.empty())
            return std::nullopt;
        unsigned long long v = 0;
        for (char c : s) {
            v = v * 10 + unsigned(c - '0');
            if (v > 2147483647ull)
                return std::nullopt;
        }
        return std::uint16_t(v % 65536);
    };
    TNumerPozycjaDZU k;
    std::string zostawione;
    for (char c : nazwa)
        if ((c >= '0' && c <= '9') || c == '.')
            zostawione += c;
    int d = 0;
    std::string segment;
    for (char c : zostawione) {
        if (c != '.') {
            segment += c;
            continue;
        }
        if (d == 2)
            k.Rok = segment;
        if (d == 3) {
            const auto n = liczba(segment);
            if (!n)
                return std::nullopt;
            k.Numer = *n;
        }
        segment.clear();
        ++d;
    }
    if (!segment.empty()) {
        const auto n = liczba(segment);
        if (!n)
            return std::nullopt;
        k.Pozycja = *n;
        return k;
    }
    static const char* const duze[] = {
        "KODEKS CYWILNY", "KODEKS KARNY SKARBOWY", "KODEKS KARNY WYKONAWCZY", "KODEKS KARNY",
        "KODEKS MORSKI", "KODEKS POSTĘPOWANIA ADMINISTRACYJNEGO", "KODEKS POSTĘPOWANIA CYWILNEGO",
        "KODEKS POSTĘPOWANIA KARNEGO", "KODEKS POSTĘPOWANIA W SPRAWACH O WYKROCZENIA",
        "KODEKS PRACY", "KODEKS RODZINNY I OPIEKUŃCZY", "KODEKS SPÓŁEK HANDLOWYCH",
        "KODEKS WYKROCZEŃ", "KONSTYTUCJA RZECZYPOSPOLITEJ POLSKIEJ"};
    static const char* const male[] = {
        nullptr, nullptr, nullptr, nullptr, nullptr, "kodeks postępowania administracyjnego",
        "kodeks postępowania cywilnego", "kodeks postępowania karnego",
        "kodeks postępowania w sprawach o wykroczenia", nullptr, "kodeks rodzinny i opiekuńczy",
        "kodeks spółek handlowych", "kodeks wykroczeń", "konstytucja rzeczypospolitej polskiej"};
    std::string wielkie(nazwa), malenkie(nazwa);
    for (char& c : wielkie)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    for (char& c : malenkie)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    int indeks = 14;
    for (int i = 0; i < 14; ++i) {
        if (wielkie == cp1250::fromUtf8(duze[i]) ||
            (male[i] && malenkie == cp1250::fromUtf8(male[i]))) {
            indeks = i;
            break;
        }
    }
    k.Rok = "Lumesta";
    k.Numer = k.Pozycja = std::uint16_t(indeks);
    return k;
}

} // namespace wzorzec
