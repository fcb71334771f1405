#pragma once
// Journal of Laws citations in footnote text, and the substring rule the
// footnote window cuts its lines with. All indices are counted from 1, as in
// the texts these functions serve.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TDziennikUstaw {
    std::string Tekst;     // digits and dots, year first: "1998.106.668"
    std::int32_t Od = 0;   // index (from 1) of the "D" of "Dz"
    std::int32_t Do = 0;   // Od + length of Tekst + 10 (spaced) or + 6 (unspaced)

    bool operator==(const TDziennikUstaw&) const = default;
};
using TDziennikiUstaw = std::vector<TDziennikUstaw>;

// Spaced form ("Dz. U. 1998. 106. 668"); if it finds none, the result of
// SzukajDziennikowBezSpacji on the same text. True if anything was recorded.
bool SzukajDziennikow(std::string_view tekst, TDziennikiUstaw& lista);
// Unspaced form ("Dz.U.1998.106.668"). True if anything was recorded.
bool SzukajDziennikowBezSpacji(std::string_view tekst, TDziennikiUstaw& lista);

// Characters a+1 .. b of s (from 1, both included); empty when b exceeds the
// length of s or b < a + 1.
std::string Wycinek(std::string_view s, std::int64_t a, std::int64_t b);
