#pragma once
// Finding a piece of text in one document, as the find bar does it: every
// place where the typed text stands, ignoring letter case and, when asked,
// the diacritics of the letters. The document is a list of texts (the text
// runs of a view, the lines of a footnote); a match never spans two of them.
//
// The texts are folded once per way of folding and kept, so that a keystroke
// costs one scan of memory.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace szukanie {

struct TMiejsce {
    std::size_t Tekst = 0;    // index of the text in the list
    std::size_t Od = 0;       // first character in that text
    std::size_t Dlugosc = 0;
    friend bool operator==(const TMiejsce&, const TMiejsce&) = default;
};

class TZnajdowanie {
public:
    TZnajdowanie() = default;
    // Copies the texts (Windows-1250).
    explicit TZnajdowanie(const std::vector<std::string_view>& teksty);

    // Every place of `wzorzec` in order, matches not overlapping. Letter case
    // never counts; diacritics count only with `polskieZnaki`. An empty
    // pattern is found nowhere.
    std::vector<TMiejsce> Znajdz(std::string_view wzorzec, bool polskieZnaki);

    std::size_t LiczbaTekstow() const { return FPoczatki.empty() ? 0 : FPoczatki.size() - 1; }

private:
    const std::string& zlozone(bool bezZnakow);

    std::string FTekst;                  // the texts, each followed by a separator
    std::vector<std::size_t> FPoczatki;  // where each text starts in FTekst, and the end
    std::string FMale;                   // FTekst in lower case (made on first use)
    std::string FBezZnakow;              // ... and without diacritics
};

} // namespace szukanie
