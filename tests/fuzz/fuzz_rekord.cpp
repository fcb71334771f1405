// One act record of any bytes, decoded three ways: as it is; cut to the
// bytes the header says the decoder can use (which is all the store reads
// from a file); and by the plain reference decoder of the tests. The first
// two must agree always, the third wherever the format fixes the result.
#include "Fuzz.h"

#include "store/Pliki.h"
#include "store/Wzorzec.h"

#include <algorithm>

namespace {

const TSlownik& slownik()
{
    static const TSlownik s = [] {
        TSlownik w;
        for (int i = 0; i < 300; ++i)
            w.push_back({i % 41 == 0 ? std::string() : "w" + std::to_string(i) + (i % 7 ? "" : " z"), i});
        return w;
    }();
    return s;
}

struct Wynik {
    TListaNapisow tekst{"przed"}, przypisy{"przed"};
    TPlik plik = TPlik(1);
    TZbiorKomunikatow komunikaty;
    std::uint64_t brakujace = 0;

    bool operator==(const Wynik& o) const
    {
        return tekst == o.tekst && przypisy == o.przypisy && plik == o.plik &&
               komunikaty.Lista == o.komunikaty.Lista && brakujace == o.brakujace;
    }
};

Wynik dekoduj(std::string_view rekord)
{
    Wynik w;
    DekodujRekord(rekord, slownik(), &w.komunikaty, w.tekst, w.przypisy, w.plik, &w.brakujace);
    return w;
}

struct Napis : TZrodloBajtow {
    std::string_view s;
    bool Czytaj(std::int64_t od, std::size_t ile, char* cel) override
    {
        if (od < 0 || std::size_t(od) > s.size() || s.size() - std::size_t(od) < ile)
            return false;
        std::copy_n(s.data() + od, ile, cel);
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    const std::string_view rekord = fuzz::bajty(dane, rozmiar);
    const Wynik caly = dekoduj(rekord);

    std::size_t tekstu = 0;
    for (const auto& w : caly.plik)
        for (const auto& t : w)
            tekstu += t.Tekst.size();
    for (const auto& l : caly.przypisy)
        tekstu += l.size();
    FUZZ_CHECK(tekstu <= (rozmiar + 64) * 300);
    FUZZ_CHECK(caly.plik.size() <= rozmiar + 1);

    if (rekord.substr(0, 3) == format::kMagiaRekordu) {
        Napis z;
        z.s = rekord;
        const std::int64_t uzyteczne = UzytecznaDlugoscRekordu(std::int64_t(rozmiar), z);
        FUZZ_CHECK(uzyteczne >= 3 && uzyteczne <= std::int64_t(rozmiar));
        FUZZ_CHECK(dekoduj(rekord.substr(0, std::size_t(uzyteczne))) == caly);
    }

    const auto wz = wzorzec::dekoduj(rekord, slownik());
    if (!wz.nieokreslony && !wz.zlaMagia) {
        FUZZ_CHECK(caly.plik == wz.plik);
        FUZZ_CHECK(caly.tekst == wz.tekst);
        FUZZ_CHECK(caly.przypisy == wz.przypisy);
        FUZZ_CHECK(caly.komunikaty.Lista == wz.komunikaty);
    }
    return 0;
}
