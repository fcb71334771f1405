// Pack, then decode with the reader's own store: any source text the packer
// accepts must read back exactly as the source says, line by line and
// footnote by footnote (what `lumesta-tool verify` checks). Any difference
// stops the run.
#include "Fuzz.h"

#include "packer/Packer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    const auto folder = fuzz::folderRoboczy()();
    const auto zrodla = folder / "zrodla";
    const auto wynik = folder / "wynik";
    std::filesystem::create_directories(zrodla);
    fuzz::zapisz(zrodla / "akt.txt", fuzz::bajty(dane, rozmiar));
    packer::Problems problemy;
    if (!packer::packFolder(zrodla, wynik, problemy))
        return 0;   // refused, with reasons: nothing to compare
    packer::Problems roznice;
    if (!packer::verifyFolder(zrodla, wynik, roznice)) {
        for (const packer::Problem& p : roznice)
            std::fprintf(stderr, "%s\n", p.toString().c_str());
        FUZZ_CHECK(!"packed text reads back differently");
    }
    return 0;
}
