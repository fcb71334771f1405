#pragma once
// The grammar of references to provisions: a group such as
// "art. 5 § 1 i 2, art. 7–9 oraz art. 12 ust. 2 pkt 3 lit. a" and the words
// after it that name the act ("k.c.", "Kodeksu cywilnego", "ustawy z dnia
// ... r. – Kodeks cywilny", "ustawy z dnia ... r. o ..."). Each number is
// its own span with its full address: in "art. 148 § 2 pkt 1–3" the spans
// are "art. 148 § 2 pkt 1" and "3", the second addressing art. 148 § 2
// pkt 3. Windows-1250; offsets count bytes from 0.
#include "store/Jednostki.h"
#include "store/Zdania.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace przepisy {

struct TOdwolanie {
    std::size_t Od = 0;
    std::size_t Dlugosc = 0;
    TAdres Adres;
};

// What the words after a group name.
enum class TWskazanie {
    Brak,         // nothing: the document itself, when that is a code
    TenDokument,  // "niniejszego kodeksu", "niniejszej ustawy"
    Kodeks,       // one of the fifteen codes
    Akt,          // "ustawy z dnia ... r." with a title: another act
    Nieznany,     // an act that cannot be told ("ustawy", "Traktatu", "u.s.p.")
};

struct TGrupa {
    std::vector<TOdwolanie> Czesci;
    std::size_t Koniec = 0;  // past the last address
    TWskazanie Wskazanie = TWskazanie::Brak;
    int Kodeks = -1;              // Kodeks
    zdania::TData DataAktu;       // Akt
    std::size_t KoniecDaty = 0;   // Akt: past the "r." of its date
};

// The group whose "art." (or "Art.") stands at i, into `g` (whose storage
// is reused); false when no article number follows it.
bool CzytajGrupe(std::string_view s, std::size_t i, TGrupa& g);

// A unit number at i ("5", "5^1", "12a"), with i moved past it; empty when
// there is none.
std::string NumerJednostki(std::string_view s, std::size_t& i);

} // namespace przepisy
