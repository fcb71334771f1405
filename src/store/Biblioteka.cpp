#include "store/Biblioteka.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "platform/core/Cp1250.h"

struct TBiblioteka::Pozycja {
    std::filesystem::path Slownik;
    std::filesystem::path Folder;
    std::unique_ptr<TPliki> Pliki;
};

namespace {

// The directory of a container, read quietly: nothing for a missing or
// damaged file. Only the directory is read, from the end of the file.
// Entries whose record cannot lie in the file (before the header, past the
// directory or past the record after them: a truncated or overwritten
// container) are left out, as the store itself treats them.
std::optional<TTabDaneDZU> czytajKatalog(const std::filesystem::path& sciezka)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(sciezka, ec))
        return std::nullopt;
    std::ifstream f(sciezka, std::ios::binary);
    if (!f)
        return std::nullopt;
    f.seekg(0, std::ios::end);
    const std::int64_t rozmiar = f.tellg();
    f.seekg(0);
    unsigned char naglowek[6] = {};
    if (rozmiar < 6 || !f.read(reinterpret_cast<char*>(naglowek), 6))
        return std::nullopt;
    if (std::string_view(reinterpret_cast<const char*>(naglowek), 3) != format::kMagiaKontenera)
        return std::nullopt;
    const std::int64_t n = std::int64_t(naglowek[4]) | (std::int64_t(naglowek[5]) << 8);
    const std::int64_t dlugosc = format::kRozmiarWpisuKatalogu * (n + 1);
    if (rozmiar - dlugosc < 0)
        return std::nullopt;
    std::string bajty(std::size_t(dlugosc), '\0');
    f.seekg(rozmiar - dlugosc);
    if (!f.read(bajty.data(), dlugosc))
        return std::nullopt;
    TTabDaneDZU katalog;
    katalog.reserve(std::size_t(n + 1));
    auto liczba = [&](std::size_t od, int bajtow) {
        std::uint64_t v = 0;
        for (int b = bajtow - 1; b >= 0; --b)
            v = (v << 8) | static_cast<unsigned char>(bajty[od + std::size_t(b)]);
        return v;
    };
    for (std::int64_t i = 0; i <= n; ++i) {
        const std::size_t o = std::size_t(i) * format::kRozmiarWpisuKatalogu;
        TDaneDZU w;
        w.Przesuniecie = static_cast<std::int64_t>(liczba(o, 8));
        w.Numer = static_cast<std::uint16_t>(liczba(o + 8, 2));
        w.Pozycja = static_cast<std::uint16_t>(liczba(o + 10, 2));
        w.Znacznik = static_cast<std::uint8_t>(liczba(o + 12, 1));
        katalog.push_back(w);
    }
    constexpr std::int64_t kNaglowekKontenera = 6;
    const std::int64_t poczatekKatalogu = rozmiar - dlugosc;
    TTabDaneDZU czytelne;
    czytelne.reserve(katalog.size());
    for (std::size_t i = 0; i < katalog.size(); ++i) {
        const std::int64_t od = katalog[i].Przesuniecie;
        const std::int64_t koniec = i + 1 < katalog.size() ? katalog[i + 1].Przesuniecie : poczatekKatalogu;
        if (od >= kNaglowekKontenera && od <= koniec && koniec <= poczatekKatalogu)
            czytelne.push_back(katalog[i]);
    }
    return czytelne;
}

bool maWpis(const TTabDaneDZU& katalog, const TNumerPozycjaDZU& klucz)
{
    return std::any_of(katalog.begin(), katalog.end(), [&](const TDaneDZU& w) {
        return w.Numer == klucz.Numer && w.Pozycja == klucz.Pozycja && w.Znacznik == 0;
    });
}

} // namespace

TBiblioteka::TBiblioteka(TKomunikaty* komunikaty) : FKomunikaty(komunikaty) {}

TBiblioteka::~TBiblioteka() = default;

void TBiblioteka::UstawKomunikaty(TKomunikaty* komunikaty)
{
    FKomunikaty = komunikaty;
}

std::unique_ptr<TBiblioteka::Pozycja> TBiblioteka::Wczytaj(const std::filesystem::path& slownik,
                                                          const std::filesystem::path& folder)
{
    auto p = std::make_unique<Pozycja>();
    p->Slownik = slownik;
    p->Folder = folder;
    p->Pliki = std::make_unique<TPliki>(FKomunikaty);
    p->Pliki->WczytajSlownik(slownik);
    p->Pliki->UstawKomunikaty(nullptr);
    return p;
}

void TBiblioteka::Dodaj(const std::filesystem::path& slownik, const std::filesystem::path& folder)
{
    FBiblioteki.push_back(Wczytaj(slownik, folder));
}

void TBiblioteka::Zastap(std::size_t i, const std::filesystem::path& slownik, const std::filesystem::path& folder)
{
    FBiblioteki.at(i) = Wczytaj(slownik, folder);
}

void TBiblioteka::UstawFolder(std::size_t i, const std::filesystem::path& folder)
{
    FBiblioteki.at(i)->Folder = folder;
}

void TBiblioteka::Wyczysc()
{
    FBiblioteki.clear();
}

const std::filesystem::path& TBiblioteka::Slownik(std::size_t i) const
{
    return FBiblioteki.at(i)->Slownik;
}

const std::filesystem::path& TBiblioteka::Folder(std::size_t i) const
{
    return FBiblioteki.at(i)->Folder;
}

TPliki& TBiblioteka::Pliki(std::size_t i)
{
    return *FBiblioteki.at(i)->Pliki;
}

int TBiblioteka::Gdzie(const std::string& nazwa)
{
    const auto klucz = SprobujRozbierzNazwe(nazwa);
    if (!klucz)
        return -1;
    for (std::size_t i = 0; i < FBiblioteki.size(); ++i) {
        // A library whose dictionary did not load cannot decode anything.
        if (FBiblioteki[i]->Pliki->Slownik.empty() || FBiblioteki[i]->Folder.empty())
            continue;
        const auto katalog = czytajKatalog(SciezkaKontenera(FBiblioteki[i]->Folder, *klucz));
        if (katalog && maWpis(*katalog, *klucz))
            return static_cast<int>(i);
    }
    return -1;
}

TListaNapisow TBiblioteka::Tytuly(const std::string& nazwa, int tylko)
{
    TListaNapisow tytuly;
    const auto klucz = SprobujRozbierzNazwe(nazwa);
    if (!klucz)
        return tytuly;
    std::vector<TDaneDZU> wpisy;
    int zrodel = 0;
    for (std::size_t i = 0; i < FBiblioteki.size(); ++i) {
        if (tylko >= 0 && std::size_t(tylko) != i)
            continue;
        const auto& b = FBiblioteki[i];
        if (b->Folder.empty())
            continue;
        const auto katalog = czytajKatalog(SciezkaKontenera(b->Folder, *klucz));
        if (!katalog)
            continue;
        ++zrodel;
        for (const TDaneDZU& w : *katalog) {
            const bool jest = std::any_of(wpisy.begin(), wpisy.end(), [&](const TDaneDZU& v) {
                return v.Numer == w.Numer && v.Pozycja == w.Pozycja;
            });
            if (!jest)
                wpisy.push_back(w);
        }
    }
    // One library keeps its own directory order; several are merged by key.
    if (zrodel > 1)
        std::stable_sort(wpisy.begin(), wpisy.end(), [](const TDaneDZU& a, const TDaneDZU& b) {
            return std::pair(a.Numer, a.Pozycja) < std::pair(b.Numer, b.Pozycja);
        });
    tytuly.reserve(wpisy.size());
    for (const TDaneDZU& w : wpisy)
        tytuly.push_back(TytulPozycji(klucz->Rok, w));
    return tytuly;
}

int TBiblioteka::GdzieDziennik(const std::string& odnosnik) const
{
    if (odnosnik.empty() || odnosnik.find_first_of("/\\") != std::string::npos)
        return -1;
    const std::string plik = cp1250::toUtf8(odnosnik) + ".txt";
    for (std::size_t i = 0; i < FBiblioteki.size(); ++i) {
        std::error_code ec;
        if (!FBiblioteki[i]->Folder.empty() &&
            std::filesystem::is_regular_file(FBiblioteki[i]->Folder / "Dzienniki Ustaw" / plik, ec))
            return static_cast<int>(i);
    }
    return -1;
}

TWynikOtwarcia TBiblioteka::OtworzDokument(const std::string& nazwa, TListaNapisow& tekst, TListaNapisow& przypisy,
                                           TPlik& plik, bool wczytaj, TListaNapisow& tytuly)
{
    std::string blad;
    const auto klucz = SprobujRozbierzNazwe(nazwa, &blad);
    if (!klucz) {
        if (FKomunikaty)
            FKomunikaty->Komunikat(blad);
        return TWynikOtwarcia::BlednaNazwa;
    }
    int i = Gdzie(nazwa);
    if (i < 0) {
        // No library holds it: the first one that has the container says so
        // (or reports the container as damaged), exactly as a lone store would.
        for (std::size_t k = 0; k < FBiblioteki.size() && i < 0; ++k) {
            std::error_code ec;
            if (!FBiblioteki[k]->Folder.empty() &&
                std::filesystem::is_regular_file(SciezkaKontenera(FBiblioteki[k]->Folder, *klucz), ec))
                i = static_cast<int>(k);
        }
    }
    if (i < 0)
        return TWynikOtwarcia::BrakKontenera;
    Pozycja& b = *FBiblioteki[std::size_t(i)];
    struct Przywroc {
        TPliki& p;
        ~Przywroc() { p.UstawKomunikaty(nullptr); }
    } przywroc{*b.Pliki};
    b.Pliki->UstawKomunikaty(FKomunikaty);
    const TWynikOtwarcia wynik = b.Pliki->OtworzDokument(b.Folder, nazwa, tekst, przypisy, plik, wczytaj, tytuly);
    // Once the directory has been read: the titles of every library, and
    // only those whose text can be reached.
    if (wynik != TWynikOtwarcia::BrakKontenera && wynik != TWynikOtwarcia::BladKontenera &&
        wynik != TWynikOtwarcia::BlednaNazwa && wynik != TWynikOtwarcia::BrakPamieci)
        tytuly = Tytuly(nazwa);
    return wynik;
}
