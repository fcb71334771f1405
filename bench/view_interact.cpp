// Hit-testing, selected text and export of a large document view.
//
//   bench_view_interact [--benchmark_filter=...]
//
// The document is shaped like a large legal code: 60,000 body paragraphs
// with a centred heading and a checkpoint every 50 and a footnote hotspot
// every 20. Each operation has a baseline in the same run:
// - BM_HitLinearScan (a scan of all drawn lines for the one under a point)
//   for BM_FindDrawLineAt and BM_FindSelectionPosition (per point);
// - BM_JoinItemTexts (all item texts appended, nothing else) for
//   BM_SelectAllText (SelectAll and GetSelectedText);
// - BM_WriteRawText (the joined texts written to a file) for BM_SaveText and
//   BM_SaveHTML.
#include "platform/core/Cp1250.h"
#include "view/DocView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSaveFile>
#include <QTemporaryDir>

#include <memory>
#include <random>
#include "common/QtBenchMain.h"
#include "common/SyntheticCode.h"

namespace {

constexpr int Paragraphs = 60000;
constexpr int Points = 1000;

struct Fixture {
    TDVStyle style;
    TImageList marks{16, 15};
    std::unique_ptr<TDocView> view;
    QTemporaryDir dir;
    std::vector<std::pair<int, int>> points; // document points, all over the document

    Fixture()
    {
        for (int i = 0; i < style.TextStyles().Count(); ++i)
            style.TextStyles().Items(i).CharSet = EASTEUROPE_CHARSET;
        style.TextStyles().Items(0).Size = 14;
        QImage mark(16, 15, QImage::Format_ARGB32_Premultiplied);
        mark.fill(Qt::darkRed);
        for (int i = 0; i < 7; ++i)
            marks.Add(mark);
        view = std::make_unique<TDocView>();
        view->SetStyle(&style);
        view->resize(1000, 800);
        std::mt19937 rng(4321);
        FillSyntheticCode(*view, &marks, 6, Paragraphs, rng);
        view->Format();
        std::uniform_int_distribution<int> px(0, view->TextWidth() + 20);
        std::uniform_int_distribution<int> py(0, view->DocumentHeight());
        for (int i = 0; i < Points; ++i)
            points.emplace_back(px(rng), py(rng));
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_HitLinearScan(benchmark::State& state)
{
    Fixture& f = fixture();
    const auto& lines = f.view->DrawLines();
    for (auto _ : state) {
        long found = 0;
        for (auto [x, y] : f.points) {
            for (size_t i = 0; i < lines.size(); ++i) {
                const TDrawLineInfo& d = lines[i].Info;
                if (d.Left <= x && x < d.Left + d.Width && d.Top <= y && y < d.Top + d.Height) {
                    found += long(i);
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * Points);
    state.counters["drawn_lines"] = double(lines.size());
}
BENCHMARK(BM_HitLinearScan)->Unit(benchmark::kMillisecond);

void BM_FindDrawLineAt(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        long found = 0;
        for (auto [x, y] : f.points)
            found += f.view->FindDrawLineAt(x, y);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_FindDrawLineAt)->Unit(benchmark::kMillisecond);

void BM_FindSelectionPosition(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        long found = 0;
        for (auto [x, y] : f.points) {
            int offset = 0, line = -1;
            f.view->FindSelectionPosition(x, y, offset, line);
            found += line + offset;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_FindSelectionPosition)->Unit(benchmark::kMillisecond);

std::string joined()
{
    std::string out;
    for (const TItem& it : fixture().view->Items())
        if (it.Info.StyleNo >= 0) {
            out += it.Text;
            if (!it.Info.SameAsPrev)
                out += "\r\n";
        }
    return out;
}

void BM_JoinItemTexts(benchmark::State& state)
{
    for (auto _ : state) {
        const std::string s = joined();
        benchmark::DoNotOptimize(s.data());
    }
}
BENCHMARK(BM_JoinItemTexts)->Unit(benchmark::kMillisecond);

void BM_SelectAllText(benchmark::State& state)
{
    Fixture& f = fixture();
    size_t bytes = 0;
    for (auto _ : state) {
        f.view->SelectAll();
        const std::string s = f.view->GetSelectedText();
        bytes = s.size();
        benchmark::DoNotOptimize(s.data());
    }
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_SelectAllText)->Unit(benchmark::kMillisecond);

void BM_WriteRawText(benchmark::State& state)
{
    Fixture& f = fixture();
    const std::string s = joined();
    const QString name = f.dir.filePath("raw.txt");
    for (auto _ : state) {
        QSaveFile out(name);
        if (!out.open(QIODevice::WriteOnly) || out.write(s.data(), qint64(s.size())) != qint64(s.size()) ||
            !out.commit())
            state.SkipWithError("cannot write");
    }
    state.counters["MB"] = double(s.size()) / 1e6;
}
BENCHMARK(BM_WriteRawText)->Unit(benchmark::kMillisecond);

void BM_SaveText(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString name = f.dir.filePath("doc.txt");
    for (auto _ : state)
        if (!f.view->SaveText(name, 65))
            state.SkipWithError("SaveText failed");
}
BENCHMARK(BM_SaveText)->Unit(benchmark::kMillisecond);

void BM_SaveHTML(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString name = f.dir.filePath("doc.html");
    for (auto _ : state)
        if (!f.view->SaveHTML(name, "Lumesta", "dvimg", true))
            state.SkipWithError("SaveHTML failed");
}
BENCHMARK(BM_SaveHTML)->Unit(benchmark::kMillisecond);

} // namespace

LUMESTA_QT_BENCHMARK_MAIN()
