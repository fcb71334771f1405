// The links of any text: Journal citations in the official wording, and
// references to provisions, in a code's body and in a footnote cut into
// lines. Every link lies inside its text (or its line), goes out in text
// order without overlapping another, and names a target that can be
// opened: an act with a year and a position, a unit with an article.
#include "Fuzz.h"

#include "links/Odnosniki.h"
#include "store/Cytowania.h"
#include "store/Pliki.h"

#include <string>
#include <vector>

namespace {

// A library that has everything, so that every reference the finder reads
// comes out as a link.
class TWszystko : public TBibliotekaOdnosnikow {
public:
    bool JestKodeks(int) const override { return true; }
    bool JestAkt(const TAkt&, const std::string&) const override { return true; }
};

void sprawdzCel(const TCel& c)
{
    switch (c.Rodzaj) {
    case TRodzajOdnosnika::Dziennik:
        // The older linked forms are read as they always were, whatever
        // numbers they hold.
        if (c.DawnaNazwa.empty())
            FUZZ_CHECK(c.Akt.Pozycja > 0 && c.Akt.Rok > 0);
        break;
    case TRodzajOdnosnika::ArtykulAktu:
        FUZZ_CHECK(c.Akt.Pozycja > 0);
        FUZZ_CHECK(!c.Adres.Artykul.empty());
        break;
    case TRodzajOdnosnika::Artykul:
        FUZZ_CHECK(!c.Adres.Artykul.empty());
        break;
    case TRodzajOdnosnika::ArtykulKodeksu:
        FUZZ_CHECK(!c.Adres.Artykul.empty());
        FUZZ_CHECK(c.Kodeks >= 0 && c.Kodeks < kLiczbaKodeksow);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    const std::string_view tekst = fuzz::bajty(dane, rozmiar);

    std::size_t koniec = 0;
    for (const TCytowanie& c : SzukajCytowan(tekst)) {
        FUZZ_CHECK(c.Dlugosc > 0 && c.Od + c.Dlugosc <= rozmiar);
        FUZZ_CHECK(c.Od >= koniec);
        koniec = c.Od + c.Dlugosc;
        if (c.DawnaNazwa.empty())
            FUZZ_CHECK(c.Akt.Pozycja > 0 && c.Akt.Rok >= 1918 && c.Akt.Rok <= 2200);
    }

    // The text as a code's body (code 0) and as a Journal act's.
    const TWszystko wszystko;
    for (const int kodeks : {0, -1}) {
        TZrodloOdnosnikow zrodlo;
        zrodlo.Kodeks = kodeks;
        koniec = 0;
        for (const TOdnosnik& o : OdnosnikiTekstu(tekst, 0, false, zrodlo, wszystko)) {
            FUZZ_CHECK(o.Miejsca.size() == 1);
            const TMiejsceOdnosnika& m = o.Miejsca[0];
            FUZZ_CHECK(m.Dlugosc > 0 && m.Od + m.Dlugosc <= rozmiar && m.Od >= koniec);
            koniec = m.Od + m.Dlugosc;
            sprawdzCel(o.Cel);
        }
    }

    // The text as a footnote, cut into lines at its line feeds.
    std::vector<std::string> linie;
    for (std::size_t od = 0;;) {
        const std::size_t nl = tekst.find('\n', od);
        linie.emplace_back(tekst.substr(od, nl == std::string_view::npos ? std::string_view::npos : nl - od));
        if (nl == std::string_view::npos)
            break;
        od = nl + 1;
    }
    for (const TOdnosnik& o : OdnosnikiPrzypisu(linie, {}, wszystko)) {
        FUZZ_CHECK(!o.Miejsca.empty());
        for (const TMiejsceOdnosnika& m : o.Miejsca) {
            FUZZ_CHECK(m.Linia < linie.size());
            FUZZ_CHECK(m.Dlugosc > 0 && m.Od + m.Dlugosc <= linie[m.Linia].size());
        }
        sprawdzCel(o.Cel);
        // A footnote's bare references belong to no document.
        FUZZ_CHECK(o.Cel.Rodzaj != TRodzajOdnosnika::Artykul);
    }
    return 0;
}
