// The packer's source parser on any bytes: it accepts the text or names
// each problem with a place inside the file; accepted text is encoded and
// packed, or refused with reasons, never crashed on.
#include "Fuzz.h"

#include "packer/Packer.h"
#include "packer/Source.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar)
{
    const std::string_view tekst = fuzz::bajty(dane, rozmiar);
    packer::SourceDocument doc;
    packer::Problems problemy;
    const bool dobry = packer::parseSource(tekst, "zrodlo.txt", doc, problemy);
    FUZZ_CHECK(dobry == problemy.empty());
    const auto linie = std::count(tekst.begin(), tekst.end(), '\n') + 1;
    for (const packer::Problem& p : problemy) {
        FUZZ_CHECK(p.file == "zrodlo.txt");
        // A missing line is reported where it should have been, one past
        // the last.
        FUZZ_CHECK(p.line >= 0 && p.line <= linie + 1);
        FUZZ_CHECK(p.column >= 0 && std::size_t(p.column) <= rozmiar + 1);
        FUZZ_CHECK(!p.message.empty());
    }
    if (!dobry)
        return 0;
    for (const packer::SourceLine& l : doc.body)
        FUZZ_CHECK(l.text.find('\n') == std::string::npos);
    packer::LibraryPacker pakowanie;
    packer::Problems dalsze;
    if (pakowanie.add(tekst, "zrodlo.txt", dalsze)) {
        packer::PackedLibrary wynik;
        FUZZ_CHECK(pakowanie.finish(wynik, dalsze) || !dalsze.empty());
    } else {
        FUZZ_CHECK(!dalsze.empty());
    }
    return 0;
}
