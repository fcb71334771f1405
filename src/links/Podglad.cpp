#include "links/Podglad.h"

#include "store/Pliki.h"

namespace {

// "…" in Windows-1250.
constexpr const char* kWielokropek = "\x85";

std::string skrocona(std::string s, std::size_t dlugosc)
{
    if (s.size() <= dlugosc)
        return s;
    std::size_t k = s.rfind(' ', dlugosc);
    if (k == std::string::npos || k < dlugosc / 2)
        k = dlugosc;
    s.resize(k);
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s + kWielokropek;
}

} // namespace

TPodgladJednostki PodgladJednostki(const TPlik& plik, const TIndeksJednostek& jednostki, const TAdres& adres,
                                   std::size_t akapit, std::size_t ileLinii, std::size_t dlugoscLinii)
{
    TPodgladJednostki w;
    w.Tytul = OpisAdresu(adres);
    if (akapit >= plik.size())
        return w;
    // The cited unit (or the nearest enclosing one the document has) runs
    // to where the index says it ends.
    std::size_t koniec = plik.size();
    TAdres a = adres;
    for (;;) {
        if (const auto zakres = jednostki.Zakres(a); zakres && zakres->first == akapit) {
            koniec = zakres->second;
            break;
        }
        if (!a.Litera.empty())
            a.Litera.clear();
        else if (!a.Punkt.empty())
            a.Punkt.clear();
        else if (!a.Ustep.empty())
            a.Ustep.clear();
        else
            break;
    }
    for (std::size_t n = akapit; n < koniec && w.Linie.size() < ileLinii; ++n) {
        std::string t;
        for (const TTekst& k : plik[n])
            t += k.Tekst;
        // Marks stand between words; the text around them keeps its spaces.
        std::string zwarty;
        for (char c : t)
            if (!(c == ' ' && !zwarty.empty() && zwarty.back() == ' '))
                zwarty += c;
        if (!zwarty.empty())
            w.Linie.push_back(skrocona(std::move(zwarty), dlugoscLinii));
    }
    return w;
}

std::string OpisCelu(const TCel& c)
{
    switch (c.Rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        return NazwaAktu(c.Akt);
    case TRodzajOdnosnika::ArtykulAktu:
        return NazwaAktu(c.Akt) + ", " + OpisAdresu(c.Adres);
    case TRodzajOdnosnika::ArtykulKodeksu:
        return TytulKodeksu(c.Kodeks) + ", " + OpisAdresu(c.Adres);
    case TRodzajOdnosnika::Artykul:
        return OpisAdresu(c.Adres);
    }
    return {};
}
