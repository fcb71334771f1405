// TPliki over real files: the dictionary, a container's directory and the
// one act record asked for. Every size read from a file is checked against
// the file before anything is allocated for it, and a failure to allocate is
// reported like any other damage: the store never ends the program.
#include "store/Pliki.h"

#include <algorithm>
#include <fstream>
#include <new>

#include "store/OknoPliku.h"

namespace {

std::int64_t rozmiarPliku(std::ifstream& f)
{
    f.seekg(0, std::ios::end);
    const std::int64_t rozmiar = f.tellg();
    f.seekg(0);
    return rozmiar;
}

bool czytajDokladnie(std::ifstream& f, std::int64_t od, std::string& cel, std::size_t ile)
{
    cel.resize(ile);
    f.clear();
    f.seekg(od);
    return ile == 0 || bool(f.read(cel.data(), std::streamsize(ile)));
}

template <typename T>
T liczbaLE(const char* b)
{
    std::make_unsigned_t<T> w = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        w |= std::make_unsigned_t<T>(static_cast<unsigned char>(b[i])) << (8 * i);
    return static_cast<T>(w);
}

} // namespace

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
    FSlownikUszkodzony = true;   // until the whole file has been read
    std::ifstream f(plik, std::ios::binary);
    if (!f) {
        Pokaz(komunikaty::NieMoznaOtworzyc(plik));
        return;
    }
    const std::int64_t rozmiar = rozmiarPliku(f);
    if (rozmiar < 0) {
        Pokaz(komunikaty::BladOdczytu(plik));
        return;
    }
    char naglowek[8] = {};
    f.read(naglowek, 8);
    const std::streamsize jest = f.gcount();
    if (jest < 3 || std::string_view(naglowek, 3) != format::kMagiaSlownika) {
        Pokaz(komunikaty::NieprawidlowySlownik());
        return;
    }
    try {
        // The entries are read one by one from the file, so a count or a
        // size that lies costs nothing until the words are really there.
        const std::int64_t n = jest == 8 ? std::int64_t(liczbaLE<std::int32_t>(naglowek + 4)) : -1;
        const std::int64_t zapowiedziane = std::max<std::int64_t>(0, n + 1);
        // Every entry takes at least 5 bytes, which bounds a damaged count.
        Slownik.reserve(std::size_t(std::min<std::int64_t>({zapowiedziane, (rozmiar - jest) / 5, 1 << 20})));
        std::int64_t poz = jest;
        char wpis[255 + 4];
        for (std::int64_t i = 0; i < zapowiedziane; ++i) {
            unsigned char dl = 0;
            if (!f.read(reinterpret_cast<char*>(&dl), 1) || !f.read(wpis, dl + 4))
                break;
            TWpisSlownika w;
            w.Slowo.assign(wpis, dl);
            w.Liczba = liczbaLE<std::int32_t>(wpis + dl);
            Slownik.push_back(std::move(w));
            poz += 1 + dl + 4;
        }
        // The writer puts nothing after the last word: fewer words than
        // announced, or bytes left over, mean the file was cut or overwritten.
        FSlownikUszkodzony =
            jest < 8 || n < -1 || std::int64_t(Slownik.size()) != zapowiedziane || poz != rozmiar;
    } catch (const std::bad_alloc&) {
        TSlownik().swap(Slownik);
        Pokaz(komunikaty::BrakPamieci(plik));
        return;
    } catch (const std::length_error&) {
        TSlownik().swap(Slownik);
        Pokaz(komunikaty::BrakPamieci(plik));
        return;
    }
    if (FSlownikUszkodzony)
        Pokaz(komunikaty::UszkodzonySlownik(plik));
}

TWynikOtwarcia TPliki::OtworzDokument(const std::filesystem::path& folder, const std::string& nazwa,
                                      TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik,
                                      bool wczytaj, TListaNapisow& tytuly)
{
    try {
        return Otworz(folder, nazwa, tekst, przypisy, plik, wczytaj, tytuly);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    std::string().swap(Bufor);
    TPlik().swap(Plik);
    std::string blad;
    const auto klucz = SprobujRozbierzNazwe(nazwa, &blad);
    Pokaz(komunikaty::BrakPamieci(klucz ? SciezkaKontenera(folder, *klucz) : folder));
    return TWynikOtwarcia::BrakPamieci;
}

void TPliki::SprawdzKatalog(const std::filesystem::path& sciezka, std::int64_t poczatekKatalogu)
{
    // Records follow the header in directory order and end where the next
    // one starts; an entry that breaks this points into nothing.
    constexpr std::int64_t kNaglowekKontenera = 6;
    FCzytelne.assign(DaneDZU.size(), false);
    FKatalogUszkodzony = false;
    for (std::size_t i = 0; i < DaneDZU.size(); ++i) {
        const std::int64_t od = DaneDZU[i].Przesuniecie;
        const std::int64_t koniec = i + 1 < DaneDZU.size() ? DaneDZU[i + 1].Przesuniecie : poczatekKatalogu;
        FCzytelne[i] = od >= kNaglowekKontenera && od <= koniec && koniec <= poczatekKatalogu;
        if (!FCzytelne[i])
            FKatalogUszkodzony = true;
    }
    if (!FKatalogUszkodzony)
        return;
    const std::string klucz = sciezka.string();
    if (std::find(FZgloszoneKatalogi.begin(), FZgloszoneKatalogi.end(), klucz) != FZgloszoneKatalogi.end())
        return;
    FZgloszoneKatalogi.push_back(klucz);
    Pokaz(komunikaty::UszkodzonyKatalog(sciezka));
}

TWynikOtwarcia TPliki::Otworz(const std::filesystem::path& folder, const std::string& nazwa,
                              TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik, bool wczytaj,
                              TListaNapisow& tytuly)
{
    std::string blad;
    const auto klucz = SprobujRozbierzNazwe(nazwa, &blad);
    if (!klucz) {
        Pokaz(blad);
        return TWynikOtwarcia::BlednaNazwa;
    }
    const std::filesystem::path sciezka = SciezkaKontenera(folder, *klucz);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(sciezka, ec))
        return TWynikOtwarcia::BrakKontenera;

    Bufor.clear();
    std::ifstream f(sciezka, std::ios::binary);
    if (!f) {
        Pokaz(komunikaty::NieMoznaOtworzyc(sciezka));
        return TWynikOtwarcia::BladKontenera;
    }
    const std::int64_t rozmiar = rozmiarPliku(f);
    char naglowek[6] = {};
    f.read(naglowek, 6);
    const std::streamsize przeczytane = f.gcount();
    f.clear();
    if (przeczytane < 3 || std::string_view(naglowek, 3) != format::kMagiaKontenera) {
        Pokaz(komunikaty::ToNieRocznik());
        return TWynikOtwarcia::BladKontenera;
    }
    if (przeczytane < 6) {
        Pokaz(komunikaty::UszkodzonyKatalog(sciezka));
        return TWynikOtwarcia::BladKontenera;
    }
    const std::int64_t n = liczbaLE<std::uint16_t>(naglowek + 4);
    const std::int64_t dlugoscKatalogu = format::kRozmiarWpisuKatalogu * (n + 1);
    const std::int64_t poczatekKatalogu = rozmiar - dlugoscKatalogu;
    if (poczatekKatalogu < 0) {
        Pokaz(komunikaty::UszkodzonyKatalog(sciezka));
        return TWynikOtwarcia::BladKontenera;
    }
    std::string katalog;
    if (!czytajDokladnie(f, poczatekKatalogu, katalog, std::size_t(dlugoscKatalogu))) {
        Pokaz(komunikaty::BladOdczytu(sciezka));
        return TWynikOtwarcia::BladKontenera;
    }
    DaneDZU.clear();
    DaneDZU.reserve(std::size_t(n + 1));
    for (std::int64_t i = 0; i <= n; ++i) {
        const char* w = katalog.data() + i * format::kRozmiarWpisuKatalogu;
        DaneDZU.push_back(TDaneDZU{liczbaLE<std::int64_t>(w), liczbaLE<std::uint16_t>(w + 8),
                                   liczbaLE<std::uint16_t>(w + 10), liczbaLE<std::uint8_t>(w + 12)});
    }
    const bool zgloszonyWczesniej = std::find(FZgloszoneKatalogi.begin(), FZgloszoneKatalogi.end(),
                                              sciezka.string()) != FZgloszoneKatalogi.end();
    SprawdzKatalog(sciezka, poczatekKatalogu);
    const bool zgloszonyTeraz = FKatalogUszkodzony && !zgloszonyWczesniej;

    tytuly.clear();
    tytuly.reserve(DaneDZU.size());
    for (const TDaneDZU& w : DaneDZU)
        tytuly.push_back(TytulPozycji(klucz->Rok, w));

    if (!wczytaj)
        return TWynikOtwarcia::Otwarty;

    const auto polozenie = ZnajdzPozycje(DaneDZU, klucz->Numer, klucz->Pozycja, poczatekKatalogu);
    if (!polozenie) {
        Pokaz(komunikaty::NieMa(nazwa));
        return TWynikOtwarcia::BrakPozycji;
    }
    const std::int64_t od = polozenie->Przesuniecie;
    std::int64_t dl = polozenie->Dlugosc;
    if (od < 0 || dl < 0 || od > rozmiar || dl > rozmiar - od) {
        // The damage has just been explained; a second box for the same
        // cause would only repeat it.
        if (!(zgloszonyTeraz && !FCzytelne[polozenie->Indeks]))
            Pokaz(komunikaty::BladOdczytu(sciezka));
        return TWynikOtwarcia::UszkodzonyRekord;
    }
    // The magic first: a record that is not one is not read any further.
    const std::size_t magia = std::size_t(std::min<std::int64_t>(dl, 3));
    if (!czytajDokladnie(f, od, Bufor, magia)) {
        std::string().swap(Bufor);
        Pokaz(komunikaty::BladOdczytu(sciezka));
        return TWynikOtwarcia::UszkodzonyRekord;
    }
    if (Bufor == format::kMagiaRekordu) {
        odczyt::TOknoPliku okno(f, od);
        dl = UzytecznaDlugoscRekordu(dl, okno);
        if (!czytajDokladnie(f, od, Bufor, std::size_t(dl))) {
            std::string().swap(Bufor);
            Pokaz(komunikaty::BladOdczytu(sciezka));
            return TWynikOtwarcia::UszkodzonyRekord;
        }
    }
    return DekodujTekst(nazwa, tekst, przypisy, plik);
}

TWynikOtwarcia TPliki::DekodujTekst(const std::string& nazwa, TListaNapisow& tekst, TListaNapisow& przypisy,
                                    TPlik& plik)
{
    if (Bufor.empty()) {
        // An entry without a record: nothing to decode and the lists stay
        // as they were, but the caller must not take that for a document.
        Pokaz(komunikaty::ToNieDziennik());
        return TWynikOtwarcia::UszkodzonyRekord;
    }
    const bool magia = std::string_view(Bufor).substr(0, 3) == format::kMagiaRekordu;
    Plik.clear();
    std::uint64_t brakujace = 0;
    DekodujRekord(Bufor, Slownik, FKomunikaty, tekst, przypisy, Plik, &brakujace);
    plik = std::move(Plik);
    Plik.clear();
    std::string().swap(Bufor);
    if (!magia)
        return TWynikOtwarcia::UszkodzonyRekord;
    if (brakujace > 0) {
        Pokaz(komunikaty::BrakSlow(nazwa, brakujace));
        return TWynikOtwarcia::UszkodzonySlownik;
    }
    if (FSlownikUszkodzony) {
        Pokaz(komunikaty::NiepewnySlownik(nazwa));
        return TWynikOtwarcia::UszkodzonySlownik;
    }
    return TWynikOtwarcia::Otwarty;
}
