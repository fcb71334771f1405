#include "DaneTestowe.h"

#include "platform/core/Cp1250.h"
#include "store/Zapis.h"

namespace dane {

std::string cp(const std::string& utf8) { return cp1250::fromUtf8(utf8); }
std::string utf(const std::string& c) { return cp1250::toUtf8(c); }

TWiersz wiersz(const std::vector<K>& kawalki)
{
    TWiersz w;
    for (const K& k : kawalki)
        w.push_back(TTekst{std::uint8_t(k.rodzaj), cp(k.tekst)});
    return w;
}

std::string zapiszBiblioteke(const std::filesystem::path& folder, const std::vector<Kodeks>& kodeksy)
{
    try {
        TBudowaSlownika slownik;
        std::vector<TPozycjaKontenera> pozycje;
        for (const Kodeks& k : kodeksy) {
            TDokumentTekst dok;
            dok.Akapity = k.akapity;
            for (const auto& p : k.przypisy) {
                std::vector<std::string> linie;
                for (const auto& l : p)
                    linie.push_back(cp(l));
                dok.Przypisy.push_back(linie);
            }
            TWynikKodowania wynik = KodujDokument(dok, slownik);
            if (!wynik.Problemy.empty())
                return "cannot encode code " + std::to_string(k.indeks) + ": " + wynik.Problemy.front().Opis;
            TPozycjaKontenera poz;
            poz.Numer = std::uint16_t(k.indeks);
            poz.Pozycja = std::uint16_t(k.indeks);
            poz.Rekord = ZapiszRekord(wynik.Rekord);
            pozycje.push_back(std::move(poz));
        }
        std::filesystem::create_directories(folder / "Lumesta");
        std::string blad;
        if (!ZapiszPlik(folder / "Morvitane.sko", ZapiszSlownik(slownik.Slownik()), &blad))
            return blad;
        if (!ZapiszPlik(folder / "Lumesta" / "Lumesta.rdu", ZapiszKontener(pozycje), &blad))
            return blad;
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

Kodeks kodeksCywilny()
{
    Kodeks k;
    k.indeks = 0;
    k.akapity = {
        wiersz({{7, "USTAWA"}, {0, " z dnia 23 kwietnia 1964 r."}}),
        wiersz({{9, "KODEKS"}, {0, " CYWILNY"}}),
        wiersz({{11, "CZĘŚĆ"}, {0, " OGÓLNA"}}),
        wiersz({{15, "TYTUŁ"}, {0, " I"}}),
        wiersz({{0, "PRZEPISY WSTĘPNE"}}),
        wiersz({{2, "Art"}, {0, ". 1. Kodeks niniejszy określa zasady wypasu "}, {4, ""}, {0, " na łąkach gminnych."}}),
        wiersz({{17, "DZIAŁ"}, {0, " I "}, {4, ""}, {0, " Osoby fizyczne"}}),
        wiersz({{19, "ROZDZIAŁ"}, {0, " I"}, {4, ""}, {0, ""}}),
        wiersz({{3, "§"}, {0, " 1. Każdy hodowca prowadzi księgę stada."}}),
        wiersz({{21, "ODDZIAŁ"}, {0, " 2"}}),
        wiersz({{13, "KSIĘGA"}, {0, " PIERWSZA"}}),
    };
    k.przypisy = {
        {" Dz. U. z 1990 r. Nr 34, poz. 198."},
        {" pierwsza linia", " druga linia"},
        {" trzecia"},
    };
    return k;
}

Kodeks kodeksKarny()
{
    Kodeks k;
    k.indeks = 3;
    k.akapity = {
        wiersz({{9, "KODEKS"}, {0, " KARNY"}}),
        wiersz({{2, "Art"}, {0, ". 1. Kto zaniedbuje pastwisko, płaci nawiązkę."}}),
    };
    return k;
}

Kodeks konstytucja()
{
    Kodeks k;
    k.indeks = 13;
    k.akapity = {
        wiersz({{23, "KONSTYTUCJA"}, {0, " RZECZYPOSPOLITEJ POLSKIEJ"}}),
        wiersz({{2, "Art"}, {0, ". 1. Herbem przykładowego państwa jest złota sowa."}}),
        wiersz({{23, "KONSTYTUCJA"}, {0, " RAZ JESZCZE"}}),
        wiersz({{19, "ROZDZIAŁ"}, {0, " I"}}),
    };
    return k;
}

} // namespace dane
