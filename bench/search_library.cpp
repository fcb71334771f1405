// Searching a whole library: fifteen generated codes of about 1 MB each,
// their words grouped by stems beforehand (as the packer does).
//
//   BM_CzytajRekordy      reading every code's act record from disk: the
//                         least any search must do
//   BM_DekodujWszystko    baseline: decoding every code in full, what a
//                         search over decoded text would start with
//   BM_Szukaj/<query>/<threads>
//                         the whole search, every hit placed in its line
//                         with its unit, by one thread or two; counters:
//                         hits, first_ms (time to the first document's
//                         results), ratio (wall time over that of
//                         BM_DekodujWszystko, measured in this run)
//   BM_GrupujSlowa200k    grouping 200,000 dictionary words by their stems
//                         with Hunspell (two threads), once (what the
//                         packer does, so that the reader does not)
//   BM_WczytajRdzenie200k loading those stems from their file
//
// The library is packed into the temporary folder once and kept there for
// later runs (lumesta-bench-search-*), with its stems file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "packer/Generator.h"
#include "packer/Packer.h"
#include "platform/core/Cp1250.h"
#include "search/Biblioteka.h"
#include "search/Morfologia.h"
#include "store/Kontener.h"
#include "store/Pliki.h"

using namespace szukanie;
namespace fs = std::filesystem;

namespace {

using Zegar = std::chrono::steady_clock;
double ms(Zegar::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

const fs::path& folder()
{
    static const fs::path f = [] {
        const fs::path f = fs::temp_directory_path() / "lumesta-bench-search-15x1MB-v1";
        if (fs::exists(f / "Morvitane.rdz"))
            return f;
        std::fprintf(stderr, "packing fifteen generated codes into %s...\n", f.string().c_str());
        fs::remove_all(f);
        packer::Problems problemy;
        if (!packer::writeGeneratedLibrary(f / "src", packer::generateLibrary(15'000'000, 3, 15, 0), problemy) ||
            !packer::packFolder(f / "src", f, problemy)) {
            std::fprintf(stderr, "cannot pack: %s\n", problemy.empty() ? "" : problemy[0].toString().c_str());
            std::exit(1);
        }
        std::fprintf(stderr, "grouping the words by their stems...\n");
        std::string blad;
        if (!ZapiszRdzenieSlownika(f / "Morvitane.sko", &blad)) {
            std::fprintf(stderr, "%s\n", blad.c_str());
            std::exit(1);
        }
        return f;
    }();
    return f;
}

TBiblioteka& biblioteka()
{
    static TBiblioteka b = [] {
        TBiblioteka b(folder() / "Morvitane.sko", folder() / "Lumesta");
        std::string blad;
        if (!b.Przygotuj([] { return TMorfologia::Wspolna(); }, &blad, [](const std::string& s) {
                std::fprintf(stderr, "%s\n", s.c_str());
            })) {
            std::fprintf(stderr, "%s\n", blad.c_str());
            std::exit(1);
        }
        return b;
    }();
    return b;
}

double gCzasDekodowania = 0;   // ms per run of BM_DekodujWszystko

void BM_CzytajRekordy(benchmark::State& state)
{
    const auto dokumenty = biblioteka().Dokumenty();
    std::size_t bajty = 0;
    for (auto _ : state) {
        TKontener k;
        std::string rekord;
        bajty = 0;
        for (const auto& d : dokumenty) {
            if (k.Sciezka() != d.Kontener)
                k.Otworz(d.Kontener);
            k.CzytajRekord(d.Wpis, rekord);
            bajty += rekord.size();
        }
    }
    state.counters["codes"] = double(dokumenty.size());
    state.counters["record_MB"] = double(bajty) / 1e6;
}
BENCHMARK(BM_CzytajRekordy)->Unit(benchmark::kMillisecond);

void BM_DekodujWszystko(benchmark::State& state)
{
    const auto dokumenty = biblioteka().Dokumenty();
    double razem = 0;
    for (auto _ : state) {
        const auto t0 = Zegar::now();
        TKontener k;
        std::string rekord;
        for (const auto& d : dokumenty) {
            if (k.Sciezka() != d.Kontener)
                k.Otworz(d.Kontener);
            k.CzytajRekord(d.Wpis, rekord);
            TListaNapisow t, p;
            TPlik plik;
            DekodujRekord(rekord, biblioteka().Slownik(), nullptr, t, p, plik);
            benchmark::DoNotOptimize(plik.data());
        }
        razem += ms(Zegar::now() - t0);
    }
    gCzasDekodowania = razem / double(state.iterations());
}
BENCHMARK(BM_DekodujWszystko)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Szukaj(benchmark::State& state, const char* zapytanie)
{
    const TZapytanie z = RozbierzZapytanie(cp1250::fromUtf8(zapytanie));
    const TDostawcaMorfologii m = [] { return TMorfologia::Wspolna(); };
    std::size_t trafien = 0;
    double pierwszy = 0, razem = 0;
    for (auto _ : state) {
        trafien = 0;
        const auto t0 = Zegar::now();
        bool pierwszyDokument = true;
        biblioteka().Szukaj(
            z, m,
            [&](TWynikDokumentu&& d) {
                if (pierwszyDokument) {
                    pierwszy += ms(Zegar::now() - t0);
                    pierwszyDokument = false;
                }
                for (const auto& l : d.Linie)
                    trafien += l.Trafienia.size();
                return true;
            },
            nullptr, unsigned(state.range(0)));
        razem += ms(Zegar::now() - t0);
    }
    const double n = double(state.iterations());
    state.counters["hits"] = double(trafien);
    state.counters["first_ms"] = pierwszy / n;
    if (gCzasDekodowania > 0)
        state.counters["ratio"] = razem / n / gCzasDekodowania;
}
BENCHMARK_CAPTURE(BM_Szukaj, sad, "sąd")->Unit(benchmark::kMillisecond)->Arg(1)->Arg(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Szukaj, umowa, "umowa")->Unit(benchmark::kMillisecond)->Arg(1)->Arg(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Szukaj, dwa_slowa, "przepisy organ")->Unit(benchmark::kMillisecond)->Arg(1)->Arg(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Szukaj, fraza, "\"stosuje się\"")->Unit(benchmark::kMillisecond)->Arg(1)->Arg(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Szukaj, rzadkie, "wyłącznie kradzieży")->Unit(benchmark::kMillisecond)->Arg(1)->Arg(2)->UseRealTime();

// 200,000 dictionary words: the library's own, and as many more made from
// them with Polish endings as that takes (a real dictionary of that size
// holds the inflected forms of its words much as these are).
const TSlownik& slownik200k()
{
    static const TSlownik s = [] {
        TSlownik s = biblioteka().Slownik();
        const std::size_t wlasne = s.size();
        static const char* const koncowki[] = {"ami", "ach", "owi", "om", "em", "ie", "y", "a", "u", "ę"};
        for (std::size_t k = 0; s.size() < 200'000; ++k) {
            const std::string& slowo = s[k % wlasne].Slowo;
            if (slowo.empty() || slowo.size() > 200)
                continue;
            TWpisSlownika w;
            w.Slowo = slowo + cp1250::fromUtf8(koncowki[(k / wlasne) % std::size(koncowki)]);
            s.push_back(std::move(w));
        }
        s.resize(200'000);
        return s;
    }();
    return s;
}

double gCzasGrupowania = 0;

void BM_GrupujSlowa200k(benchmark::State& state)
{
    TMorfologia* m = TMorfologia::Wspolna();
    for (auto _ : state) {
        const auto t0 = Zegar::now();
        const TRdzenie r = TRdzenie::Zbuduj(slownik200k(), m, 1);
        gCzasGrupowania = ms(Zegar::now() - t0);
        r.ZapiszDo(fs::temp_directory_path() / "lumesta-bench-200k.rdz");
        state.counters["stems"] = double(r.LiczbaRdzeni());
    }
    state.counters["words"] = double(slownik200k().size());
}
BENCHMARK(BM_GrupujSlowa200k)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WczytajRdzenie200k(benchmark::State& state)
{
    const fs::path plik = fs::temp_directory_path() / "lumesta-bench-200k.rdz";
    double razem = 0;
    for (auto _ : state) {
        const auto t0 = Zegar::now();
        const auto r = TRdzenie::Wczytaj(plik, slownik200k());
        razem += ms(Zegar::now() - t0);
        if (!r)
            state.SkipWithError("no stems file (run BM_GrupujSlowa200k first)");
    }
    if (gCzasGrupowania > 0)
        state.counters["grouping_over_loading"] = gCzasGrupowania / (razem / double(state.iterations()));
}
BENCHMARK(BM_WczytajRdzenie200k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
