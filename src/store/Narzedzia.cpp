#include "store/Narzedzia.h"

#include <algorithm>

namespace {

bool cyfra(char c) { return c >= '0' && c <= '9'; }

struct Forma {
    std::string_view przedrostek;
    std::int64_t okno;        // characters examined after the prefix
    bool spacjaDozwolona;     // the spaced form allows (and skips) spaces
    std::int64_t przesuniecieCyfr;  // position digits start at p + this
    std::int32_t dodatekDo;
};

constexpr Forma kZeSpacjami{"Dz. U. ", 12, true, 1, 10};
constexpr Forma kBezSpacji{"Dz.U.", 11, false, 0, 6};

bool szukaj(std::string_view s, TDziennikiUstaw& lista, const Forma& f)
{
    lista.clear();
    bool zapisano = false;
    const std::int64_t L = std::int64_t(s.size());
    const std::int64_t dl = std::int64_t(f.przedrostek.size());
    // Indices below are counted from 1, as the citation positions are.
    auto znak = [&](std::int64_t i) { return s[std::size_t(i - 1)]; };

    for (std::int64_t j = 1; j + dl - 1 <= L; ++j) {
        if (s.substr(std::size_t(j - 1), std::size_t(dl)) != f.przedrostek)
            continue;
        lista.emplace_back();
        int kropki = 0;
        std::string tekst;
        bool gotowe = false;
        bool otrzymal = false;
        bool usuniety = false;

        // Records the citation when its position has been read; an entry
        // whose text cannot be a citation is dropped.
        auto zamknij = [&]() {
            if (kropki == 2) {
                if (gotowe) {
                    lista.back() = TDziennikUstaw{tekst, std::int32_t(j),
                                                  std::int32_t(j + std::int64_t(tekst.size()) + f.dodatekDo)};
                    gotowe = false;
                    otrzymal = true;
                    zapisano = true;
                }
            } else {
                lista.pop_back();
                usuniety = true;
            }
        };

        for (std::int64_t i = 1; i <= f.okno && !usuniety; ++i) {
            const std::int64_t p = j + dl - 1 + i;
            if (p > L)
                continue;
            const char c = znak(p);
            if (gotowe) {
                zamknij();
                continue;
            }
            const bool dozwolony = cyfra(c) || c == '.' || (f.spacjaDozwolona && c == ' ');
            if (!dozwolony) {
                zamknij();
                if (usuniety)
                    break;
            }
            if (kropki == 2) {
                std::int64_t q = p + f.przesuniecieCyfr;
                for (int n = 0; n < 5; ++n, ++q) {
                    if (q > L || !cyfra(znak(q))) {
                        gotowe = true;
                        break;
                    }
                    tekst.push_back(znak(q));
                }
                continue;
            }
            if (c == '.')
                ++kropki;
            if (c != ' ')
                tekst.push_back(c);
        }
        if (!usuniety && !otrzymal)
            lista.pop_back();
    }
    return zapisano;
}

} // namespace

bool SzukajDziennikow(std::string_view tekst, TDziennikiUstaw& lista)
{
    if (szukaj(tekst, lista, kZeSpacjami))
        return true;
    return SzukajDziennikowBezSpacji(tekst, lista);
}

bool SzukajDziennikowBezSpacji(std::string_view tekst, TDziennikiUstaw& lista)
{
    return szukaj(tekst, lista, kBezSpacji);
}

std::string Wycinek(std::string_view s, std::int64_t a, std::int64_t b)
{
    const std::int64_t n = std::int64_t(s.size());
    if (b > n || b < a + 1)
        return {};
    // A start before the first character counts from the first one.
    const std::int64_t od = std::max<std::int64_t>(a + 1, 1);
    if (b < od)
        return {};
    return std::string(s.substr(std::size_t(od - 1), std::size_t(b - od + 1)));
}
