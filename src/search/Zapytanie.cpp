#include "search/Zapytanie.h"

#include <algorithm>

#include "search/Litery.h"

namespace szukanie {
namespace {

bool cudzyslow(unsigned char c)
{
    return c == '"' || c == 0x84 /* „ */ || c == 0x93 /* “ */ || c == 0x94 /* ” */;
}

} // namespace

std::size_t TZapytanie::LiczbaSlow() const
{
    std::size_t n = 0;
    for (const auto& w : Wyrazenia)
        n += w.size();
    return n;
}

TZapytanie RozbierzZapytanie(std::string_view tekst, bool dokladnie)
{
    TZapytanie z;
    z.Dokladnie = dokladnie;
    std::size_t slow = 0;
    auto dodaj = [&](std::vector<std::string> wyrazenie) {
        if (wyrazenie.empty())
            return;
        if (slow + wyrazenie.size() > kNajwiecejSlow)
            wyrazenie.resize(kNajwiecejSlow - std::min(slow, kNajwiecejSlow));
        if (wyrazenie.empty() ||
            std::find(z.Wyrazenia.begin(), z.Wyrazenia.end(), wyrazenie) != z.Wyrazenia.end())
            return;
        slow += wyrazenie.size();
        z.Wyrazenia.push_back(std::move(wyrazenie));
    };
    auto slowa = [&](std::string_view kawalek) {
        std::vector<std::string> w;
        DlaSlow(kawalek, [&](TFragment f) { w.push_back(Zloz(kawalek.substr(f.Od, f.Dlugosc), false)); });
        return w;
    };

    std::size_t i = 0;
    while (i < tekst.size()) {
        std::size_t j = i;
        while (j < tekst.size() && !cudzyslow(static_cast<unsigned char>(tekst[j])))
            ++j;
        for (auto& s : slowa(tekst.substr(i, j - i)))
            dodaj({std::move(s)});
        if (j >= tekst.size())
            break;
        // A phrase up to the closing mark (or the end).
        std::size_t k = j + 1;
        while (k < tekst.size() && !cudzyslow(static_cast<unsigned char>(tekst[k])))
            ++k;
        dodaj(slowa(tekst.substr(j + 1, k - j - 1)));
        i = k + 1;
    }
    return z;
}

} // namespace szukanie
