#include "store/Cytowania.h"

#include "store/Narzedzia.h"
#include "store/Zdania.h"

#include <algorithm>
#include <charconv>

using namespace zdania;

namespace {

constexpr int kNajwczesniejszyRok = 1918;  // the first volume of the Journal
constexpr int kNajpozniejszyRok = 2200;

// Reads 1..maks digits at i that are not followed by a letter or another
// digit; -1 otherwise (i unchanged).
int liczba(std::string_view s, std::size_t& i, int maks)
{
    std::size_t k = i;
    int v = 0;
    while (Cyfra(Znak(s, k)) && int(k - i) < maks) {
        v = v * 10 + (Znak(s, k) - '0');
        ++k;
    }
    if (k == i || LiteraLubCyfra(Znak(s, k)))
        return -1;
    i = k;
    return v;
}

// "z 2016 r." at i; the year, with i past "r." (and a comma after it).
std::optional<int> rokCytowania(std::string_view s, std::size_t& i)
{
    if (!Slowo(s, i, "z"))
        return std::nullopt;
    std::size_t k = PominOdstepy(s, i + 1);
    const std::size_t cyfry = k;
    const int rok = liczba(s, k, 4);
    if (k - cyfry != 4 || rok < kNajwczesniejszyRok || rok > kNajpozniejszyRok)
        return std::nullopt;
    k = PominOdstepy(s, k);
    if (!Slowo(s, k, "r."))
        return std::nullopt;
    k += 2;
    if (Znak(s, k) == ',')
        ++k;
    i = k;
    return rok;
}

// One issue or position entry at i: "Nr 50, poz. 331" or "poz. 331", or
// only the digits of a position when `samaPozycja`. Fills numer/pozycja and
// moves i past the last digit.
bool pozycja(std::string_view s, std::size_t& i, int& numer, int& poz, bool samaPozycja)
{
    std::size_t k = i;
    if (!samaPozycja) {
        if (Slowo(s, k, "Nr") || Slowo(s, k, "nr")) {
            k = PominOdstepy(s, k + 2);
            const int n = liczba(s, k, 4);
            if (n <= 0)
                return false;
            if (Znak(s, k) == ',')
                ++k;
            k = PominOdstepy(s, k);
            if (!Slowo(s, k, "poz."))
                return false;
            numer = n;
        } else if (!Slowo(s, k, "poz.")) {
            return false;
        }
        k = PominOdstepy(s, k + 4);
    }
    const int p = liczba(s, k, 5);
    if (p <= 0)
        return false;
    poz = p;
    i = k;
    return true;
}

// What may follow the digits of a further position: punctuation, the end,
// or a word that goes on with the citation ("i", "oraz", "z 2024 r.", "ze
// zm."). Anything else ("poz. 380 i 5 lat") means the number is not a
// position.
bool konczyPozycje(std::string_view s, std::size_t i)
{
    const std::size_t k = PominOdstepy(s, i);
    const unsigned char c = Znak(s, k);
    if (!Litera(c))
        return !Cyfra(c);
    return Slowo(s, k, "i") || Slowo(s, k, "oraz") || Slowo(s, k, "z") || Slowo(s, k, "ze");
}

// The citation whose "Dz." stands at j, appended to `wynik`. Returns the
// index just past it, or j when there is none there.
std::size_t cytowanie(std::string_view s, std::size_t j, std::size_t poprzedniKoniec, TCytowania& wynik)
{
    std::size_t k = PominOdstepy(s, j + 3);
    if (!Slowo(s, k, "U."))
        return j;
    k += 2;
    if (Litera(Znak(s, k)))
        return j;
    k = PominOdstepy(s, k);

    std::optional<int> rok = rokCytowania(s, k);
    if (!rok) {
        // "Dz.U. 2016 poz. 380", "Dz. U. 2016 r. poz. 380": the year
        // without "z" (and "r.").
        std::size_t p = k;
        const int r = liczba(s, p, 4);
        std::size_t za = PominOdstepy(s, p);
        if (za > p && Slowo(s, za, "r.")) {
            za = PominOdstepy(s, za + 2);
            if (Znak(s, za) == ',')
                za = PominOdstepy(s, za + 1);
        }
        if (p - k == 4 && r >= kNajwczesniejszyRok && r <= kNajpozniejszyRok && za > p &&
            (Slowo(s, za, "poz.") || Slowo(s, za, "Nr") || Slowo(s, za, "nr"))) {
            rok = r;
            k = za;
        }
    }
    k = PominOdstepy(s, k);
    int numer = 0;
    int poz = 0;
    if (!pozycja(s, k, numer, poz, false))
        return j;
    if (!rok) {
        // The year left out because the act's date states it.
        const std::size_t zdanie = std::max(PoczatekZdania(s, j), poprzedniKoniec);
        const auto data = OstatniaData(s, zdanie, j);
        if (!data || data->Rok < kNajwczesniejszyRok || data->Rok > kNajpozniejszyRok)
            return k;
        rok = data->Rok;
    }
    wynik.push_back({{*rok, numer, poz}, j, k - j, {}});

    for (;;) {
        std::size_t p = k;
        bool srednik = false;
        bool przecinek = false;
        if (Znak(s, p) == ',' || Znak(s, p) == ';') {
            srednik = Znak(s, p) == ';';
            przecinek = !srednik;
            ++p;
        }
        p = PominOdstepy(s, p);
        bool spojnik = false;
        if (Slowo(s, p, "i")) {
            p = PominOdstepy(s, p + 1);
            spojnik = true;
        } else if (Slowo(s, p, "oraz")) {
            p = PominOdstepy(s, p + 4);
            spojnik = true;
        }
        if (!przecinek && !srednik && !spojnik)
            break;
        const std::size_t poczatek = p;
        if (auto r = rokCytowania(s, p)) {
            p = PominOdstepy(s, p);
            int n = 0;
            if (!pozycja(s, p, n, poz, false))
                break;
            rok = r;
            numer = n;
        } else if (srednik) {
            break;
        } else if (Slowo(s, p, "Nr") || Slowo(s, p, "nr") || Slowo(s, p, "poz.")) {
            if (!pozycja(s, p, numer, poz, false))
                break;
        } else if (Cyfra(Znak(s, p))) {
            if (!pozycja(s, p, numer, poz, true) || !konczyPozycje(s, p))
                break;
        } else {
            break;
        }
        wynik.push_back({{*rok, numer, poz}, poczatek, p - poczatek, {}});
        k = p;
    }
    return k;
}

// "1998.106.668" as the older scanner hands it over.
std::optional<TAkt> trzyLiczby(std::string_view t)
{
    TAkt a;
    int* pola[] = {&a.Rok, &a.Numer, &a.Pozycja};
    std::size_t i = 0;
    for (int n = 0; n < 3; ++n) {
        const std::size_t kropka = n < 2 ? t.find('.', i) : t.size();
        if (kropka == std::string_view::npos || kropka == i || kropka - i > 9)
            return std::nullopt;
        const auto [koniec, blad] = std::from_chars(t.data() + i, t.data() + kropka, *pola[n]);
        if (blad != std::errc() || koniec != t.data() + kropka)
            return std::nullopt;
        i = kropka + 1;
    }
    return a;
}

} // namespace

std::string NazwaAktu(const TAkt& akt)
{
    return "Dz.U." + std::to_string(akt.Rok) + "." + std::to_string(akt.Numer) + "." + std::to_string(akt.Pozycja);
}

std::optional<TAkt> RozbierzNazweAktu(std::string_view nazwa)
{
    if (nazwa.substr(0, 5) != "Dz.U.")
        return std::nullopt;
    return trzyLiczby(nazwa.substr(5));
}

namespace {

// Whether the older scanner could record anything: it records only after
// "Dz. U. " followed by a digit, a full stop or a space, or after "Dz.U."
// followed by a digit or a full stop. Most texts have neither, and are
// spared the scan.
bool mozeBycDawna(std::string_view s)
{
    for (std::size_t j = s.find("Dz."); j != std::string_view::npos; j = s.find("Dz.", j + 1)) {
        if (s.substr(j, 7) == "Dz. U. ") {
            const unsigned char c = Znak(s, j + 7);
            if (Cyfra(c) || c == '.' || c == ' ')
                return true;
        } else if (s.substr(j, 5) == "Dz.U.") {
            const unsigned char c = Znak(s, j + 5);
            if (Cyfra(c) || c == '.')
                return true;
        }
    }
    return false;
}

// A window of the older scanner that holds its citation alone: "Dz.",
// "U.", digits, full stops and blanks. On a garbled line a window may run
// on into the words after it, and is then no link.
bool czystaDawna(std::string_view t)
{
    for (const char c : t)
        if (!Cyfra((unsigned char)c) && !Odstep((unsigned char)c) && c != '.' && c != 'D' && c != 'z' && c != 'U')
            return false;
    return true;
}

} // namespace

TCytowania SzukajDawnychCytowan(std::string_view s)
{
    TCytowania wynik;
    TDziennikiUstaw dawne;
    if (!mozeBycDawna(s) || !SzukajDziennikow(s, dawne))
        return wynik;
    std::size_t koniec = 0;
    for (const TDziennikUstaw& d : dawne) {
        if (d.Od < 1 || d.Do < d.Od + 2 || std::size_t(d.Do) - 2 > s.size())
            continue;
        // The older scanner reads fixed windows: on a garbled line two of
        // them may overlap, and only the first is a link.
        const std::size_t od = std::size_t(d.Od) - 1;
        const std::size_t dlugosc = std::size_t(d.Do - d.Od - 1);
        if (od < koniec || !czystaDawna(s.substr(od, dlugosc)))
            continue;
        if (const auto akt = trzyLiczby(d.Tekst)) {
            wynik.push_back({*akt, od, dlugosc, "Dz.U." + d.Tekst});
            koniec = od + dlugosc;
        }
    }
    return wynik;
}

TCytowania SzukajCytowan(std::string_view s, bool dawneFormy)
{
    TCytowania wynik;
    std::size_t koniec = 0;  // end of the last citation found
    for (std::size_t j = s.find("Dz."); j != std::string_view::npos; j = s.find("Dz.", j + 1)) {
        if (j < koniec || (j > 0 && LiteraLubCyfra(Znak(s, j - 1))))
            continue;
        const std::size_t przed = wynik.size();
        const std::size_t k = cytowanie(s, j, koniec, wynik);
        if (wynik.size() > przed)
            koniec = k;
    }

    // The linked forms of older libraries, read as they always were.
    if (!dawneFormy)
        return wynik;
    const std::size_t oficjalne = wynik.size();
    for (TCytowanie& d : SzukajDawnychCytowan(s)) {
        const bool zachodzi = std::any_of(wynik.begin(), wynik.begin() + std::ptrdiff_t(oficjalne), [&](const TCytowanie& c) {
            return c.Od < d.Od + d.Dlugosc && d.Od < c.Od + c.Dlugosc;
        });
        if (!zachodzi)
            wynik.push_back(std::move(d));
    }
    if (wynik.size() > oficjalne)
        std::stable_sort(wynik.begin(), wynik.end(), [](const TCytowanie& a, const TCytowanie& b) { return a.Od < b.Od; });
    return wynik;
}
