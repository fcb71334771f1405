// Finding in one document and going to an article, in a generated code of
// about 5 MB.
//
//   BM_Memmem/<text>     baseline: memmem over the same bytes, as they are
//   BM_Znajdz/<text>     one keystroke of the find bar: every place of the
//                        typed text, letter case and diacritics ignored;
//                        counters: matches, ratio (time over BM_Memmem's of
//                        the same text, measured in this run)
//   BM_Pasek/<text>      one keystroke in the find bar over a laid-out view
//                        of the document: finding, the highlight layer
//                        replaced, the current place selected and shown,
//                        the window repainted; counter: ratio (time over
//                        BM_Memmem's of the same text)
//   BM_ZlozDokument      folding the document once, when the bar opens
//   BM_IndeksJednostek   the unit index, built with the document
//   BM_PrzejdzPrzegladem baseline for going to an article: scanning the
//                        paragraphs for the article's line
//   BM_PrzejdzDo         going to "art. <n> § 2": reading the address and
//                        looking it up in the unit index; counter: ratio
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>

#include <QLineEdit>

#include "common/QtBenchMain.h"
#include "packer/Generator.h"
#include "packer/Packer.h"
#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "reader/PasekZnajdowania.h"
#include "search/Znajdowanie.h"
#include "view/DVStyle.h"
#include "store/Jednostki.h"
#include "store/Pliki.h"

using namespace szukanie;
namespace fs = std::filesystem;

namespace {

struct Dokument {
    TPlik plik;
    std::vector<std::string> teksty;   // each paragraph's pieces joined, as the view holds them
    std::string razem;                 // all of them, one after another
};

const Dokument& dokument()
{
    static const Dokument d = [] {
        // A code stops short of 65536 lines, some 4 MB of the generator's
        // text; two of them one after the other make the 5 MB document.
        const fs::path f = fs::temp_directory_path() / ("lumesta-bench-find-" + std::to_string(::getpid()));
        std::vector<packer::GeneratedFile> zrodla;
        for (int k = 0; k < 2; ++k) {
            packer::GeneratorOptions o;
            o.seed = 5 + std::uint64_t(k);
            o.code = k;
            o.targetBytes = 3'500'000;
            zrodla.push_back({"kodeks-" + std::to_string(k) + ".txt", packer::generateCode(o)});
        }
        packer::Problems problemy;
        if (!packer::writeGeneratedLibrary(f / "src", zrodla, problemy) || !packer::packFolder(f / "src", f, problemy)) {
            std::fprintf(stderr, "cannot pack the code\n");
            std::exit(1);
        }
        TPliki pliki;
        pliki.WczytajSlownik(f / "Morvitane.sko");
        Dokument d;
        for (int k = 0; k < 2; ++k) {
            TListaNapisow tekst, przypisy, tytuly;
            TPlik plik;
            pliki.OtworzDokument(f / "Lumesta", TytulKodeksu(k), tekst, przypisy, plik, true, tytuly);
            d.plik.insert(d.plik.end(), plik.begin(), plik.end());
        }
        fs::remove_all(f);
        for (const TWiersz& w : d.plik) {
            std::string t;
            for (const TTekst& k : w)
                t += k.Tekst;
            d.razem += t;
            d.teksty.push_back(std::move(t));
        }
        return d;
    }();
    return d;
}

std::map<std::string, double> gMemmem;   // ns per run, by pattern

void BM_Memmem(benchmark::State& state, const char* utf8)
{
    const std::string w = cp1250::fromUtf8(utf8);
    const std::string& t = dokument().razem;
    std::size_t ile = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        ile = 0;
        const char* p = t.data();
        const char* const koniec = p + t.size();
        while (const void* z = memmem(p, std::size_t(koniec - p), w.data(), w.size())) {
            ++ile;
            p = static_cast<const char*>(z) + w.size();
        }
        benchmark::DoNotOptimize(ile);
    }
    gMemmem[utf8] = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() /
                    double(state.iterations());
    state.counters["matches"] = double(ile);
    state.counters["document_MB"] = double(t.size()) / 1e6;
}

void BM_Znajdz(benchmark::State& state, const char* utf8)
{
    std::vector<std::string_view> widoki(dokument().teksty.begin(), dokument().teksty.end());
    TZnajdowanie z(widoki);
    const std::string w = cp1250::fromUtf8(utf8);
    z.Znajdz(w, false);   // the folded copy is made when the bar opens
    std::size_t ile = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        ile = z.Znajdz(w, false).size();
        benchmark::DoNotOptimize(ile);
    }
    const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() /
                      double(state.iterations());
    state.counters["matches"] = double(ile);
    if (gMemmem.count(utf8))
        state.counters["ratio"] = ns / gMemmem[utf8];
}

#define ZNAK(nazwa, tekst)                                                                            \
    BENCHMARK_CAPTURE(BM_Memmem, nazwa, tekst)->Unit(benchmark::kMillisecond);                        \
    BENCHMARK_CAPTURE(BM_Znajdz, nazwa, tekst)->Unit(benchmark::kMillisecond);
ZNAK(s, "s")
ZNAK(sa, "sa")
ZNAK(sad, "sad")
ZNAK(sadu, "sadu")
ZNAK(przepisy, "przepisy stosuje")

// The document in a view, one item per paragraph, laid out once.
TDocView& widok()
{
    static TDVStyle styl;
    static TDocView* v = [] {
        auto* v = new TDocView;
        v->SetStyle(&styl);
        v->resize(1000, 800);
        for (const std::string& t : dokument().teksty)
            v->AddTextLines(t, 0);
        v->Format();
        v->show();
        return v;
    }();
    return *v;
}

void BM_Pasek(benchmark::State& state, const char* utf8)
{
    TPasekZnajdowania pasek;
    pasek.UstawWidok(&widok());
    pasek.show();
    pasek.Otworz();   // the document is folded when the bar opens
    const QString w = QString::fromUtf8(utf8);
    std::size_t ile = 0;
    double ns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        pasek.Tekst()->setText(QString());
        widok().ScrollTo(0);
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        pasek.Tekst()->setText(w);
        widok().viewport()->repaint();
        ns += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
        ile = std::size_t(pasek.LiczbaMiejsc());
    }
    state.counters["matches"] = double(ile);
    state.counters["highlights"] = double(widok().Highlights().size());
    if (gMemmem.count(utf8))
        state.counters["ratio"] = ns / double(state.iterations()) / gMemmem[utf8];
}
BENCHMARK_CAPTURE(BM_Pasek, s, "s")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pasek, sad, "sad")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pasek, przepisy, "przepisy stosuje")->Unit(benchmark::kMillisecond);

void BM_ZlozDokument(benchmark::State& state)
{
    std::vector<std::string_view> widoki(dokument().teksty.begin(), dokument().teksty.end());
    for (auto _ : state) {
        TZnajdowanie z(widoki);
        benchmark::DoNotOptimize(z.Znajdz("x", false).size());
    }
}
BENCHMARK(BM_ZlozDokument)->Unit(benchmark::kMillisecond);

void BM_IndeksJednostek(benchmark::State& state)
{
    for (auto _ : state) {
        TIndeksJednostek i(dokument().plik);
        benchmark::DoNotOptimize(i.LiczbaAkapitow());
    }
    state.counters["paragraphs"] = double(dokument().plik.size());
}
BENCHMARK(BM_IndeksJednostek)->Unit(benchmark::kMillisecond);

// An article far into the code.
std::string ostatniArtykul()
{
    const TIndeksJednostek i(dokument().plik);
    std::string a;
    for (const TJednostka& j : i.Jednostki())
        if (!j.Adres.Artykul.empty() && j.Adres.Ustep == "2")
            a = j.Adres.Artykul;
    return a;
}

double gPrzeglad = 0;

void BM_PrzejdzPrzegladem(benchmark::State& state)
{
    const std::string szukany = "Art. " + ostatniArtykul() + ".";
    std::size_t gdzie = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        gdzie = 0;
        for (std::size_t p = 0; p < dokument().teksty.size(); ++p)
            if (dokument().teksty[p].compare(0, szukany.size(), szukany) == 0) {
                gdzie = p;
                break;
            }
        benchmark::DoNotOptimize(gdzie);
    }
    gPrzeglad = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() /
                double(state.iterations());
    state.counters["paragraph"] = double(gdzie);
}
BENCHMARK(BM_PrzejdzPrzegladem)->Unit(benchmark::kMicrosecond);

void BM_PrzejdzDo(benchmark::State& state)
{
    const TIndeksJednostek indeks(dokument().plik);
    const std::string adres = "art. " + ostatniArtykul() + " \xA7 2";
    std::size_t gdzie = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const auto a = RozbierzAdres(adres);
        gdzie = a ? indeks.Znajdz(*a).value_or(0) : 0;
        benchmark::DoNotOptimize(gdzie);
    }
    const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() /
                      double(state.iterations());
    state.counters["paragraph"] = double(gdzie);
    if (gPrzeglad > 0)
        state.counters["ratio"] = ns / gPrzeglad;
}
BENCHMARK(BM_PrzejdzDo)->Unit(benchmark::kMicrosecond);

} // namespace

LUMESTA_QT_BENCHMARK_MAIN();
