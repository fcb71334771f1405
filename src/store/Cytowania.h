#pragma once
// Journal of Laws (Dziennik Ustaw) citations as statutes write them:
//   Dz. U. z 2016 r. poz. 380
//   Dz. U. z 2016 r. poz. 380, 585 i 1579
//   Dz. U. Nr 50, poz. 331                      (year from the sentence)
//   Dz. U. z 2007 r. Nr 50, poz. 331, Nr 99, poz. 660
//   Dz. U. z 2023 r. poz. 1234 i 1456 oraz z 2024 r. poz. 12
// and the two linked forms older libraries carry in their footnotes
// ("Dz. U. 1998. 106. 668", "Dz.U.1998.106.668"), read exactly as the
// scanner of Narzedzia reads them. Every position cited is one citation of
// one act. Text is Windows-1250; offsets count bytes from 0.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An act of the Journal of Laws by its place: year, issue number (0 for the
// acts published from 2012 on, which have no issues) and position.
struct TAkt {
    int Rok = 0;
    int Numer = 0;
    int Pozycja = 0;
    bool operator==(const TAkt&) const = default;
    bool operator<(const TAkt& b) const
    {
        if (Rok != b.Rok)
            return Rok < b.Rok;
        return Numer != b.Numer ? Numer < b.Numer : Pozycja < b.Pozycja;
    }
};

// "Dz.U.2016.0.380": the name the store opens the act by and its presence
// file is named after.
std::string NazwaAktu(const TAkt& akt);
// The name read back: "Dz.U." and three numbers separated by full stops.
std::optional<TAkt> RozbierzNazweAktu(std::string_view nazwa);

struct TCytowanie {
    TAkt Akt;
    // The span a link covers: the first position from "Dz." to its last
    // digit, a further issue from "Nr", a further year from its "z", a
    // further position of the same issue its digits only.
    std::size_t Od = 0;
    std::size_t Dlugosc = 0;
    // Linked forms of older libraries: "Dz.U." and the digits as written
    // there ("Dz.U.2001.005.43"), the name such a library may have named the
    // presence file by. Empty for the official wording.
    std::string DawnaNazwa;
    bool operator==(const TCytowanie&) const = default;
};
using TCytowania = std::vector<TCytowanie>;

// Every citation of the text, in text order. A citation without its year
// ("Dz. U. poz. 1823", "Dz. U. Nr 5, poz. 43") takes the year of the
// nearest "z dnia ... r." before it in the same sentence, when no other
// citation stands between them; without such a date it is not a citation.
// `dawneFormy` false leaves out the older linked forms.
TCytowania SzukajCytowan(std::string_view tekst, bool dawneFormy = true);

// Only the older linked forms, exactly as SzukajDziennikow finds them: the
// spaced ones, or the unspaced ones when the text has no spaced one. They
// were written one line at a time, and are read that way.
TCytowania SzukajDawnychCytowan(std::string_view tekst);
