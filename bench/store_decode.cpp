// Decoding speed, dictionary loading and the memory a decoded document takes.
//
//   BM_Dekodowanie      decodes a synthetic act of one million tokens with
//                       punctuation, headings and footnotes (bytes/s = text
//                       produced)
//   BM_SameSlowa        baseline: appends the same dictionary words, in the
//                       same order, to one string (bytes/s of that string)
//   BM_WczytajSlownik   loads a dictionary of 200,000 words
//   BM_PamiecDokumentu  counters: peak bytes allocated while decoding and
//                       bytes kept by the result, each over the text size
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>

#include "store/Pliki.h"
#include "store/Zapis.h"

// Counting allocator: every allocation of the program is tallied, so the
// memory benchmark can read the peak reached during one decode.
namespace {
std::atomic<std::int64_t> gTeraz{0};
std::atomic<std::int64_t> gSzczyt{0};

void* przydziel(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    const std::int64_t t = gTeraz += std::int64_t(malloc_usable_size(p));
    std::int64_t s = gSzczyt.load();
    while (t > s && !gSzczyt.compare_exchange_weak(s, t)) {
    }
    return p;
}

void zwolnij(void* p) noexcept
{
    if (!p)
        return;
    gTeraz -= std::int64_t(malloc_usable_size(p));
    std::free(p);
}
} // namespace

void* operator new(std::size_t n) { return przydziel(n); }
void* operator new[](std::size_t n) { return przydziel(n); }
void operator delete(void* p) noexcept { zwolnij(p); }
void operator delete[](void* p) noexcept { zwolnij(p); }
void operator delete(void* p, std::size_t) noexcept { zwolnij(p); }
void operator delete[](void* p, std::size_t) noexcept { zwolnij(p); }

namespace {

std::string losoweSlowo(std::mt19937& los)
{
    static const char litery[] = "aaabcdeeefghiiijklmnooprssttuwyzz";
    std::string s;
    const int n = 2 + int(los() % 10);
    for (int i = 0; i < n; ++i)
        s.push_back(litery[los() % (sizeof litery - 1)]);
    return s;
}

struct Akt {
    TSlownik slownik;
    std::string rekord;
    std::vector<std::uint32_t> slowa;   // the token stream, for the baseline
    std::size_t tokeny = 0;
};

// About one million tokens: lines of 5..40 tokens, a mark every few words,
// a heading every tenth line, a footnote mark every eighth line, footnotes
// of one or two lines at the end.
const Akt& akt()
{
    static const Akt a = [] {
        std::mt19937 los(42);
        std::vector<std::string> slowa;
        for (int i = 0; i < 20000; ++i)
            slowa.push_back(losoweSlowo(los));
        const std::uint8_t znaki[] = {11, 11, 11, 13, 13, 15, 16, 8, 12};
        TDokumentElementy d;
        std::size_t tokeny = 0;
        std::size_t znaczniki = 0;
        while (tokeny < 950000) {
            TLinia l;
            if (d.Glowne.size() % 10 == 0) {
                l.Naglowek = 2;
                l.Elementy.push_back(TElement::Z(13));
                ++tokeny;
            }
            const int n = 5 + int(los() % 36);
            for (int i = 0; i < n; ++i) {
                if (i == n / 2 && d.Glowne.size() % 8 == 3) {
                    l.Elementy.push_back(TElement::P());
                    ++znaczniki;
                }
                l.Elementy.push_back(TElement::S(slowa[los() % slowa.size()]));
                if (los() % 5 == 0 || i + 1 == n)
                    l.Elementy.push_back(TElement::Z(znaki[los() % std::size(znaki)]));
            }
            tokeny += std::size_t(n);
            d.Glowne.push_back(std::move(l));
        }
        for (std::size_t p = 0; p < znaczniki; ++p) {
            std::vector<TLinia> przypis;
            for (int l = 0; l < 1 + int(p % 2); ++l) {
                TLinia linia;
                for (int i = 0; i < 6; ++i)
                    linia.Elementy.push_back(TElement::S(slowa[los() % slowa.size()]));
                linia.Elementy.push_back(TElement::Z(13));
                tokeny += 6;
                przypis.push_back(std::move(linia));
            }
            d.Przypisy.push_back(std::move(przypis));
        }
        TBudowaSlownika b;
        TRekordDoZapisu r = ZbudujRekord(d, b);
        Akt a;
        a.slownik = b.Slownik();
        a.rekord = ZapiszRekord(r);
        a.slowa = r.Slowa;
        a.tokeny = tokeny;
        return a;
    }();
    return a;
}

std::size_t rozmiarTekstu(const TPlik& plik, const TListaNapisow& przypisy)
{
    std::size_t n = 0;
    for (const auto& w : plik)
        for (const auto& t : w)
            n += t.Tekst.size();
    for (const auto& p : przypisy)
        n += p.size();
    return n;
}

void BM_Dekodowanie(benchmark::State& state)
{
    const Akt& a = akt();
    std::size_t tekst = 0;
    for (auto _ : state) {
        TListaNapisow t, p;
        TPlik plik;
        DekodujRekord(a.rekord, a.slownik, nullptr, t, p, plik);
        tekst = rozmiarTekstu(plik, p);
        benchmark::DoNotOptimize(plik.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * tekst));
    state.counters["tokens"] = double(a.tokeny);
    state.counters["text_MB"] = double(tekst) / 1e6;
}
BENCHMARK(BM_Dekodowanie)->Unit(benchmark::kMillisecond);

void BM_SameSlowa(benchmark::State& state)
{
    const Akt& a = akt();
    std::size_t n = 0;
    for (auto _ : state) {
        std::string s;
        for (std::uint32_t i : a.slowa) {
            s += a.slownik[i].Slowo;
            s += ' ';
        }
        n = s.size();
        benchmark::DoNotOptimize(s.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * n));
}
BENCHMARK(BM_SameSlowa)->Unit(benchmark::kMillisecond);

void BM_WczytajSlownik(benchmark::State& state)
{
    std::mt19937 los(7);
    TSlownik s;
    for (int i = 0; i < 200000; ++i)
        s.push_back({losoweSlowo(los) + std::to_string(i), i});
    const auto plik = std::filesystem::temp_directory_path() / "lumesta-bench-slownik.sko";
    {
        std::ofstream f(plik, std::ios::binary | std::ios::trunc);
        const std::string b = ZapiszSlownik(s);
        f.write(b.data(), std::streamsize(b.size()));
    }
    for (auto _ : state) {
        TPliki p;
        p.WczytajSlownik(plik);
        if (p.Slownik.size() != s.size())
            state.SkipWithError("dictionary did not load");
        benchmark::DoNotOptimize(p.Slownik.data());
    }
    std::filesystem::remove(plik);
    state.counters["words"] = double(s.size());
}
BENCHMARK(BM_WczytajSlownik)->Unit(benchmark::kMillisecond);

void BM_PamiecDokumentu(benchmark::State& state)
{
    const Akt& a = akt();
    double szczyt = 0, trzyma = 0, tekst = 0;
    for (auto _ : state) {
        const std::int64_t przed = gTeraz.load();
        gSzczyt.store(przed);
        TListaNapisow t, p;
        TPlik plik;
        DekodujRekord(a.rekord, a.slownik, nullptr, t, p, plik);
        szczyt = double(gSzczyt.load() - przed);
        trzyma = double(gTeraz.load() - przed);
        tekst = double(rozmiarTekstu(plik, p));
    }
    state.counters["text_MB"] = tekst / 1e6;
    state.counters["peak_over_text"] = szczyt / tekst;
    state.counters["kept_over_text"] = trzyma / tekst;
}
BENCHMARK(BM_PamiecDokumentu)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
