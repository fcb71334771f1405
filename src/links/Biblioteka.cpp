#include "links/Biblioteka.h"

#include "platform/core/Cp1250.h"

#include <cstdio>

TBibliotekaDanych::TBibliotekaDanych(TBiblioteka& biblioteka, bool jednostkiKodeksow)
    : FBiblioteka(biblioteka), FJednostki(jednostkiKodeksow)
{
}

void TBibliotekaDanych::Odswiez()
{
    FKodeksy = {};
    FIndeksy.clear();
    FAkty.clear();
    FDawne.clear();
    FObecne.reset();
}

bool TBibliotekaDanych::JestKodeks(int indeks) const
{
    if (indeks < 0 || indeks >= kLiczbaKodeksow)
        return false;
    auto& jest = FKodeksy[std::size_t(indeks)];
    if (!jest)
        jest = FBiblioteka.Gdzie(TytulKodeksu(indeks)) >= 0;
    return *jest;
}

std::optional<std::filesystem::path> TBibliotekaDanych::PlikAktu(const TAkt& akt, const std::string& dawnaNazwa) const
{
    if (dawnaNazwa.empty()) {
        if (const auto it = FAkty.find(akt); it != FAkty.end())
            return it->second;
    } else if (const auto it = FDawne.find({akt, dawnaNazwa}); it != FDawne.end()) {
        return it->second;
    }
    auto& wynik = dawnaNazwa.empty() ? FAkty[akt] : FDawne[{akt, dawnaNazwa}];

    if (!FObecne) {
        FObecne.emplace();
        for (std::size_t b = 0; b < FBiblioteka.Liczba(); ++b) {
            auto& nazwy = FObecne->emplace_back();
            if (FBiblioteka.Folder(b).empty())
                continue;
            std::error_code ec;
            for (std::filesystem::directory_iterator it(FBiblioteka.Folder(b) / "Dzienniki Ustaw", ec), koniec;
                 !ec && it != koniec; it.increment(ec)) {
                std::error_code ec2;
                if (it->is_regular_file(ec2))
                    nazwy.insert(it->path().filename().string());
            }
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
    for (std::size_t b = 0; b < FObecne->size() && !wynik; ++b) {
        for (const std::string& n : nazwy) {
            const std::string plik = cp1250::toUtf8(n) + ".txt";
            if ((*FObecne)[b].count(plik)) {
                wynik = FBiblioteka.Folder(b) / "Dzienniki Ustaw" / plik;
                break;
            }
        }
    }
    return wynik;
}

bool TBibliotekaDanych::JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const
{
    return PlikAktu(akt, dawnaNazwa).has_value();
}

const TIndeksJednostek* TBibliotekaDanych::JednostkiKodeksu(int indeks) const
{
    if (!FJednostki || !JestKodeks(indeks))
        return nullptr;
    auto& wpis = FIndeksy[indeks];
    if (!wpis) {
        TListaNapisow tekst, przypisy, tytuly;
        TPlik dokument;
        FBiblioteka.OtworzDokument(TytulKodeksu(indeks), tekst, przypisy, dokument, true, tytuly);
        wpis = std::make_unique<TIndeksJednostek>(dokument);
    }
    return wpis.get();
}
