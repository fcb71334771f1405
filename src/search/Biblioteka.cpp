#include "search/Biblioteka.h"

#include <algorithm>
#include <cstdio>

#include "platform/core/Cp1250.h"
#include "store/Kontener.h"
#include "store/Pliki.h"

namespace szukanie {
namespace {

constexpr const char* kFolderObecnosci = "Dzienniki Ustaw";

// A Journal act counts as present when its presence file is there, under
// either spelling of its issue number (the citation links write three digits).
bool obecny(const std::filesystem::path& folder, const std::string& rok, const TDaneDZU& w)
{
    std::error_code ec;
    const std::filesystem::path obecnosc = folder / kFolderObecnosci;
    if (std::filesystem::is_regular_file(obecnosc / (TytulPozycji(rok, w) + ".txt"), ec))
        return true;
    char numer[16];
    std::snprintf(numer, sizeof numer, "%03u", unsigned(w.Numer));
    return std::filesystem::is_regular_file(
        obecnosc / ("Dz.U." + rok + "." + numer + "." + std::to_string(w.Pozycja) + ".txt"), ec);
}

class Zbior : public TKomunikaty {
public:
    void Komunikat(const std::string& tekst) override { lista.push_back(tekst); }
    std::vector<std::string> lista;
};

} // namespace

TBiblioteka::TBiblioteka(std::filesystem::path slownik, std::filesystem::path folder)
    : FPlikSlownika(std::move(slownik)), FFolder(std::move(folder))
{
}

bool TBiblioteka::Przygotuj(const TDostawcaMorfologii& morfologia, std::string* blad,
                            const std::function<void(const std::string&)>& uwagi)
{
    FGotowa = false;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(FPlikSlownika, ec)) {
        if (blad)
            *blad = "no dictionary file " + FPlikSlownika.string();
        return false;
    }
    Zbior komunikaty;
    TPliki pliki(&komunikaty);
    pliki.WczytajSlownik(FPlikSlownika);
    if (!komunikaty.lista.empty()) {
        if (blad)
            *blad = cp1250::toUtf8(komunikaty.lista.front());
        return false;
    }
    FSlownik = std::move(pliki.Slownik);
    std::string powod;
    if (auto r = TRdzenie::Wczytaj(PlikRdzeni(FPlikSlownika), FSlownik, &powod)) {
        FRdzenie = std::move(*r);
    } else {
        if (uwagi)
            uwagi(powod + "; grouping " + std::to_string(FSlownik.size()) + " words by their stems now");
        FRdzenie = TRdzenie::Zbuduj(FSlownik, morfologia ? morfologia() : nullptr);
    }
    FGotowa = true;
    return true;
}

std::vector<TDokumentBiblioteki> TBiblioteka::Dokumenty() const
{
    std::vector<TDokumentBiblioteki> wynik;
    auto dodajKontener = [&](const std::filesystem::path& plik, const std::string& rok) {
        TKontener k;
        if (!k.Otworz(plik))
            return;
        for (std::size_t i = 0; i < k.Katalog().size(); ++i) {
            if (!k.Otwieralny(i))
                continue;
            const TDaneDZU& w = k.Katalog()[i];
            std::string nazwa = TytulPozycji(rok, w);
            if (nazwa.empty() || (rok != kNazwaKodeksow && !obecny(FFolder, rok, w)))
                continue;
            wynik.push_back({std::move(nazwa), plik, i});
        }
    };
    dodajKontener(FFolder / (std::string(kNazwaKodeksow) + ".rdu"), std::string(kNazwaKodeksow));

    // Yearbooks: the other containers named by a year, oldest first.
    std::vector<std::pair<std::string, std::filesystem::path>> roczniki;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(FFolder, ec), koniec; !ec && it != koniec; it.increment(ec)) {
        const auto& p = it->path();
        const std::string rok = p.stem().string();
        if (p.extension() == ".rdu" && !rok.empty() &&
            std::all_of(rok.begin(), rok.end(), [](char c) { return c >= '0' && c <= '9'; }))
            roczniki.emplace_back(rok, p);
    }
    std::sort(roczniki.begin(), roczniki.end(), [](const auto& a, const auto& b) {
        return a.first.size() != b.first.size() ? a.first.size() < b.first.size() : a.first < b.first;
    });
    for (const auto& [rok, plik] : roczniki)
        dodajKontener(plik, rok);
    return wynik;
}

bool TBiblioteka::Szukaj(const TZapytanie& zapytanie, const TDostawcaMorfologii& morfologia,
                         const std::function<bool(TWynikDokumentu&&)>& wynik,
                         const std::atomic<bool>* przerwij) const
{
    if (!FGotowa || zapytanie.Pusty())
        return true;
    const TPrzygotowaneZapytanie z(zapytanie, FRdzenie, morfologia);
    if (z.NicNiePasuje())
        return true;
    TKontener kontener;
    std::string rekord;
    TSkanRekordu skan;
    for (const TDokumentBiblioteki& d : Dokumenty()) {
        if (przerwij && przerwij->load(std::memory_order_relaxed))
            return false;
        if (kontener.Sciezka() != d.Kontener && !kontener.Otworz(d.Kontener))
            continue;
        if (!kontener.CzytajRekord(d.Wpis, rekord) || !SkanujRekord(rekord, z, skan) || skan.Wystapienia.empty())
            continue;
        TWynikDokumentu w{d, UmiescWystapienia(rekord, FSlownik, FRdzenie, skan)};
        if (!w.Linie.empty() && !wynik(std::move(w)))
            return false;
    }
    return true;
}

} // namespace szukanie
