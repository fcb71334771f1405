// Opening a footnote window for a long footnote (an amendment list of 400
// lines, each citing two acts): building its items with the citations as
// links and laying them out.
//
// Baseline, measured in the same run: finding the citations in the same
// lines (the scan every footnote window starts with). Report the others as
// multiples of it.
#include "reader/Przypis.h"
#include "store/Narzedzia.h"
#include "view/DocView.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <memory>
#include <string>

namespace {

TListaNapisow dlugiPrzypis()
{
    TListaNapisow linie;
    linie.push_back("(1)  Zmiany tekstu jednolitego wymienionej ustawy zostaly ogloszone:");
    for (int i = 0; i < 400; ++i)
        linie.push_back(" w Dz. U. " + std::to_string(1990 + i % 30) + ". " + std::to_string(1 + i % 150) + ". " +
                        std::to_string(100 + i) + " oraz Dz.U." + std::to_string(1991 + i % 25) + "." +
                        std::to_string(2 + i % 90) + "." + std::to_string(300 + i) + " z dalszymi zmianami;");
    return linie;
}

void BM_Baseline_SzukajDziennikow(benchmark::State& state)
{
    const TListaNapisow linie = dlugiPrzypis();
    for (auto _ : state) {
        std::size_t n = 0;
        for (const std::string& l : linie) {
            TDziennikiUstaw refs;
            SzukajDziennikow(l, refs);
            n += refs.size();
        }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_Baseline_SzukajDziennikow)->Unit(benchmark::kMicrosecond);

void BM_WypelnijPrzypis(benchmark::State& state)
{
    const TListaNapisow linie = dlugiPrzypis();
    for (auto _ : state) {
        TfPrzypis okno;
        okno.WypelnijPrzypis(linie);
        benchmark::DoNotOptimize(okno.dvPrzypis->Jumps().size());
    }
}
BENCHMARK(BM_WypelnijPrzypis)->Unit(benchmark::kMicrosecond);

// The footnote window alone, without filling it: what creating the window
// costs apart from its document.
void BM_TfPrzypisPusty(benchmark::State& state)
{
    for (auto _ : state) {
        TfPrzypis okno;
        benchmark::DoNotOptimize(okno.dvPrzypis);
    }
}
BENCHMARK(BM_TfPrzypisPusty)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
