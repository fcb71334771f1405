#pragma once
// A data library with Journal of Laws acts beside the codes: yearbook
// containers and presence files, written with the store's own writer.
#include "DaneTestowe.h"

#include <filesystem>
#include <string>
#include <vector>

namespace dane {

struct Dziennik {
    int rok = 0;
    int numer = 0;
    int pozycja = 0;
    TPlik akapity;
    std::vector<std::vector<std::string>> przypisy; // UTF-8, lines start with a space
    bool obecny = true; // gets a presence file
};

// Writes the dictionary of all documents, Lumesta/Lumesta.rdu with the
// codes, Lumesta/<year>.rdu with the acts of each year and, for acts marked
// present, an empty "Lumesta/Dzienniki Ustaw/Dz.U.<year>.<number>.<position>.txt".
// An act not marked present is still packed, so only the presence file
// decides. Returns an empty string on success, else what went wrong.
std::string zapiszBibliotekeZDziennikami(const std::filesystem::path& folder, const std::vector<Kodeks>& kodeksy,
                                         const std::vector<Dziennik>& dzienniki);

// A code (the Civil Code, index 0) whose two footnotes cite Journal acts:
// footnote 1 cites "Dz. U. 1990. 34. 198" and then "Dz. U. 2001. 5. 7"
// in one line; footnote 2 starts with the unspaced "Dz.U.1990.34.198".
Kodeks kodeksZOdnosnikami();
// The act 1990/34/198 (present) with one footnote mark of its own, and the
// act 2001/5/7 (packed, but without a presence file).
std::vector<Dziennik> dziennikiTestowe();

} // namespace dane
