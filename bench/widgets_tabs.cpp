// Cost of painting the tab strip's tabs ourselves (fills, captions, close
// buttons, the 256-strip gradient) against the platform painting the same
// tabs.
#include "widgets/PageExtControl.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <string>
#include "common/QtBenchMain.h"

namespace {

// Ten tabs as the reader shows them: green active fill, close buttons.
TPageExtControl& Strip()
{
    static TPageExtControl* s = [] {
        auto* strip = new TPageExtControl;
        strip->resize(1600, 300);
        for (int i = 0; i < 10; ++i) {
            auto* sheet = new TTabExtSheet(strip);
            sheet->Colors().SetActiveFill1(clGreen);
            sheet->SetCaption("Kodeks postepowania " + std::to_string(i));
            sheet->SetHostStrip(strip);
        }
        strip->show();
        QApplication::processEvents();
        return strip;
    }();
    return *s;
}

void Paint(benchmark::State& state, bool ownerDraw, bool gradient)
{
    TPageExtControl& strip = Strip();
    strip.SetCloseBtn(ownerDraw);
    strip.SetTabFillGradient(gradient);
    QTabBar* bar = strip.NativeBar();
    // One paint first, so that captions have their final blanks and the
    // tabs their final sizes.
    QImage img(bar->size(), QImage::Format_ARGB32_Premultiplied);
    bar->render(&img);
    for (auto _ : state) {
        bar->render(&img);
        benchmark::DoNotOptimize(img.constBits());
    }
}

// Baseline: the platform's own painting of the tabs.
void BM_PlatformPaintsTabs(benchmark::State& state) { Paint(state, false, false); }
BENCHMARK(BM_PlatformPaintsTabs);

void BM_OwnerDrawnTabs(benchmark::State& state) { Paint(state, true, false); }
BENCHMARK(BM_OwnerDrawnTabs);

void BM_OwnerDrawnGradientTabs(benchmark::State& state) { Paint(state, true, true); }
BENCHMARK(BM_OwnerDrawnGradientTabs);

} // namespace

LUMESTA_QT_BENCHMARK_MAIN()
