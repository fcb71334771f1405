#include "search/Przeszukiwanie.h"

#include <algorithm>
#include <iterator>

#include "search/Litery.h"
#include "store/Format.h"
#include "store/Jednostki.h"
#include "store/Pliki.h"

namespace szukanie {

TPrzygotowaneZapytanie::TPrzygotowaneZapytanie(const TZapytanie& zapytanie, const TRdzenie& rdzenie,
                                               const TDostawcaMorfologii& morfologia)
    : FRdzenie(rdzenie)
{
    FMaski.assign(rdzenie.LiczbaWpisow(), 0);
    for (std::uint32_t w = 0; w < FMaski.size(); ++w)
        if (!rdzenie.Czesci(w).empty())
            FMaski[w] = kMaSlowa;
    FBity.assign(rdzenie.LiczbaForm(), 0);
    std::uint32_t bit = 0;
    for (const auto& wyrazenie : zapytanie.Wyrazenia) {
        FWyrazenia.push_back({bit, std::uint32_t(wyrazenie.size())});
        for (const std::string& slowo : wyrazenie) {
            const std::uint32_t b = std::uint32_t(1) << bit;
            TMorfologia* m = nullptr;
            if (!zapytanie.Dokladnie && morfologia && !rdzenie.ZnajdzForme(slowo))
                m = morfologia();
            const auto formy = rdzenie.FormySlowa(slowo, zapytanie.Dokladnie, m);
            if (formy.empty())
                FNicNiePasuje = true;
            for (std::uint32_t f : formy) {
                FBity[f] |= b;
                for (std::uint32_t w : rdzenie.WpisyFormy(f))
                    FMaski[w] |= b;
            }
            ++bit;
        }
    }
    if (FWyrazenia.empty())
        FNicNiePasuje = true;
}

namespace {

// The unit index reads the first 80 characters of a line; a little more is
// kept for safety's sake.
constexpr std::size_t kPoczatekDlaIndeksu = 120;

bool otwieraJednostke(std::uint8_t kod)
{
    return (kod >= rART && kod <= rParagraf) || (kod >= rPierwszyNaglowek && kod <= rOstatniNaglowek);
}

struct Kandydat {
    std::uint32_t linia;
    std::uint32_t slowo;
    std::uint32_t wpis;
    std::uint32_t poprzednie;   // the line's word before it (tokens without words skipped), or UINT32_MAX
};

struct Czesc {
    TSlowoWystapienia s;
    std::uint32_t bity;
    std::uint32_t lancuch;   // parts of one chain stand side by side in the text
};

// The occurrences in one unit, if it holds every term.
void ocenJednostke(const TPrzygotowaneZapytanie& z, const Kandydat* od, const Kandydat* do_, TSkanRekordu& skan,
                   std::vector<Czesc>& czesci, std::vector<TWystapienie>& wystapienia)
{
    czesci.clear();
    std::uint32_t lancuch = 0;
    const Kandydat* poprzedni = nullptr;
    for (const Kandydat* k = od; k != do_; ++k) {
        if (poprzedni && !(k->linia == poprzedni->linia && k->poprzednie == poprzedni->slowo))
            ++lancuch;
        poprzedni = k;
        const auto cz = z.Rdzenie().Czesci(k->wpis);
        for (std::uint32_t c = 0; c < cz.size(); ++c)
            czesci.push_back({{k->linia, k->slowo, k->wpis, c}, z.BityFormy(cz[c].Forma), lancuch});
    }
    wystapienia.clear();
    for (const auto& w : z.Wyrazenia()) {
        bool jest = false;
        for (std::size_t s = 0; s + w.Dlugosc <= czesci.size(); ++s) {
            bool pasuje = true;
            for (std::uint32_t k = 0; k < w.Dlugosc && pasuje; ++k)
                pasuje = czesci[s + k].lancuch == czesci[s].lancuch &&
                         (czesci[s + k].bity >> (w.Od + k) & 1u);
            if (pasuje) {
                wystapienia.push_back({std::uint32_t(s), w.Dlugosc});
                jest = true;
            }
        }
        if (!jest)
            return;   // a term missing from the unit: nothing in it counts
    }
    std::sort(wystapienia.begin(), wystapienia.end(), [](const TWystapienie& a, const TWystapienie& b) {
        return a.Od != b.Od ? a.Od < b.Od : a.Ile < b.Ile;
    });
    wystapienia.erase(std::unique(wystapienia.begin(), wystapienia.end(),
                                  [](const TWystapienie& a, const TWystapienie& b) {
                                      return a.Od == b.Od && a.Ile == b.Ile;
                                  }),
                      wystapienia.end());
    const auto baza = std::uint32_t(skan.Slowa.size());
    for (const Czesc& c : czesci)
        skan.Slowa.push_back(c.s);
    for (const TWystapienie& w : wystapienia)
        skan.Wystapienia.push_back({baza + w.Od, w.Ile});
}

} // namespace

bool SkanujRekord(std::string_view rekord, const TPrzygotowaneZapytanie& zapytanie, TSkanRekordu& skan)
{
    skan = TSkanRekordu{};
    TRekordDZU r;
    std::size_t poczatek = 0;
    if (!CzytajNaglowekRekordu(rekord, r, poczatek))
        return false;
    if (zapytanie.NicNiePasuje())
        return true;
    const std::string_view strumien = rekord.substr(poczatek);
    const int bajty = BajtyIndeksu(r.Szerokosc);
    const std::size_t liczbaLinii = std::min(r.ZnakiWWierszu.size(), r.SlowaWWierszu.size());
    auto slowaW = [&](std::size_t l) -> std::int64_t { return l < liczbaLinii ? r.SlowaWWierszu[l] : 0; };
    auto artW = [&](std::size_t l) -> std::uint8_t { return l < r.Art.size() ? r.Art[l] : 0; };

    // The decoder's way through the tokens: one token per iteration, a
    // heading word (read from no stream) first in a main line with a heading
    // code, a line ending when it holds its count of tokens.
    std::vector<Kandydat> kandydaci;
    std::size_t linia = 0, p = 0;
    std::int64_t tokeny = 0, przeczytane = 0;
    std::uint32_t slowo = 0;
    std::uint32_t poprzednie = UINT32_MAX;   // the last token of the line with a word in it
    bool koniec = false;
    auto czytaj = [&] {
        ++przeczytane;
        if (bajty == 0) {
            if (std::uint64_t(przeczytane) >= strumien.size())
                koniec = true;
            return;
        }
        if (strumien.size() - p < std::size_t(bajty)) {
            koniec = true;
            ++slowo;
            return;
        }
        std::uint32_t indeks = static_cast<unsigned char>(strumien[p]);
        if (bajty >= 2)
            indeks |= std::uint32_t(static_cast<unsigned char>(strumien[p + 1])) << 8;
        if (bajty == 4)
            indeks |= std::uint32_t(static_cast<unsigned char>(strumien[p + 2])) << 16 |
                      std::uint32_t(static_cast<unsigned char>(strumien[p + 3])) << 24;
        p += std::size_t(bajty);
        const std::uint32_t m = zapytanie.MaskaWpisu(indeks);
        if (m & TPrzygotowaneZapytanie::kMaSlowa) {
            if (m & ~TPrzygotowaneZapytanie::kMaSlowa)
                kandydaci.push_back({std::uint32_t(linia), slowo, indeks, poprzednie});
            poprzednie = slowo;
        }
        ++slowo;
    };
    auto poTokenie = [&] {
        ++tokeny;
        if (slowaW(linia) == tokeny) {
            ++linia;
            tokeny = 0;
            slowo = 0;
            poprzednie = UINT32_MAX;
        }
    };
    // The words of a line, `ile` of them, all in the stream: the hot loop.
    auto slowaLinii = [&]<int B>(std::int64_t ile) {
        const auto* s = reinterpret_cast<const unsigned char*>(strumien.data()) + p;
        for (std::int64_t k = 0; k < ile; ++k, s += B) {
            std::uint32_t indeks = s[0];
            if constexpr (B >= 2)
                indeks |= std::uint32_t(s[1]) << 8;
            if constexpr (B == 4)
                indeks |= std::uint32_t(s[2]) << 16 | std::uint32_t(s[3]) << 24;
            const std::uint32_t m = zapytanie.MaskaWpisu(indeks);
            if (m & TPrzygotowaneZapytanie::kMaSlowa) {
                if (m & ~TPrzygotowaneZapytanie::kMaSlowa)
                    kandydaci.push_back({std::uint32_t(linia), slowo, indeks, poprzednie});
                poprzednie = slowo;
            }
            ++slowo;
        }
        p += std::size_t(ile) * B;
    };
    // `ile` iterations of a pass, a line's run of words at a time.
    auto przebieg = [&](std::int64_t ile, bool glowny) {
        while (ile > 0 && !koniec) {
            if ((glowny && tokeny == 0 && artW(linia) != 0) || bajty == 0) {
                if (!(glowny && tokeny == 0 && artW(linia) != 0))
                    czytaj();
                poTokenie();
                --ile;
                continue;
            }
            const std::int64_t n = slowaW(linia);
            // A line whose count it has passed never ends.
            const std::int64_t doKonca = std::min(n > tokeny ? n - tokeny : ile, ile);
            const std::int64_t wStrumieniu = std::int64_t((strumien.size() - p) / std::size_t(bajty));
            const std::int64_t k = std::min(doKonca, wStrumieniu);
            switch (bajty) {
            case 1: slowaLinii.template operator()<1>(k); break;
            case 2: slowaLinii.template operator()<2>(k); break;
            default: slowaLinii.template operator()<4>(k); break;
            }
            przeczytane += k;
            ile -= k;
            if (k > 0) {
                tokeny += k - 1;
                poTokenie();
            }
            if (k < doKonca) {   // the stream ends here: an empty word, and the pass stops
                czytaj();
                poTokenie();
                --ile;
            }
        }
    };
    przebieg(std::int64_t(r.T) + 1, true);
    const std::size_t glowne = linia;
    if (!r.Przypisy.empty() && !r.Bloki.empty())
        przebieg(std::int64_t(r.U) - przeczytane + 1, false);
    skan.LinieGlowne = glowne;
    skan.Akapity = liczbaLinii >= 1 ? std::min(glowne, liczbaLinii - 1) : 0;
    skan.Art = std::move(r.Art);
    if (kandydaci.empty())
        return true;

    // The marks, line by line as the decoder places them: each main line
    // takes all marks of the first anchor record for it not taken yet.
    if (!r.Przypisy.empty()) {
        std::vector<std::pair<std::uint16_t, std::size_t>> kotwice;
        for (std::size_t i = 0; i < r.Przypisy.size(); ++i)
            kotwice.emplace_back(r.Przypisy[i].NumerWiersza, i);
        std::sort(kotwice.begin(), kotwice.end());
        std::size_t kursor = 0;
        for (std::size_t l = 0; l < glowne && l <= 0xFFFF; ++l) {
            const auto it = std::lower_bound(kotwice.begin(), kotwice.end(), std::make_pair(std::uint16_t(l), kursor));
            if (it == kotwice.end() || it->first != l)
                continue;
            kursor = it->second + 1;
            skan.LiniaZnacznika.insert(skan.LiniaZnacznika.end(), r.Przypisy[it->second].Miejsca.size(),
                                       std::uint32_t(l));
        }
    }

    // Units: a main line with an article, paragraph or heading code starts
    // one; each footnote is one (its lines as the footnote lengths count).
    std::vector<std::uint32_t> jednostka(linia + 1, 0);
    std::uint32_t biezaca = 0;
    for (std::size_t l = 0; l < glowne && l < jednostka.size(); ++l) {
        const std::uint8_t kod = l < skan.Art.size() ? skan.Art[l] : 0;
        if (otwieraJednostke(kod))
            biezaca = std::uint32_t(l);
        jednostka[l] = biezaca;
    }
    std::size_t przypis = 0, liniaPrzypisu = 0;
    for (std::size_t l = glowne; l < jednostka.size(); ++l) {
        if (liniaPrzypisu == 0)
            biezaca = std::uint32_t(l);
        jednostka[l] = biezaca;
        skan.PrzypisLinii.push_back(std::uint32_t(przypis));
        if (przypis < r.Bloki.size() && r.Bloki[przypis] == liniaPrzypisu) {
            ++przypis;
            liniaPrzypisu = 0;
        } else {
            ++liniaPrzypisu;
        }
    }

    std::vector<Czesc> czesci;
    std::vector<TWystapienie> wystapienia;
    for (std::size_t a = 0; a < kandydaci.size();) {
        const std::uint32_t j = jednostka[kandydaci[a].linia];
        std::size_t b = a + 1;
        while (b < kandydaci.size() && jednostka[kandydaci[b].linia] == j)
            ++b;
        ocenJednostke(zapytanie, kandydaci.data() + a, kandydaci.data() + b, skan, czesci, wystapienia);
        a = b;
    }
    return true;
}

std::vector<TLiniaWyniku> UmiescWystapienia(std::string_view rekord, const TSlownik& slownik,
                                            const TRdzenie& rdzenie, const TSkanRekordu& skan,
                                            std::string_view ostatnie)
{
    std::vector<TLiniaWyniku> wynik;
    if (skan.Wystapienia.empty())
        return wynik;
    // The lines of the hits, and for each the lines that say which unit it
    // is in: those from the start of its article (or from the heading it
    // stands under) down to it. For a footnote, those of the line carrying
    // its mark.
    auto kod = [&](std::size_t l) -> std::uint8_t { return l < skan.Art.size() ? skan.Art[l] : 0; };
    auto otwieraArtykul = [&](std::size_t l) {
        const std::uint8_t k = kod(l);
        return k == rART || k == rArt || (k >= rPierwszyNaglowek && k <= rOstatniNaglowek);
    };
    std::vector<std::size_t> trafione, linie;
    for (const TWystapienie& w : skan.Wystapienia)
        trafione.push_back(skan.Slowa[w.Od].Linia);
    trafione.erase(std::unique(trafione.begin(), trafione.end()), trafione.end());
    std::vector<std::size_t> miejsca;   // main lines whose unit is wanted
    for (std::size_t l : trafione) {
        if (l < skan.LinieGlowne) {
            miejsca.push_back(l);
        } else if (l - skan.LinieGlowne < skan.PrzypisLinii.size()) {
            const std::uint32_t p = skan.PrzypisLinii[l - skan.LinieGlowne];
            if (p < skan.LiniaZnacznika.size())
                miejsca.push_back(skan.LiniaZnacznika[p]);
        }
    }
    std::sort(miejsca.begin(), miejsca.end());
    miejsca.erase(std::unique(miejsca.begin(), miejsca.end()), miejsca.end());
    linie = trafione;
    std::size_t dotad = 0;   // lines below this are chosen already
    for (std::size_t m : miejsca) {
        std::size_t s = m;
        while (s > dotad && !otwieraArtykul(s))
            --s;
        for (std::size_t l = std::max(s, dotad); l <= m; ++l)
            linie.push_back(l);
        dotad = std::max(dotad, m + 1);
    }
    std::sort(linie.begin(), linie.end());
    linie.erase(std::unique(linie.begin(), linie.end()), linie.end());
    // The unit index reads the opening of a line only; the whole text is
    // wanted for the lines of the hits.
    std::vector<std::size_t> poczatki;
    std::set_difference(linie.begin(), linie.end(), trafione.begin(), trafione.end(), std::back_inserter(poczatki));
    std::vector<TLiniaRekordu> zdekodowane;
    if (!DekodujLinie(rekord, slownik, linie, zdekodowane, ostatnie, &poczatki))
        return wynik;

    // The unit index over the chosen main lines alone: the lines left out
    // would have changed nothing it keeps.
    TPlik wybrane;
    std::vector<std::size_t> akapity;   // paragraph index of each chosen main line
    for (const TLiniaRekordu& l : zdekodowane)
        if (!l.Przypis && l.Indeks < skan.Akapity && (akapity.empty() || akapity.back() < l.Indeks)) {
            // The heading word as a piece of its own, as the index reads it;
            // it reads no further than a line's opening.
            TWiersz w;
            std::size_t naglowek = 0;
            if (l.Rodzaj != rTekst) {
                naglowek = std::min(SlowoNaglowka(l.Rodzaj).size(), l.Tekst.size());
                w.push_back(TTekst{l.Rodzaj, l.Tekst.substr(0, naglowek)});
            }
            w.push_back(TTekst{rTekst, l.Tekst.substr(naglowek, kPoczatekDlaIndeksu)});
            wybrane.push_back(std::move(w));
            akapity.push_back(l.Indeks);
        }
    const TIndeksJednostek indeks(wybrane);
    auto opisMiejsca = [&](std::size_t akapit) -> std::string {
        const auto it = std::lower_bound(akapity.begin(), akapity.end(), akapit);
        if (it == akapity.end() || *it != akapit)
            return {};
        const auto k = std::size_t(it - akapity.begin());
        std::string opis = OpisAdresu(indeks.Adres(k));
        if (opis.empty()) {
            const auto naglowki = indeks.Naglowki(k);
            if (!naglowki.empty())
                opis = naglowki.back();
        }
        return opis;
    };

    auto znajdzLinie = [&](std::size_t l) -> TLiniaRekordu* {
        const auto it = std::lower_bound(zdekodowane.begin(), zdekodowane.end(), l,
                                         [](const TLiniaRekordu& a, std::size_t b) { return a.Linia < b; });
        return it != zdekodowane.end() && it->Linia == l ? &*it : nullptr;
    };
    // Where a word of an occurrence stands in its line's text; npos when the
    // text does not hold it there (a damaged record).
    std::string zlozone;
    auto polozenie = [&](const TLiniaRekordu& l, const std::string& tekst, const TSlowoWystapienia& s) {
        const auto cz = rdzenie.Czesci(s.Wpis);
        if (s.Slowo >= l.Slowa.size() || s.Czesc >= cz.size())
            return std::string::npos;
        const std::size_t od = std::size_t(l.Slowa[s.Slowo]) + cz[s.Czesc].Od;
        const std::size_t dl = cz[s.Czesc].Dlugosc;
        if (od > tekst.size() || tekst.size() - od < dl)
            return std::string::npos;
        zlozone.assign(tekst, od, dl);
        Zloz(zlozone, false, zlozone.data());
        return zlozone == rdzenie.Forma(cz[s.Czesc].Forma) ? od : std::string::npos;
    };

    std::size_t ostatniaLinia = SIZE_MAX;
    for (const TWystapienie& w : skan.Wystapienia) {
        const TSlowoWystapienia& pierwsze = skan.Slowa[w.Od];
        TLiniaRekordu* l = znajdzLinie(pierwsze.Linia);
        if (!l || (!l->Przypis && l->Indeks >= skan.Akapity))
            continue;
        if (pierwsze.Linia != ostatniaLinia) {
            ostatniaLinia = pierwsze.Linia;
            TLiniaWyniku n;
            n.Przypis = l->Przypis;
            n.NumerPrzypisu = l->NumerPrzypisu;
            n.Linia = l->Indeks;
            n.Tekst = std::move(l->Tekst);
            if (!n.Przypis) {
                n.Jednostka = opisMiejsca(n.Linia);
            } else if (pierwsze.Linia >= skan.LinieGlowne &&
                       pierwsze.Linia - skan.LinieGlowne < skan.PrzypisLinii.size()) {
                const std::uint32_t p = skan.PrzypisLinii[pierwsze.Linia - skan.LinieGlowne];
                if (p < skan.LiniaZnacznika.size())
                    n.Jednostka = opisMiejsca(skan.LiniaZnacznika[p]);
            }
            wynik.push_back(std::move(n));
        }
        TLiniaWyniku& n = wynik.back();
        std::size_t od = std::string::npos, koniec = 0;
        bool dobre = true;
        for (std::uint32_t k = 0; k < w.Ile && dobre; ++k) {
            const TSlowoWystapienia& s = skan.Slowa[w.Od + k];
            const std::size_t p = polozenie(*l, n.Tekst, s);
            dobre = p != std::string::npos && p >= koniec;
            if (k == 0)
                od = p;
            if (dobre)
                koniec = p + rdzenie.Czesci(s.Wpis)[s.Czesc].Dlugosc;
        }
        if (!dobre)
            continue;
        // Ranges come in order of their first word; one that overlaps the
        // last is merged into it.
        if (!n.Trafienia.empty() && od < n.Trafienia.back().Od + n.Trafienia.back().Dlugosc) {
            auto& t = n.Trafienia.back();
            t.Dlugosc = std::max(t.Od + t.Dlugosc, koniec) - t.Od;
        } else {
            n.Trafienia.push_back({od, koniec - od});
        }
    }
    wynik.erase(std::remove_if(wynik.begin(), wynik.end(), [](const TLiniaWyniku& n) { return n.Trafienia.empty(); }),
                wynik.end());
    return wynik;
}

std::string Kontekst(std::string_view tekst, std::size_t od, std::size_t dlugosc, std::size_t szerokosc,
                     std::size_t* wyciete)
{
    od = std::min(od, tekst.size());
    dlugosc = std::min(dlugosc, tekst.size() - od);
    // Leading spaces of a line are not worth showing.
    std::size_t a = 0;
    while (a < od && tekst[a] == ' ')
        ++a;
    std::size_t b = tekst.size();
    while (b > od + dlugosc && tekst[b - 1] == ' ')
        --b;
    bool ucietyPoczatek = false, ucietyKoniec = false;
    if (od - a > szerokosc) {
        std::size_t s = od - szerokosc;
        const std::size_t spacja = tekst.find(' ', s);
        a = (spacja != std::string_view::npos && spacja < od) ? spacja + 1 : s;
        ucietyPoczatek = true;
    }
    if (b - (od + dlugosc) > szerokosc) {
        std::size_t s = od + dlugosc + szerokosc;
        const std::size_t spacja = tekst.rfind(' ', s);
        b = (spacja != std::string_view::npos && spacja > od + dlugosc) ? spacja : s;
        ucietyKoniec = true;
    }
    std::string o;
    if (ucietyPoczatek)
        o += '\x85';   // …
    if (wyciete)
        *wyciete = o.size() + (od - a);
    o.append(tekst.substr(a, b - a));
    if (ucietyKoniec)
        o += '\x85';
    return o;
}

} // namespace szukanie
