#pragma once
// Small readers of Polish legal prose in Windows-1250: which bytes are
// letters, digits and blanks, where a sentence begins, and dates written
// "z dnia 23 kwietnia 1964 r.". The citation scanner and the link finder
// share them, so that both cut sentences and read dates the same way.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace zdania {

inline bool Cyfra(unsigned char c) { return c >= '0' && c <= '9'; }

// A space or a non-breaking space (0xA0), which consolidated texts put
// between "Dz." and "U.", after "art." and inside numbers.
inline bool Odstep(unsigned char c) { return c == ' ' || c == 0xA0; }

// Letters of Windows-1250: ASCII and the accented letters of the code page.
// kRodzajZnaku: 0 other, 1 small letter, 2 capital letter, 3 digit.
extern const std::array<unsigned char, 256> kRodzajZnaku;
inline bool Litera(unsigned char c) { return kRodzajZnaku[c] == 1 || kRodzajZnaku[c] == 2; }
inline bool WielkaLitera(unsigned char c) { return kRodzajZnaku[c] == 2; }
inline bool MalaLitera(unsigned char c) { return Litera(c) && !WielkaLitera(c); }
inline bool LiteraLubCyfra(unsigned char c) { return kRodzajZnaku[c] != 0; }

// Byte i of s, or 0 past its end, so that look-ahead needs no bounds checks.
inline unsigned char Znak(std::string_view s, std::size_t i) { return i < s.size() ? (unsigned char)s[i] : 0; }

// First index at or after i that is not a blank.
std::size_t PominOdstepy(std::string_view s, std::size_t i);

// True when s holds `slowo` at i and the word ends there: a word ending in
// a letter or digit must not run on into another letter (or digit).
bool SlowoOd(std::string_view s, std::size_t i, std::string_view slowo);
inline bool Slowo(std::string_view s, std::size_t i, std::string_view slowo)
{
    // Most calls fail at the first byte: no call for them.
    return i < s.size() && !slowo.empty() && s[i] == slowo[0] && SlowoOd(s, i, slowo);
}

// Where the sentence holding position `pozycja` begins: just after the
// nearest earlier full stop that ends a sentence (one followed by blanks and
// a capital, not closing an abbreviation such as "art.", "r.", "poz." or a
// single letter), or after a semicolon, or 0. The search looks back at most
// `zasieg` bytes; a sentence longer than that is taken to begin there.
std::size_t PoczatekZdania(std::string_view s, std::size_t pozycja, std::size_t zasieg = 4000);

// The same for many positions of one text: every sentence start found in
// one pass, then looked up.
class TZdania {
public:
    explicit TZdania(std::string_view s);
    // As PoczatekZdania(s, pozycja) with no limit of reach.
    std::size_t Poczatek(std::size_t pozycja) const;

private:
    std::vector<std::size_t> FPoczatki;  // ascending, starting with 0
};

struct TData {
    int Dzien = 0;
    int Miesiac = 0;  // 1..12
    int Rok = 0;
    bool operator==(const TData&) const = default;
};

// Reads "z dnia 23 kwietnia 1964 r." starting at i (the "z"); on success
// `koniec` gets the index just past "r.". Blanks may be spaces or
// non-breaking spaces; the month is written as a word in the genitive.
std::optional<TData> CzytajDate(std::string_view s, std::size_t i, std::size_t& koniec);

// The last "z dnia ... r." date that ends within [od, do_).
std::optional<TData> OstatniaData(std::string_view s, std::size_t od, std::size_t do_);

} // namespace zdania
