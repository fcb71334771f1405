#pragma once
// Places in an open document: which unit and headings a paragraph stands
// under, where a place of the decoded text is among the view's items, and
// which paragraph an item shows. Built with the document; needs no display.
#include "reader/BudowaDokumentu.h"
#include "store/Jednostki.h"

#include <cstddef>
#include <optional>
#include <vector>

// A run of an item's characters: [Od, Od + Dlugosc) of item Element.
struct TZakresElementu {
    int Element = 0;
    int Od = 0;
    int Dlugosc = 0;
    friend bool operator==(const TZakresElementu&, const TZakresElementu&) = default;
};

class TMiejscaDokumentu {
public:
    TMiejscaDokumentu() = default;
    TMiejscaDokumentu(const TPlik& plik, std::vector<TOdcinek> odcinki);

    const TIndeksJednostek& Jednostki() const { return FJednostki; }
    std::size_t LiczbaAkapitow() const { return FLiczbaAkapitow; }

    // The items that show characters [od, od + dlugosc) of a paragraph (its
    // pieces joined), run by run; empty when none of them is shown. A
    // length past the paragraph's end takes the rest of it.
    std::vector<TZakresElementu> Zakresy(std::size_t akapit, std::size_t od, std::size_t dlugosc) const;
    // The first item of a paragraph (or of the first paragraph after it
    // that has one); nothing past the end.
    std::optional<int> PierwszyElement(std::size_t akapit) const;
    // The paragraph whose text an item shows; nothing for an item that
    // shows none (a mark, an anchor, the gap that opens a paragraph's line).
    std::optional<std::size_t> Akapit(int element) const;

private:
    TIndeksJednostek FJednostki;
    std::vector<TOdcinek> FOdcinki;
    std::size_t FLiczbaAkapitow = 0;
};
