// Cost of driving the progress gauge once per unit of work, against the
// cost of one picture of the gauge.
#include "widgets/ProgressGauge.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include "common/QtBenchMain.h"

namespace {

// The main window's gauge: 195 x 22, aqua with a green bar.
TProgressGauge& Gauge()
{
    static TProgressGauge* g = [] {
        auto* gauge = new TProgressGauge;
        gauge->resize(195, 22);
        gauge->SetBackColor(clAqua);
        gauge->SetForeColor(clGreen);
        gauge->show();
        QApplication::processEvents();
        return gauge;
    }();
    return *g;
}

// Baseline: one complete picture (bar, text, exclusive-or overlays).
void BM_RenderOnce(benchmark::State& state)
{
    TProgressGauge& g = Gauge();
    g.SetProgress(g.MinValue() + (g.MaxValue() - g.MinValue()) / 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(g.Render());
}
BENCHMARK(BM_RenderOnce);

// A build of 10 000 lines, advancing once per line: 100 repaints on screen.
void BM_AdvanceTenThousandSteps(benchmark::State& state)
{
    TProgressGauge& g = Gauge();
    g.SetMinValue(0);
    g.SetMaxValue(10000);
    for (auto _ : state) {
        g.SetProgress(0);
        for (int i = 1; i <= 10000; ++i)
            g.SetProgress(i);
    }
}
BENCHMARK(BM_AdvanceTenThousandSteps)->Unit(benchmark::kMillisecond);

// 10 000 steps that stay within one per cent: no repaint at all.
void BM_AdvanceWithinOnePercent(benchmark::State& state)
{
    TProgressGauge& g = Gauge();
    g.SetMinValue(0);
    g.SetMaxValue(2000000);
    g.SetProgress(0);
    for (auto _ : state) {
        for (int i = 1; i <= 10000; ++i)
            g.SetProgress(i);
        g.SetProgress(0);
    }
}
BENCHMARK(BM_AdvanceWithinOnePercent);

} // namespace

LUMESTA_QT_BENCHMARK_MAIN()
