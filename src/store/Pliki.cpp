#include "store/Pliki.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <limits>

#include "platform/core/Cp1250.h"
#include "store/Czytnik.h"

namespace {

using odczyt::Czytnik;
using odczyt::ileDostepnych;

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

// ---------------------------------------------------------------------------

TPliki::TPliki(TKomunikaty* komunikaty) : FKomunikaty(komunikaty) {}

void TPliki::Pokaz(const std::string& tekst)
{
    if (FKomunikaty)
        FKomunikaty->Komunikat(tekst);
}

void TPliki::WczytajSlownik(const std::filesystem::path& plik)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(plik, ec))
        return;
    Slownik.clear();
    {
        std::ifstream f(plik, std::ios::binary);
        if (!f) {
            Pokaz(komunikaty::NieMoznaOtworzyc(plik));
            return;
        }
        f.seekg(0, std::ios::end);
        const std::streamoff rozmiar = f.tellg();
        f.seekg(0);
        if (rozmiar < 0) {
            Pokaz(komunikaty::BladOdczytu(plik));
            return;
        }
        Bufor.resize(std::size_t(rozmiar));
        if (!f.read(Bufor.data(), rozmiar)) {
            Bufor.clear();
            Pokaz(komunikaty::BladOdczytu(plik));
            return;
        }
    }
    if (Bufor.size() < 3 || std::string_view(Bufor).substr(0, 3) != format::kMagiaSlownika) {
        Pokaz(komunikaty::NieprawidlowySlownik());
    } else {
        Czytnik c(Bufor, 3);
        c.pomin(1);
        std::int32_t n = -1;
        c.czytaj(n);
        // Every entry takes at least 5 bytes, which bounds a damaged count.
        const std::size_t ile = ileDostepnych(std::int64_t(n) + 1, 5, c);
        Slownik.reserve(ile);
        for (std::size_t i = 0; i < ile; ++i) {
            std::uint8_t dl = 0;
            if (!c.czytaj(dl) || c.zostalo() < dl)
                break;
            TWpisSlownika w;
            w.Slowo.assign(Bufor, c.pozycja(), dl);
            c.pomin(dl);
            c.czytaj(w.Liczba);
            Slownik.push_back(std::move(w));
        }
    }
    std::string().swap(Bufor);
}

void TPliki::OtworzDokument(const std::filesystem::path& folder, const std::string& nazwa,
                            TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik,
                            bool wczytaj, TListaNapisow& tytuly)
{
    std::string blad;
    const auto klucz = SprobujRozbierzNazwe(nazwa, &blad);
    if (!klucz) {
        Pokaz(blad);
        return;
    }
    const std::filesystem::path sciezka = SciezkaKontenera(folder, *klucz);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(sciezka, ec))
        return;

    Bufor.clear();
    {
        std::ifstream f(sciezka, std::ios::binary);
        if (!f) {
            Pokaz(komunikaty::NieMoznaOtworzyc(sciezka));
            return;
        }
        f.seekg(0, std::ios::end);
        const std::int64_t rozmiar = f.tellg();
        f.seekg(0);
        char naglowek[6] = {};
        f.read(naglowek, 6);
        const std::streamsize przeczytane = f.gcount();
        f.clear();
        if (przeczytane < 3 || std::string_view(naglowek, 3) != format::kMagiaKontenera) {
            Pokaz(komunikaty::ToNieRocznik());
            return;
        }
        if (przeczytane < 6) {
            Pokaz(komunikaty::UszkodzonyKatalog(sciezka));
            return;
        }
        const std::int64_t n = std::int64_t(static_cast<unsigned char>(naglowek[4])) |
                               (std::int64_t(static_cast<unsigned char>(naglowek[5])) << 8);
        const std::int64_t dlugoscKatalogu = format::kRozmiarWpisuKatalogu * (n + 1);
        const std::int64_t poczatekKatalogu = rozmiar - dlugoscKatalogu;
        if (poczatekKatalogu < 0) {
            Pokaz(komunikaty::UszkodzonyKatalog(sciezka));
            return;
        }
        std::string katalog(std::size_t(dlugoscKatalogu), '\0');
        f.seekg(poczatekKatalogu);
        if (!f.read(katalog.data(), dlugoscKatalogu)) {
            Pokaz(komunikaty::BladOdczytu(sciezka));
            return;
        }
        DaneDZU.clear();
        DaneDZU.reserve(std::size_t(n + 1));
        Czytnik c(katalog);
        for (std::int64_t i = 0; i <= n; ++i) {
            TDaneDZU w;
            c.czytaj(w.Przesuniecie);
            c.czytaj(w.Numer);
            c.czytaj(w.Pozycja);
            c.czytaj(w.Znacznik);
            DaneDZU.push_back(w);
        }

        tytuly.clear();
        tytuly.reserve(DaneDZU.size());
        for (const TDaneDZU& w : DaneDZU)
            tytuly.push_back(TytulPozycji(klucz->Rok, w));

        if (wczytaj) {
            const auto polozenie = ZnajdzPozycje(DaneDZU, klucz->Numer, klucz->Pozycja,
                                                 poczatekKatalogu);
            if (!polozenie) {
                Pokaz(komunikaty::NieMa(nazwa));
            } else {
                const std::int64_t od = polozenie->Przesuniecie;
                const std::int64_t dl = polozenie->Dlugosc;
                if (od < 0 || dl < 0 || od > rozmiar || dl > rozmiar - od) {
                    Pokaz(komunikaty::BladOdczytu(sciezka));
                    return;
                }
                Bufor.resize(std::size_t(dl));
                f.seekg(od);
                if (dl > 0 && !f.read(Bufor.data(), dl)) {
                    std::string().swap(Bufor);
                    Pokaz(komunikaty::BladOdczytu(sciezka));
                    return;
                }
            }
        }
    }
    DekodujTekst(tekst, przypisy, plik);
}

void TPliki::DekodujTekst(TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik)
{
    if (Bufor.empty())
        return;
    Plik.clear();
    DekodujRekord(Bufor, Slownik, FKomunikaty, tekst, przypisy, Plik);
    plik = std::move(Plik);
    Plik.clear();
    std::string().swap(Bufor);
}
