// The licence text reader on any bytes: it reads them, whatever they are,
// into no more text than they hold, and marks no link no one could open.
#include "Fuzz.h"

#include "reader/Rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    const rtf::TDokument d = rtf::Czytaj(fuzz::bajty(dane, rozmiar));
    FUZZ_CHECK(d.Akapity.size() <= rozmiar + 1);
    std::size_t tekstu = 0;
    for (const rtf::TAkapit& a : d.Akapity) {
        for (const rtf::TFragment& f : a.Fragmenty) {
            tekstu += f.Tekst.size();
            FUZZ_CHECK(f.Format.Lacze.Cel().size() <= rtf::MaksDlugoscLacza);
            for (char c : f.Tekst)
                FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n');
        }
    }
    FUZZ_CHECK(tekstu <= rozmiar);
    for (const auto& [numer, czcionka] : d.Czcionki)
        FUZZ_CHECK(d.Czcionka(numer) == &czcionka);
    return 0;
}
