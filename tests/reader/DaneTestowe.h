#pragma once
// Small data libraries for the reader's tests, written with the store's own
// writer: a dictionary and a codes container laid out as the program finds
// them beside itself.
#include "store/Typy.h"

#include <filesystem>
#include <string>
#include <vector>

namespace dane {

// A piece of a paragraph; text in UTF-8 (converted to Windows-1250).
struct K {
    int rodzaj;
    std::string tekst;
};
TWiersz wiersz(const std::vector<K>& kawalki);

struct Kodeks {
    int indeks = 0;                              // code index 0..14
    TPlik akapity;                               // as the decoder returns them
    std::vector<std::vector<std::string>> przypisy; // UTF-8 lines, each starting with a space
};

// Writes folder/Morvitane.sko and folder/Lumesta/Lumesta.rdu. Returns an
// empty string on success, else what went wrong.
std::string zapiszBiblioteke(const std::filesystem::path& folder, const std::vector<Kodeks>& kodeksy);

// Three codes: the Civil Code (index 0) with headings of every kind that
// matters, footnote marks in body and heading lines and three footnotes; the
// Penal Code (3), plain; the Constitution (13) with two KONSTYTUCJA headings.
Kodeks kodeksCywilny();
Kodeks kodeksKarny();
Kodeks konstytucja();

// UTF-8 <-> Windows-1250 shorthands.
std::string cp(const std::string& utf8);
std::string utf(const std::string& cp1250);

} // namespace dane
