// A container file of any bytes, read as the reader reads it: listed, then
// each of its first entries opened by name, as a code and as a Journal of
// Laws act. Nothing may be read outside the file, a damaged directory is
// said once, and no text can come out larger than the record could make.
#include "Fuzz.h"

#include "store/Pliki.h"

namespace {

const TSlownik& slownik()
{
    static const TSlownik s = [] {
        TSlownik w;
        for (int i = 0; i < 300; ++i)
            w.push_back({i % 37 == 0 ? std::string() : "s" + std::to_string(i), i});
        return w;
    }();
    return s;
}

std::size_t rozmiarTekstu(const TPlik& plik, const TListaNapisow& przypisy)
{
    std::size_t n = 0;
    for (const auto& w : plik)
        for (const auto& t : w)
            n += t.Tekst.size();
    for (const auto& l : przypisy)
        n += l.size();
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    const std::string_view wejscie = fuzz::bajty(dane, rozmiar);
    const auto folder = fuzz::folderRoboczy()();
    fuzz::zapisz(folder / "Lumesta.rdu", wejscie);
    fuzz::zapisz(folder / "1998.rdu", wejscie);

    TZbiorKomunikatow k;
    TPliki p(&k);
    p.Slownik = slownik();
    TListaNapisow tekst, przypisy, tytuly;
    TPlik plik;
    const auto lista = p.OtworzDokument(folder, "Kodeks cywilny", tekst, przypisy, plik, false, tytuly);
    if (lista != TWynikOtwarcia::Otwarty) {
        FUZZ_CHECK(!k.Lista.empty());
        return 0;
    }
    FUZZ_CHECK(tytuly.size() == p.DaneDZU.size());
    FUZZ_CHECK(13 * p.DaneDZU.size() <= rozmiar);
    FUZZ_CHECK(k.Lista.size() == (p.KatalogUszkodzony() ? 1u : 0u));
    const TTabDaneDZU katalog = p.DaneDZU;
    // The same bytes as a yearbook: listed too, so that both have had
    // their say about a damaged directory before anything is opened.
    p.OtworzDokument(folder, "Dz.U.1998.0.0", tekst, przypisy, plik, false, tytuly);

    for (std::size_t i = 0; i < katalog.size() && i < 16; ++i) {
        const TDaneDZU& w = katalog[i];
        const std::string nazwy[] = {TytulPozycji("Lumesta", w),
                                     "Dz.U.1998." + std::to_string(w.Numer) + "." + std::to_string(w.Pozycja)};
        for (const std::string& nazwa : nazwy) {
            if (nazwa.empty())
                continue;
            k.Lista.clear();
            const auto wynik = p.OtworzDokument(folder, nazwa, tekst, przypisy, plik, true, tytuly);
            // The damage was said when the container was listed. A text
            // that opens may only have its footnotes missing; one that
            // does not open is always explained.
            FUZZ_CHECK(k.Lista.size() <= 2);
            if (wynik == TWynikOtwarcia::Otwarty) {
                for (const std::string& m : k.Lista)
                    FUZZ_CHECK(m == komunikaty::BrakTresciPrzypisow());
            } else {
                FUZZ_CHECK(!k.Lista.empty());
            }
            if (wynik == TWynikOtwarcia::Otwarty || wynik == TWynikOtwarcia::UszkodzonySlownik)
                FUZZ_CHECK(rozmiarTekstu(plik, przypisy) <= (rozmiar + 64) * 300);
            FUZZ_CHECK(p.Plik.empty());
        }
    }
    return 0;
}
