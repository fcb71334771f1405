#pragma once
// Shared by the link tests: UTF-8 <-> Windows-1250, a library whose
// contents a test sets, and links written out in a readable form.
#include "links/Odnosniki.h"
#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace testy {

inline std::string cp(std::string_view utf8) { return cp1250::fromUtf8(utf8); }
inline std::string utf(std::string_view cp) { return cp1250::toUtf8(cp); }

inline int kodeks(std::string_view tytulUtf8)
{
    for (int k = 0; k < kLiczbaKodeksow; ++k)
        if (TytulKodeksu(k) == cp(tytulUtf8))
            return k;
    return -1;
}

class Biblioteka : public TBibliotekaOdnosnikow {
public:
    bool JestKodeks(int indeks) const override { return Kodeksy.count(indeks) > 0; }
    bool JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const override
    {
        return Akty.count(NazwaAktu(akt)) > 0 || (!dawnaNazwa.empty() && Akty.count(dawnaNazwa) > 0);
    }
    const TIndeksJednostek* JednostkiKodeksu(int indeks) const override
    {
        const auto it = Jednostki.find(indeks);
        return it == Jednostki.end() ? nullptr : it->second;
    }
    std::set<int> Kodeksy;
    std::set<std::string> Akty;
    std::map<int, const TIndeksJednostek*> Jednostki;
};

// "kind:span>target" for each link of a text; the target is the act's name,
// or the code index (or "-" for the document itself) and the address.
inline std::string opisCelu(const TCel& c)
{
    switch (c.Rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        return NazwaAktu(c.Akt);
    case TRodzajOdnosnika::ArtykulAktu:
        return NazwaAktu(c.Akt) + " " + utf(OpisAdresu(c.Adres));
    case TRodzajOdnosnika::Artykul:
        return utf(OpisAdresu(c.Adres));
    case TRodzajOdnosnika::ArtykulKodeksu:
        return utf(TytulKodeksu(c.Kodeks)) + " " + utf(OpisAdresu(c.Adres));
    }
    return {};
}

inline std::vector<std::string> opis(std::string_view tekst, const TOdnosniki& l)
{
    std::vector<std::string> w;
    for (const TOdnosnik& o : l) {
        const TMiejsceOdnosnika& m = o.Miejsca.at(0);
        w.push_back(std::string(NazwaRodzaju(o.Cel.Rodzaj)) + ":" + utf(tekst.substr(m.Od, m.Dlugosc)) + ">" +
                    opisCelu(o.Cel));
    }
    return w;
}

} // namespace testy
