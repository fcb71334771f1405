#pragma once
// What a preview of a reference's target shows: the first lines of the
// cited unit, read from the target document. Windows-1250, no display.
#include "links/Odnosniki.h"

#include <cstddef>
#include <string>
#include <vector>

struct TPodgladJednostki {
    std::string Tytul;                // "Art. 148 § 2" (with the code's title for another code)
    std::vector<std::string> Linie;   // the unit's first paragraphs, shortened
};

// The unit `adres` of `plik` from paragraph `akapit` on (where the finder
// resolved it): at most `ileLinii` paragraphs of the unit, each cut to about
// `dlugoscLinii` bytes at a word boundary with "…" after it. Footnote marks
// leave no trace. A paragraph out of range gives no lines.
TPodgladJednostki PodgladJednostki(const TPlik& plik, const TIndeksJednostek& jednostki, const TAdres& adres,
                                   std::size_t akapit, std::size_t ileLinii = 4, std::size_t dlugoscLinii = 300);

// Whether a reader offers the link: a Journal citation always (an act not in
// the library can still be looked up), a reference only when its target is
// there.
inline bool OdnosnikCzynny(const TOdnosnik& o)
{
    return o.Cel.Rodzaj == TRodzajOdnosnika::Dziennik || o.Istnieje;
}

// A short description of a target for the status bar: "Dz.U.2016.0.380",
// "Kodeks cywilny, Art. 415", "Art. 148 § 2", "Dz.U.2016.0.380, Art. 5".
std::string OpisCelu(const TCel& cel);
