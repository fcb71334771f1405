// Layout and painting of a large document in the document view.
//
//   bench_view_layout [--benchmark_filter=...]
//
// The document is shaped like a large legal code: 60,000 body paragraphs
// (about 5 MB of Windows-1250 text) with a centred heading and a checkpoint
// every 50 paragraphs and a footnote hotspot every 20. BM_MeasureOnly is the
// baseline: the text widths of every item measured once, with nothing else.
#include "platform/QtCanvas.h"
#include "platform/core/Cp1250.h"
#include "view/DocView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <memory>
#include <random>
#include "common/QtBenchMain.h"
#include "common/SyntheticCode.h"

namespace {

constexpr int Paragraphs = 60000;

struct Fixture {
    TDVStyle style;
    TImageList marks{16, 15};
    std::unique_ptr<TDocView> view;
    size_t bytes = 0;

    Fixture()
    {
        for (int i = 0; i < style.TextStyles().Count(); ++i) {
            style.TextStyles().Items(i).FontName = "Kreska";
            style.TextStyles().Items(i).CharSet = EASTEUROPE_CHARSET;
        }
        style.TextStyles().Items(0).Size = 14;
        style.TextStyles().Items(2).Size = 16;
        QImage mark(16, 15, QImage::Format_ARGB32_Premultiplied);
        mark.fill(Qt::darkRed);
        for (int i = 0; i < 7; ++i)
            marks.Add(mark);
        view = std::make_unique<TDocView>();
        view->SetStyle(&style);
        view->resize(1000, 800);
        Build();
    }

    void Build()
    {
        std::mt19937 rng(1234);
        bytes = FillSyntheticCode(*view, &marks, 6, Paragraphs, rng);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_MeasureOnly(benchmark::State& state)
{
    Fixture& f = fixture();
    TQtCanvas canvas(TQtCanvas::ScreenDpiX(), TQtCanvas::ScreenDpiY());
    for (auto _ : state) {
        long total = 0;
        for (const TItem& it : f.view->Items()) {
            if (it.Info.StyleNo < 0)
                continue;
            canvas.SetFont(f.style.TextStyles().Items(it.Info.StyleNo).Desc());
            total += canvas.TextWidth(it.Text);
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["MB"] = double(f.bytes) / 1e6;
}
BENCHMARK(BM_MeasureOnly)->Unit(benchmark::kMillisecond);

void BM_BuildItems(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        f.Build();
    state.counters["items"] = double(f.view->ItemCount());
}
BENCHMARK(BM_BuildItems)->Unit(benchmark::kMillisecond);

void BM_Layout(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        f.view->Format();
    state.counters["drawn_lines"] = double(f.view->DrawLines().size());
    state.counters["height_px"] = double(f.view->DocumentHeight());
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond);

void BM_PaintScreen(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view->Format();
    f.view->ScrollTo(f.view->DocumentHeight() / 2);
    QImage img(f.view->ClientWidth(), f.view->ClientHeight(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        TQtCanvas c(&p, f.view->Canvas().DpiX(), f.view->Canvas().DpiY());
        f.view->PaintArea(c, TRect{0, 0, img.width(), img.height()});
    }
}
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

} // namespace

LUMESTA_QT_BENCHMARK_MAIN()
