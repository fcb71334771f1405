#include "links/Biblioteka.h"

#include "platform/core/Cp1250.h"

#include <cstdio>

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
    FDawne.clear();
    FObecne.reset();
}

std::optional<std::filesystem::path> TBibliotekaFolderu::PlikAktu(const TAkt& akt, const std::string& dawnaNazwa) const
{
    if (dawnaNazwa.empty()) {
        if (const auto it = FAkty.find(akt); it != FAkty.end())
            return it->second;
    } else if (const auto it = FDawne.find({akt, dawnaNazwa}); it != FDawne.end()) {
        return it->second;
    }
    auto& wynik = dawnaNazwa.empty() ? FAkty[akt] : FDawne[{akt, dawnaNazwa}];
    const std::filesystem::path katalog = FFolder / "Dzienniki Ustaw";
    if (!FObecne) {
        FObecne.emplace();
        std::error_code ec;
        for (std::filesystem::directory_iterator it(katalog, ec), koniec; !ec && it != koniec; it.increment(ec)) {
            std::error_code ec2;
            if (it->is_regular_file(ec2))
                FObecne->insert(it->path().filename().string());
        }
    }
    std::vector<std::string> nazwy{NazwaAktu(akt)};
    if (!dawnaNazwa.empty())
        nazwy.push_back(dawnaNazwa);
    // Libraries packed before the official wording was kept wrote the issue
    // number in three digits beside the real one.
    char trzy[64];
    std::snprintf(trzy, sizeof trzy, "Dz.U.%d.%03d.%d", akt.Rok, akt.Numer, akt.Pozycja);
    nazwy.push_back(trzy);
    for (const std::string& n : nazwy) {
        const std::string plikAktu = cp1250::toUtf8(n) + ".txt";
        if (FObecne->count(plikAktu)) {
            wynik = katalog / plikAktu;
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
