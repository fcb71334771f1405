#include "reader/MiejscaDokumentu.h"

#include <algorithm>

TMiejscaDokumentu::TMiejscaDokumentu(const TPlik& plik, std::vector<TOdcinek> odcinki)
    : FJednostki(plik), FOdcinki(std::move(odcinki)), FLiczbaAkapitow(plik.size())
{
}

std::vector<TZakresElementu> TMiejscaDokumentu::Zakresy(std::size_t akapit, std::size_t od,
                                                        std::size_t dlugosc) const
{
    std::vector<TZakresElementu> wynik;
    const std::size_t koniec = od + dlugosc;
    auto it = std::lower_bound(FOdcinki.begin(), FOdcinki.end(), akapit,
                               [](const TOdcinek& o, std::size_t a) { return o.Akapit < a; });
    for (; it != FOdcinki.end() && it->Akapit == akapit; ++it) {
        const std::size_t a = std::max<std::size_t>(od, it->Od);
        const std::size_t b = std::min<std::size_t>(koniec, std::size_t(it->Od) + it->Dlugosc);
        if (a < b)
            wynik.push_back({it->Element, int(a - it->Od), int(b - a)});
    }
    return wynik;
}

std::optional<int> TMiejscaDokumentu::PierwszyElement(std::size_t akapit) const
{
    auto it = std::lower_bound(FOdcinki.begin(), FOdcinki.end(), akapit,
                               [](const TOdcinek& o, std::size_t a) { return o.Akapit < a; });
    if (it == FOdcinki.end())
        return std::nullopt;
    return it->Element;
}

std::optional<std::size_t> TMiejscaDokumentu::Akapit(int element) const
{
    auto it = std::upper_bound(FOdcinki.begin(), FOdcinki.end(), element,
                               [](int e, const TOdcinek& o) { return e < o.Element; });
    if (it == FOdcinki.begin() || std::prev(it)->Element != element)
        return std::nullopt;
    return std::prev(it)->Akapit;
}
