#include "search/Biblioteka.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

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
        TMorfologia* m = morfologia ? morfologia() : nullptr;
        FRdzenie = TRdzenie::Zbuduj(FSlownik, m);
        // Grouped without the Polish dictionary, the words are not worth
        // keeping: the next time it may be there.
        if (FZapisRdzeni && m)
            FRdzenie.ZapiszDo(PlikRdzeni(FPlikSlownika));
    }
    FOstatnie = OstatnieLitery(FSlownik);
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
                         const std::atomic<bool>* przerwij, unsigned watki,
                         const std::unordered_set<std::string>* pomin) const
{
    if (!FGotowa || zapytanie.Pusty())
        return true;
    const TPrzygotowaneZapytanie z(zapytanie, FRdzenie, morfologia);
    if (z.NicNiePasuje())
        return true;
    std::vector<TDokumentBiblioteki> dokumenty = Dokumenty();
    if (pomin)
        dokumenty.erase(std::remove_if(dokumenty.begin(), dokumenty.end(),
                                       [&](const TDokumentBiblioteki& d) { return pomin->count(d.Nazwa) > 0; }),
                        dokumenty.end());

    // Workers take the documents in turn; the results are handed over in
    // document order by the calling thread, which works too.
    struct Wspolne {
        std::mutex blokada;
        std::condition_variable gotowe;
        std::vector<std::optional<TWynikDokumentu>> wyniki;   // filled as found
        std::vector<char> zrobione;
        std::atomic<std::size_t> nastepny{0};
        std::atomic<bool> stop{false};
    } w;
    w.wyniki.resize(dokumenty.size());
    w.zrobione.assign(dokumenty.size(), 0);
    auto zatrzymane = [&] {
        return w.stop.load(std::memory_order_relaxed) || (przerwij && przerwij->load(std::memory_order_relaxed));
    };
    auto pracuj = [&](bool jeden) {
        TKontener kontener;
        std::string rekord;
        TSkanRekordu skan;
        for (;;) {
            const std::size_t i = w.nastepny.fetch_add(1);
            if (i >= dokumenty.size() || zatrzymane())
                return;
            const TDokumentBiblioteki& d = dokumenty[i];
            std::optional<TWynikDokumentu> r;
            if ((kontener.Sciezka() == d.Kontener || kontener.Otworz(d.Kontener)) &&
                kontener.CzytajRekord(d.Wpis, rekord) && SkanujRekord(rekord, z, skan) &&
                !skan.Wystapienia.empty()) {
                r = TWynikDokumentu{d, UmiescWystapienia(rekord, FSlownik, FRdzenie, skan, FOstatnie)};
                if (r->Linie.empty())
                    r.reset();
            }
            {
                std::lock_guard<std::mutex> b(w.blokada);
                w.wyniki[i] = std::move(r);
                w.zrobione[i] = 1;
            }
            w.gotowe.notify_all();
            if (jeden)
                return;
        }
    };

    if (watki == 0)
        watki = std::max(1u, std::thread::hardware_concurrency());
    watki = unsigned(std::min<std::size_t>(watki, std::max<std::size_t>(1, dokumenty.size())));
    std::vector<std::thread> pomocnicy;
    for (unsigned t = 1; t < watki; ++t)
        pomocnicy.emplace_back(pracuj, false);

    bool caly = true;
    for (std::size_t oddane = 0; oddane < dokumenty.size();) {
        {
            std::unique_lock<std::mutex> b(w.blokada);
            if (!w.zrobione[oddane]) {
                if (w.nastepny.load() < dokumenty.size() && !zatrzymane()) {
                    b.unlock();
                    pracuj(true);   // meanwhile search one more document here
                    continue;
                }
                w.gotowe.wait(b, [&] { return w.zrobione[oddane] || zatrzymane(); });
                if (!w.zrobione[oddane])
                    break;
            }
        }
        std::optional<TWynikDokumentu> r = std::move(w.wyniki[oddane]);
        ++oddane;
        if (r && !wynik(std::move(*r))) {
            w.stop = true;
            caly = false;
            break;
        }
        if (przerwij && przerwij->load()) {
            caly = false;
            break;
        }
    }
    w.stop = true;
    w.gotowe.notify_all();
    for (auto& t : pomocnicy)
        t.join();
    return caly && !(przerwij && przerwij->load());
}

} // namespace szukanie
