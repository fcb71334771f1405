#include "store/Zdania.h"

#include <algorithm>
#include <array>
#include <string>

namespace zdania {

namespace {

// Words that a full stop abbreviates rather than ends a sentence with.
// Single letters ("U.", the parts of "k.p.c.") are abbreviations too.
constexpr std::string_view kSkroty[] = {
    "Dz", "Nr", "nr", "art", "ust", "pkt", "lit", "poz", "zm", "zob", "por", "np", "tzw", "tj", "ww",
    "in", "ok", "str", "godz", "dot", "sygn", "proc", "tys", "mln", "mld", "im", "pt", "prof", "dr",
    "zd", "p\xF3\x9Fn", "z\xB3", "\x9Cw", "gen", "ul", "al", "pl", "sp", "Sp", "Art", "ds", "wg"};

// Months in the genitive, as dates write them.
constexpr std::string_view kMiesiace[] = {"stycznia", "lutego", "marca", "kwietnia", "maja", "czerwca",
                                          "lipca", "sierpnia", "wrze\x9Cnia", "pa\x9F" "dziernika",
                                          "listopada", "grudnia"};

bool skrot(std::string_view s, std::size_t kropka)
{
    std::size_t p = kropka;
    while (p > 0 && Litera(Znak(s, p - 1)))
        --p;
    const std::string_view slowo = s.substr(p, kropka - p);
    if (slowo.size() <= 1)
        return true;
    for (std::string_view k : kSkroty)
        if (slowo == k)
            return true;
    return false;
}

// Reads 1..maks digits at i; -1 when there are none or too many.
int liczba(std::string_view s, std::size_t& i, int maks)
{
    std::size_t k = i;
    int v = 0;
    while (Cyfra(Znak(s, k))) {
        if (int(k - i) >= maks)
            return -1;
        v = v * 10 + (Znak(s, k) - '0');
        ++k;
    }
    if (k == i)
        return -1;
    i = k;
    return v;
}

} // namespace

constexpr std::array<unsigned char, 256> kRodzajZnaku = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 'a'; b <= 'z'; ++b)
        t[std::size_t(b)] = 1;
    for (int b = 'A'; b <= 'Z'; ++b)
        t[std::size_t(b)] = 2;
    for (int b = '0'; b <= '9'; ++b)
        t[std::size_t(b)] = 3;
    for (int b : {0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0xA3, 0xA5, 0xAA, 0xAF, 0xBC})
        t[std::size_t(b)] = 2;
    for (int b : {0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xB3, 0xB9, 0xBA, 0xBE, 0xBF, 0xDF})
        t[std::size_t(b)] = 1;
    for (int b = 0xC0; b <= 0xDE; ++b)
        if (b != 0xD7)
            t[std::size_t(b)] = 2;
    for (int b = 0xE0; b <= 0xFE; ++b)
        if (b != 0xF7)
            t[std::size_t(b)] = 1;
    return t;
}();

std::size_t PominOdstepy(std::string_view s, std::size_t i)
{
    while (i < s.size() && Odstep((unsigned char)s[i]))
        ++i;
    return i;
}

bool SlowoOd(std::string_view s, std::size_t i, std::string_view slowo)
{
    if (slowo.empty() || i > s.size() || s.substr(i, slowo.size()) != slowo)
        return false;
    const unsigned char ostatni = (unsigned char)slowo.back();
    const unsigned char dalej = Znak(s, i + slowo.size());
    if (Litera(ostatni) && Litera(dalej))
        return false;
    if (Cyfra(ostatni) && Cyfra(dalej))
        return false;
    return true;
}

std::size_t PoczatekZdania(std::string_view s, std::size_t pozycja, std::size_t zasieg)
{
    if (pozycja > s.size())
        pozycja = s.size();
    const std::size_t granica = pozycja > zasieg ? pozycja - zasieg : 0;
    for (std::size_t p = pozycja; p > granica; --p) {
        const unsigned char c = Znak(s, p - 1);
        if (c == ';')
            return p;
        if (c != '.' && c != '!' && c != '?')
            continue;
        const std::size_t dalej = PominOdstepy(s, p);
        if (dalej == p || dalej > pozycja || !WielkaLitera(Znak(s, dalej)))
            continue;
        if (c == '.' && skrot(s, p - 1))
            continue;
        return dalej;
    }
    return granica;
}

TZdania::TZdania(std::string_view s)
{
    FPoczatki.push_back(0);
    for (std::size_t p = 1; p <= s.size(); ++p) {
        const unsigned char c = Znak(s, p - 1);
        if (c == ';') {
            FPoczatki.push_back(p);
            continue;
        }
        if (c != '.' && c != '!' && c != '?')
            continue;
        const std::size_t dalej = PominOdstepy(s, p);
        if (dalej == p || !WielkaLitera(Znak(s, dalej)))
            continue;
        if (c == '.' && skrot(s, p - 1))
            continue;
        FPoczatki.push_back(dalej);
    }
}

std::size_t TZdania::Poczatek(std::size_t pozycja) const
{
    // The last start at or before the position.
    const auto it = std::upper_bound(FPoczatki.begin(), FPoczatki.end(), pozycja);
    return *(it - 1);
}

std::optional<TData> CzytajDate(std::string_view s, std::size_t i, std::size_t& koniec)
{
    if (!Slowo(s, i, "z"))
        return std::nullopt;
    std::size_t k = PominOdstepy(s, i + 1);
    if (!Slowo(s, k, "dnia"))
        return std::nullopt;
    k = PominOdstepy(s, k + 4);
    TData d;
    d.Dzien = liczba(s, k, 2);
    if (d.Dzien < 1 || d.Dzien > 31 || !Odstep(Znak(s, k)))
        return std::nullopt;
    k = PominOdstepy(s, k);
    for (std::size_t m = 0; m < std::size(kMiesiace); ++m) {
        if (Slowo(s, k, kMiesiace[m])) {
            d.Miesiac = int(m) + 1;
            k += kMiesiace[m].size();
            break;
        }
    }
    if (d.Miesiac == 0 || !Odstep(Znak(s, k)))
        return std::nullopt;
    k = PominOdstepy(s, k);
    d.Rok = liczba(s, k, 4);
    if (d.Rok < 1800 || !Odstep(Znak(s, k)))
        return std::nullopt;
    k = PominOdstepy(s, k);
    if (!Slowo(s, k, "r."))
        return std::nullopt;
    koniec = k + 2;
    return d;
}

std::optional<TData> OstatniaData(std::string_view s, std::size_t od, std::size_t do_)
{
    if (do_ > s.size())
        do_ = s.size();
    std::optional<TData> wynik;
    for (std::size_t p = od; p < do_; ++p) {
        if (s[p] != 'z' || (p > 0 && LiteraLubCyfra(Znak(s, p - 1))))
            continue;
        std::size_t koniec = 0;
        if (auto d = CzytajDate(s, p, koniec); d && koniec <= do_)
            wynik = d;
    }
    return wynik;
}

} // namespace zdania
