#pragma once
// How statutes name the fifteen codes: their titles in every case ("Kodeks
// cywilny", "Kodeksu cywilnego", "Kodeksem cywilnym", "Konstytucji RP",
// "Ordynacji podatkowej"), their usual abbreviations ("k.c.", "k.p.k.",
// "o.p.") and the dates of the acts that enacted them, which tell the code
// in force from an older act of the same title ("ustawy z dnia 19 kwietnia
// 1969 r. – Kodeks karny" is not today's penal code). Text is Windows-1250.
#include "store/Zdania.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace kodeksy {

// A code named at i: an abbreviation, or its title in any case (with a
// capital or a small first letter). `koniec` gets the index past the name.
// The index is the store's code index (TytulKodeksu).
std::optional<int> NazwaKodeksu(std::string_view s, std::size_t i, std::size_t& koniec);

// A code's title in the nominative at i, as it follows the dash in
// "ustawy z dnia ... r. – Kodeks cywilny"; the longest title that fits
// ("Kodeks karny skarbowy" before "Kodeks karny").
std::optional<int> TytulPoMyslniku(std::string_view s, std::size_t i, std::size_t& koniec);

// The date of the act that enacted code `indeks`.
zdania::TData DataUchwalenia(int indeks);

} // namespace kodeksy
