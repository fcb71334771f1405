#include "search/Znajdowanie.h"

#include <cstring>

#include "search/Litery.h"

namespace szukanie {
namespace {

// Between the texts; typed patterns never hold it, so no match can span two.
constexpr char kOddzielnik = '\0';

} // namespace

TZnajdowanie::TZnajdowanie(const std::vector<std::string_view>& teksty)
{
    std::size_t razem = 0;
    for (auto t : teksty)
        razem += t.size() + 1;
    FTekst.reserve(razem);
    FPoczatki.reserve(teksty.size() + 1);
    for (auto t : teksty) {
        FPoczatki.push_back(FTekst.size());
        FTekst.append(t);
        FTekst.push_back(kOddzielnik);
    }
    FPoczatki.push_back(FTekst.size());
}

const std::string& TZnajdowanie::zlozone(bool bezZnakow)
{
    std::string& z = bezZnakow ? FBezZnakow : FMale;
    if (z.size() != FTekst.size()) {
        z.resize(FTekst.size());
        Zloz(FTekst, bezZnakow, z.data());
    }
    return z;
}

std::vector<TMiejsce> TZnajdowanie::Znajdz(std::string_view wzorzec, bool polskieZnaki)
{
    std::vector<TMiejsce> wynik;
    std::string w;
    w.reserve(wzorzec.size());
    for (char c : wzorzec)
        if (c != kOddzielnik)
            w.push_back(c);
    if (w.empty() || FTekst.empty())
        return wynik;
    const bool bezZnakow = !polskieZnaki;
    Zloz(w, bezZnakow, w.data());
    const std::string& t = zlozone(bezZnakow);

    std::size_t tekst = 0;
    const char* poczatek = t.data();
    const char* p = poczatek;
    const char* const koniec = poczatek + t.size();
    while (p < koniec) {
        const void* z = memmem(p, std::size_t(koniec - p), w.data(), w.size());
        if (!z)
            break;
        const auto poz = std::size_t(static_cast<const char*>(z) - poczatek);
        while (FPoczatki[tekst + 1] <= poz)
            ++tekst;
        wynik.push_back(TMiejsce{tekst, poz - FPoczatki[tekst], w.size()});
        p = static_cast<const char*>(z) + w.size();
    }
    return wynik;
}

} // namespace szukanie
