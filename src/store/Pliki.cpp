#include "store/Pliki.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "platform/core/Cp1250.h"

namespace {

std::string u(std::string_view utf8) { return cp1250::fromUtf8(utf8); }

std::string sciezkaTekstem(const std::filesystem::path& p) { return u(p.string()); }

struct WierszKodeksu {
    std::string tytul, duze, male;
};

const std::array<WierszKodeksu, kLiczbaKodeksow>& kodeksy()
{
    static const std::array<WierszKodeksu, kLiczbaKodeksow> t = {{
        {u("Kodeks cywilny"), u("KODEKS CYWILNY"), ""},
        {u("Kodeks karny skarbowy"), u("KODEKS KARNY SKARBOWY"), ""},
        {u("Kodeks karny wykonawczy"), u("KODEKS KARNY WYKONAWCZY"), ""},
        {u("Kodeks karny"), u("KODEKS KARNY"), ""},
        {u("Kodeks morski"), u("KODEKS MORSKI"), ""},
        {u("Kodeks postępowania administracyjnego"), u("KODEKS POSTĘPOWANIA ADMINISTRACYJNEGO"),
         u("kodeks postępowania administracyjnego")},
        {u("Kodeks postępowania cywilnego"), u("KODEKS POSTĘPOWANIA CYWILNEGO"),
         u("kodeks postępowania cywilnego")},
        {u("Kodeks postępowania karnego"), u("KODEKS POSTĘPOWANIA KARNEGO"),
         u("kodeks postępowania karnego")},
        {u("Kodeks postępowania w sprawach o wykroczenia"),
         u("KODEKS POSTĘPOWANIA W SPRAWACH O WYKROCZENIA"),
         u("kodeks postępowania w sprawach o wykroczenia")},
        {u("Kodeks pracy"), u("KODEKS PRACY"), ""},
        {u("Kodeks rodzinny i opiekuńczy"), u("KODEKS RODZINNY I OPIEKUŃCZY"),
         u("kodeks rodzinny i opiekuńczy")},
        {u("Kodeks spółek handlowych"), u("KODEKS SPÓŁEK HANDLOWYCH"),
         u("kodeks spółek handlowych")},
        {u("Kodeks wykroczeń"), u("KODEKS WYKROCZEŃ"), u("kodeks wykroczeń")},
        {u("Konstytucja Rzeczypospolitej Polskiej"), u("KONSTYTUCJA RZECZYPOSPOLITEJ POLSKIEJ"),
         u("konstytucja rzeczypospolitej polskiej")},
        {u("Ordynacja podatkowa"), "", ""},
    }};
    return t;
}

std::string duzeAscii(std::string_view s)
{
    std::string w(s);
    for (char& c : w)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return w;
}

std::string maleAscii(std::string_view s)
{
    std::string w(s);
    for (char& c : w)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return w;
}

// The integer parser: a non-empty run of digits up to 2147483647, stored in
// 16 bits. The segments hold digits only, so these are the only failures.
std::uint16_t liczba16(const std::string& segment)
{
    if (segment.empty())
        throw EBladKonwersji(komunikaty::NieprawidlowaLiczba(segment));
    std::int64_t w = 0;
    for (char c : segment) {
        w = w * 10 + (c - '0');
        if (w > std::numeric_limits<std::int32_t>::max())
            throw EBladKonwersji(komunikaty::NieprawidlowaLiczba(segment));
    }
    return static_cast<std::uint16_t>(w & 0xFFFF);
}

} // namespace

// ---------------------------------------------------------------------------

namespace komunikaty {
std::string NieprawidlowySlownik() { return u("Nieprawidłowy słownik."); }
std::string ToNieRocznik() { return u("To nie jest plik rocznika Dziennika Ustaw."); }
std::string ToNieDziennik() { return u("To nie jest plik Dziennika Ustaw."); }
std::string NieMa(std::string_view nazwa) { return "Nie ma: " + std::string(nazwa); }
std::string BrakTresciPrzypisow() { return u("Brak treści przypisów!"); }
std::string NieprawidlowaLiczba(std::string_view segment)
{
    return "'" + std::string(segment) + u("' nie jest prawidłową liczbą całkowitą.");
}
std::string NieMoznaOtworzyc(const std::filesystem::path& plik)
{
    return u("Nie można otworzyć pliku ") + sciezkaTekstem(plik) + ".";
}
std::string BladOdczytu(const std::filesystem::path& plik)
{
    return u("Błąd odczytu pliku ") + sciezkaTekstem(plik) + ".";
}
std::string UszkodzonyKatalog(const std::filesystem::path& plik)
{
    return u("Uszkodzony spis dokumentów w pliku ") + sciezkaTekstem(plik) + ".";
}
std::string UszkodzonySlownik(const std::filesystem::path& plik)
{
    return u("Słownik ") + sciezkaTekstem(plik) +
           u(" jest uszkodzony: tekstów odczytanych z jego pomocą nie można być pewnym.");
}
std::string BrakSlow(std::string_view nazwa, std::uint64_t ile)
{
    return u("Nie można odczytać tekstu „") + std::string(nazwa) + u("”: w słowniku brakuje ") +
           std::to_string(ile) + u(" jego słów. Słownik jest uszkodzony albo nie pasuje do danych.");
}
std::string NiepewnySlownik(std::string_view nazwa)
{
    return u("Nie można odczytać tekstu „") + std::string(nazwa) +
           u("”: słownik, z którego pochodzą jego słowa, jest uszkodzony.");
}
std::string BrakPamieci(const std::filesystem::path& plik)
{
    return u("Za mało pamięci, by odczytać plik ") + sciezkaTekstem(plik) + ".";
}
} // namespace komunikaty

const std::string& TytulKodeksu(int indeks)
{
    static const std::string pusty;
    if (indeks < 0 || indeks >= kLiczbaKodeksow)
        return pusty;
    return kodeksy()[std::size_t(indeks)].tytul;
}

TNumerPozycjaDZU RozbierzNazwe(std::string_view nazwa)
{
    TNumerPozycjaDZU klucz;
    int kropki = 0;
    std::string segment;
    for (char c : nazwa) {
        if (c >= '0' && c <= '9') {
            segment.push_back(c);
        } else if (c == '.') {
            if (kropki == 2)
                klucz.Rok = segment;
            else if (kropki == 3)
                klucz.Numer = liczba16(segment);
            segment.clear();
            ++kropki;
        }
    }
    if (!segment.empty()) {
        klucz.Pozycja = liczba16(segment);
        return klucz;
    }

    klucz.Rok = std::string(kNazwaKodeksow);
    const std::string duze = duzeAscii(nazwa);
    const std::string male = maleAscii(nazwa);
    int indeks = kLiczbaKodeksow - 1;
    for (int i = 0; i < kLiczbaKodeksow; ++i) {
        const WierszKodeksu& w = kodeksy()[std::size_t(i)];
        if ((!w.duze.empty() && duze == w.duze) || (!w.male.empty() && male == w.male)) {
            indeks = i;
            break;
        }
    }
    klucz.Numer = klucz.Pozycja = static_cast<std::uint16_t>(indeks);
    return klucz;
}

std::optional<TNumerPozycjaDZU> SprobujRozbierzNazwe(std::string_view nazwa, std::string* blad)
{
    try {
        return RozbierzNazwe(nazwa);
    } catch (const EBladKonwersji& e) {
        if (blad)
            *blad = e.what();
        return std::nullopt;
    }
}

std::filesystem::path SciezkaKontenera(const std::filesystem::path& folder,
                                       const TNumerPozycjaDZU& klucz)
{
    return folder / (klucz.Rok + ".rdu");
}

std::string TytulPozycji(std::string_view rok, const TDaneDZU& wpis)
{
    if (rok == kNazwaKodeksow) {
        if (wpis.Numer == wpis.Pozycja && wpis.Numer < kLiczbaKodeksow)
            return TytulKodeksu(wpis.Numer);
        return {};
    }
    return "Dz.U." + std::string(rok) + "." + std::to_string(wpis.Numer) + "." +
           std::to_string(wpis.Pozycja);
}

std::optional<TPolozenieRekordu> ZnajdzPozycje(const TTabDaneDZU& katalog, std::uint16_t numer,
                                               std::uint16_t pozycja,
                                               std::int64_t poczatekKatalogu)
{
    for (std::size_t i = 0; i < katalog.size(); ++i) {
        const TDaneDZU& w = katalog[i];
        if (w.Numer == numer && w.Pozycja == pozycja && w.Znacznik == 0) {
            const std::int64_t koniec =
                i + 1 < katalog.size() ? katalog[i + 1].Przesuniecie : poczatekKatalogu;
            TPolozenieRekordu p;
            p.Przesuniecie = w.Przesuniecie;
            // Damaged offsets may be anywhere in 64 bits.
            if (__builtin_sub_overflow(koniec, w.Przesuniecie, &p.Dlugosc))
                p.Dlugosc = -1;
            p.Indeks = i;
            return p;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------

const TZnakKodu& ZnakKodu(std::uint8_t kod)
{
    static const std::array<TZnakKodu, 256> tablica = [] {
        std::array<TZnakKodu, 256> t{};
        static const std::string ascii = std::string(" \"") + "#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
        // Code 1 is space + quotation mark; codes 2..31 one character each.
        t[1].Znaki = std::string_view(ascii).substr(0, 2);
        for (int k = 2; k <= 31; ++k)
            t[std::size_t(k)].Znaki = std::string_view(ascii).substr(std::size_t(k), 1);
        static const char bajty[] = "\x89\x8B\x91\x92\x93" "\x94" "\x95\x96\x9B\xA1\xA2"
                                    "\x00" "\xA8\xA9\xAB\xAD\xAE\xB0\xB1\xB2\xB4\xB6\xB7\xB8\xBB\xBD\xD7\xF7\xFF";
        for (int k = 34; k <= 62; ++k) {
            if (k == 45)
                continue;
            t[std::size_t(k)].Znaki = std::string_view(&bajty[k - 34], 1);
        }
        static const char cudzyslow[] = " \x94";
        t[39].Znaki = std::string_view(cudzyslow, 2);
        for (int k : {6, 8, 11, 13, 15, 16, 20, 24, 30, 34, 37, 39, 50, 51, 59})
            t[std::size_t(k)].SpacjaPrzed = false;
        for (int k : {7, 14, 22, 23, 26, 28, 29})
            t[std::size_t(k)].SpacjaPo = false;
        return t;
    }();
    return tablica[kod];
}

const std::string& SlowoNaglowka(std::uint8_t kod)
{
    static const std::array<std::string, 256> slowa = [] {
        std::array<std::string, 256> s{};
        const char* utf8[] = {"ART", "Art", "§", "", "", "Ustawa", "USTAWA", "Kodeks", "KODEKS",
                              "Część", "CZĘŚĆ", "Księga", "KSIĘGA", "Tytuł", "TYTUŁ", "Dział",
                              "DZIAŁ", "Rozdział", "ROZDZIAŁ", "Oddział", "ODDZIAŁ",
                              "Konstytucja", "KONSTYTUCJA"};
        for (int k = 1; k <= 23; ++k)
            s[std::size_t(k)] = u(utf8[k - 1]);
        return s;
    }();
    return slowa[kod];
}

// ---------------------------------------------------------------------------

std::int64_t UzytecznaDlugoscRekordu(std::int64_t dlugosc, TZrodloBajtow& zrodlo)
{
    std::int64_t p = 3;   // past the magic
    auto czytaj = [&](auto& v) {
        constexpr std::int64_t n = sizeof v;
        unsigned char b[sizeof v];
        if (dlugosc - p < n || !zrodlo.Czytaj(p, sizeof v, reinterpret_cast<char*>(b)))
            return false;
        std::make_unsigned_t<std::remove_reference_t<decltype(v)>> w = 0;
        for (std::size_t i = 0; i < sizeof v; ++i)
            w |= decltype(w)(b[i]) << (8 * i);
        v = static_cast<std::remove_reference_t<decltype(v)>>(w);
        p += n;
        return true;
    };
    // Skips a table of `ile` elements of `rozmiar` bytes (none when ile <= 0).
    auto pomin = [&](std::int64_t ile, std::int64_t rozmiar) {
        const std::int64_t n = ile > 0 ? ile * rozmiar : 0;
        if (dlugosc - p < n)
            return false;
        p += n;
        return true;
    };
    std::uint8_t format = 0, h = 0, szerokosc = 0;
    std::int32_t ostatniGlowny = -1, n1 = -1, n2 = -1, ostatniPrzypisu = -1;
    std::uint16_t n3 = 0, f = 0, b = 0;
    if (!czytaj(format) || !czytaj(h) || !czytaj(ostatniGlowny) || !czytaj(szerokosc) || !czytaj(n1) ||
        !pomin(std::int64_t(n1) + 1, 2) || !czytaj(n2) || !pomin(std::int64_t(n2) + 1, 3) ||
        !czytaj(n3) || !pomin(std::int64_t(n3) + 1, 1) || !czytaj(f))
        return dlugosc;
    for (unsigned i = 0; i < f; ++i) {
        std::uint16_t linia = 0, k = 0;
        if (!czytaj(linia) || !czytaj(k) || !pomin(std::int64_t(k) + 1, 2))
            return dlugosc;
    }
    if (f > 0 && (!czytaj(b) || !pomin(b, 1)))
        return dlugosc;
    if (!czytaj(ostatniPrzypisu))
        return dlugosc;
    // Each pass reads at most one index per iteration; an unknown width
    // reads none but is still bounded by the stream's length, one byte per
    // iteration. A few bytes to spare keep that bound out of reach.
    const std::int64_t bajty = std::max(1, BajtyIndeksu(szerokosc));
    const std::int64_t slowa = std::max<std::int64_t>(0, std::int64_t(ostatniGlowny) + 1) +
                               (f > 0 && b > 0 ? std::max<std::int64_t>(0, std::int64_t(ostatniPrzypisu) + 1) : 0);
    const std::int64_t strumien = bajty * slowa + 8;
    return dlugosc - p < strumien ? dlugosc : p + strumien;
}
