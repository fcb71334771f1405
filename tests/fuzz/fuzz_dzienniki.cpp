// The Journal of Laws citation scanner on any text, against the plain
// reference scanner of the tests; every citation it finds lies inside the
// text and can be cut out of it.
#include "Fuzz.h"

#include "store/Narzedzia.h"
#include "store/Wzorzec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    const std::string_view tekst = fuzz::bajty(dane, rozmiar);
    TDziennikiUstaw a{{"stare", 1, 2}}, b;
    const bool jest = SzukajDziennikow(tekst, a);
    FUZZ_CHECK(jest == wzorzec::szukajDziennikow(tekst, b));
    FUZZ_CHECK(a == b);
    FUZZ_CHECK(jest == !a.empty());
    for (const TDziennikUstaw& c : a) {
        FUZZ_CHECK(c.Od >= 1 && std::size_t(c.Od) + 1 <= rozmiar);
        FUZZ_CHECK(tekst.substr(std::size_t(c.Od - 1), 2) == "Dz");
        const std::string wycinek = Wycinek(tekst, c.Od - 1, c.Do - 2);
        FUZZ_CHECK(wycinek.size() <= rozmiar);
    }
    TDziennikiUstaw c, d;
    FUZZ_CHECK(SzukajDziennikowBezSpacji(tekst, c) == wzorzec::skanuj(tekst, d, false));
    FUZZ_CHECK(c == d);
    if (rozmiar >= 2)
        Wycinek(tekst, std::int8_t(dane[0]), std::int8_t(dane[1]));
    return 0;
}
