// The dictionary loader on any file: it reads what the file holds, says when
// the file is damaged, and a file it calls whole is exactly what the writer
// makes of the words it read.
#include "Fuzz.h"

#include "store/Pliki.h"
#include "store/Zapis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    const std::string_view wejscie = fuzz::bajty(dane, rozmiar);
    const auto plik = fuzz::folderRoboczy()() / "Morvitane.sko";
    fuzz::zapisz(plik, wejscie);
    TZbiorKomunikatow k;
    TPliki p(&k);
    p.WczytajSlownik(plik);
    // Every entry takes at least five bytes of the file.
    FUZZ_CHECK(p.Slownik.size() * 5 <= rozmiar);
    if (p.SlownikUszkodzony()) {
        FUZZ_CHECK(k.Lista.size() == 1);
    } else {
        FUZZ_CHECK(k.Lista.empty());
        FUZZ_CHECK(ZapiszSlownik(p.Slownik, std::uint8_t(wejscie[3])) == wejscie);
    }
    return 0;
}
