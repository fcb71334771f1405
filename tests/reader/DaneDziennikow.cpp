#include "DaneDziennikow.h"

#include "store/Zapis.h"

#include <fstream>
#include <map>

namespace dane {

namespace {

TDokumentTekst dokument(const TPlik& akapity, const std::vector<std::vector<std::string>>& przypisy)
{
    TDokumentTekst dok;
    dok.Akapity = akapity;
    for (const auto& p : przypisy) {
        std::vector<std::string> linie;
        for (const auto& l : p)
            linie.push_back(cp(l));
        dok.Przypisy.push_back(linie);
    }
    return dok;
}

} // namespace

std::string zapiszBibliotekeZDziennikami(const std::filesystem::path& folder, const std::vector<Kodeks>& kodeksy,
                                         const std::vector<Dziennik>& dzienniki)
{
    try {
        TBudowaSlownika slownik;
        const auto pozycja = [&slownik](const TDokumentTekst& dok, int numer, int poz, std::string& blad) {
            TWynikKodowania wynik = KodujDokument(dok, slownik);
            if (!wynik.Problemy.empty())
                blad = wynik.Problemy.front().Opis;
            TPozycjaKontenera p;
            p.Numer = std::uint16_t(numer);
            p.Pozycja = std::uint16_t(poz);
            p.Rekord = ZapiszRekord(wynik.Rekord);
            return p;
        };
        std::string blad;
        std::vector<TPozycjaKontenera> kody;
        for (const Kodeks& k : kodeksy) {
            kody.push_back(pozycja(dokument(k.akapity, k.przypisy), k.indeks, k.indeks, blad));
            if (!blad.empty())
                return "cannot encode code " + std::to_string(k.indeks) + ": " + blad;
        }
        std::map<int, std::vector<TPozycjaKontenera>> roczniki;
        for (const Dziennik& d : dzienniki) {
            roczniki[d.rok].push_back(pozycja(dokument(d.akapity, d.przypisy), d.numer, d.pozycja, blad));
            if (!blad.empty())
                return "cannot encode act " + std::to_string(d.rok) + ": " + blad;
        }
        const auto dane = folder / "Lumesta";
        std::filesystem::create_directories(dane / "Dzienniki Ustaw");
        if (!ZapiszPlik(folder / "Morvitane.sko", ZapiszSlownik(slownik.Slownik()), &blad))
            return blad;
        if (!kody.empty() && !ZapiszPlik(dane / "Lumesta.rdu", ZapiszKontener(kody), &blad))
            return blad;
        for (const auto& [rok, pozycje] : roczniki)
            if (!ZapiszPlik(dane / (std::to_string(rok) + ".rdu"), ZapiszKontener(pozycje), &blad))
                return blad;
        for (const Dziennik& d : dzienniki) {
            if (!d.obecny)
                continue;
            const std::string nazwa = "Dz.U." + std::to_string(d.rok) + "." + std::to_string(d.numer) + "." +
                                      std::to_string(d.pozycja) + ".txt";
            std::ofstream(dane / "Dzienniki Ustaw" / nazwa);
        }
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

Kodeks kodeksZOdnosnikami()
{
    Kodeks k;
    k.indeks = 0;
    k.akapity = {
        wiersz({{9, "KODEKS"}, {0, " CYWILNY"}}),
        wiersz({{2, "Art"}, {0, ". 1. Kodeks określa zasady najmu "}, {4, ""}, {0, " łodzi rybackich."}}),
        wiersz({{2, "Art"}, {0, ". 2. Zmieniony przepis "}, {4, ""}, {0, " dalej."}}),
    };
    k.przypisy = {
        {" Zmiany: Dz. U. 1990. 34. 198 oraz Dz. U. 2001. 5. 7 z późn. zm."},
        {" Dz.U.1990.34.198", " bez odesłania"},
    };
    return k;
}

std::vector<Dziennik> dziennikiTestowe()
{
    Dziennik obecny;
    obecny.rok = 1990;
    obecny.numer = 34;
    obecny.pozycja = 198;
    obecny.akapity = {
        wiersz({{7, "USTAWA"}, {0, " o zmianie ustawy"}}),
        wiersz({{2, "Art"}, {0, ". 1. W ustawie wprowadza się zmiany "}, {4, ""}, {0, " następujące."}}),
    };
    obecny.przypisy = {{" Ogłoszono dnia 1 czerwca 1990."}};
    Dziennik nieobecny;
    nieobecny.rok = 2001;
    nieobecny.numer = 5;
    nieobecny.pozycja = 7;
    nieobecny.akapity = {wiersz({{2, "Art"}, {0, ". 1. Tekst nieobecnej ustawy."}})};
    nieobecny.obecny = false;
    return {obecny, nieobecny};
}

} // namespace dane
