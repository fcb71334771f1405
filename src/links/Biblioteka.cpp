#include "links/Biblioteka.h"

#include "platform/core/Cp1250.h"

#include <cstdio>

namespace {

bool plik(const std::filesystem::path& p)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

} // namespace

TBibliotekaFolderu::TBibliotekaFolderu(TPliki& pliki, std::filesystem::path folder, bool jednostkiKodeksow)
    : FPliki(pliki), FFolder(std::move(folder)), FJednostki(jednostkiKodeksow)
{
}

bool TBibliotekaFolderu::JestKodeks(int indeks) const
{
    if (!FKodeksy) {
        FKodeksy.emplace();
        TListaNapisow tekst, przypisy, tytuly;
        TPlik pusty;
        FPliki.OtworzDokument(FFolder, TytulKodeksu(0), tekst, przypisy, pusty, false, tytuly);
        for (int k = 0; k < kLiczbaKodeksow; ++k)
            for (const std::string& t : tytuly)
                if (t == TytulKodeksu(k))
                    FKodeksy->insert(k);
    }
    return FKodeksy->count(indeks) > 0;
}

void TBibliotekaFolderu::Odswiez()
{
    FKodeksy.reset();
    FIndeksy.clear();
    FAkty.clear();
}

std::optional<std::filesystem::path> TBibliotekaFolderu::PlikAktu(const TAkt& akt, const std::string& dawnaNazwa) const
{
    const auto klucz = std::make_pair(akt, dawnaNazwa);
    if (const auto it = FAkty.find(klucz); it != FAkty.end())
        return it->second;
    auto& wynik = FAkty[klucz];
    const std::filesystem::path katalog = FFolder / "Dzienniki Ustaw";
    std::vector<std::string> nazwy{NazwaAktu(akt)};
    if (!dawnaNazwa.empty())
        nazwy.push_back(dawnaNazwa);
    // Libraries packed before the official wording was kept wrote the issue
    // number in three digits beside the real one.
    char trzy[64];
    std::snprintf(trzy, sizeof trzy, "Dz.U.%d.%03d.%d", akt.Rok, akt.Numer, akt.Pozycja);
    nazwy.push_back(trzy);
    for (const std::string& n : nazwy) {
        const std::filesystem::path p = katalog / (cp1250::toUtf8(n) + ".txt");
        if (plik(p)) {
            wynik = p;
            break;
        }
    }
    return wynik;
}

bool TBibliotekaFolderu::JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const
{
    return PlikAktu(akt, dawnaNazwa).has_value();
}

const TIndeksJednostek* TBibliotekaFolderu::JednostkiKodeksu(int indeks) const
{
    if (!FJednostki || !JestKodeks(indeks))
        return nullptr;
    auto& wpis = FIndeksy[indeks];
    if (!wpis) {
        TListaNapisow tekst, przypisy, tytuly;
        TPlik dokument;
        FPliki.OtworzDokument(FFolder, TytulKodeksu(indeks), tekst, przypisy, dokument, true, tytuly);
        wpis = std::make_unique<TIndeksJednostek>(dokument);
    }
    return wpis.get();
}

bool TBibliotekiOdnosnikow::JestKodeks(int indeks) const
{
    for (const TBibliotekaOdnosnikow* b : FBiblioteki)
        if (b->JestKodeks(indeks))
            return true;
    return false;
}

bool TBibliotekiOdnosnikow::JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const
{
    for (const TBibliotekaOdnosnikow* b : FBiblioteki)
        if (b->JestAkt(akt, dawnaNazwa))
            return true;
    return false;
}

const TIndeksJednostek* TBibliotekiOdnosnikow::JednostkiKodeksu(int indeks) const
{
    for (const TBibliotekaOdnosnikow* b : FBiblioteki)
        if (b->JestKodeks(indeks))
            return b->JednostkiKodeksu(indeks);
    return nullptr;
}
