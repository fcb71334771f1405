// Importing an official consolidated text of about 300 pages from its PDF,
// the way "Dodaj akt..." and lumesta-tool import do.
//
// Baseline, measured in the same run: reading the PDF's text alone with
// Poppler (every page's words with their boxes), which no import can do
// without. Report the import as a multiple of it, and as absolute time
// against the goal of 3 s for 300 pages.
#include "common/QtBenchMain.h"
#include "import/Import.h"
#include "import/Probka.h"

#include <poppler-qt6.h>

#include <benchmark/benchmark.h>

namespace {

const importer::Sample& sample()
{
    // An invented code of 3800 articles gives just over 300 pages.
    static const importer::Sample s = importer::makeSamplePdf(importer::makeSampleCode(3800, 5), {});
    return s;
}

void BM_Baseline_PopplerText(benchmark::State& state)
{
    const QByteArray& pdf = sample().pdf;
    for (auto _ : state) {
        std::unique_ptr<Poppler::Document> doc = Poppler::Document::loadFromData(pdf);
        std::size_t words = 0;
        for (int i = 0; i < doc->numPages(); ++i) {
            std::unique_ptr<Poppler::Page> page(doc->page(i));
            words += page->textList().size();
        }
        benchmark::DoNotOptimize(words);
    }
    state.counters["pages"] = sample().pages;
}
BENCHMARK(BM_Baseline_PopplerText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportPdf(benchmark::State& state)
{
    const QByteArray& pdf = sample().pdf;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const importer::Result r = importer::importBytes(pdf);
        if (!r.ok)
            state.SkipWithError(r.error.c_str());
        bytes = r.source.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["pages"] = sample().pages;
    state.counters["source_bytes"] = double(bytes);
}
BENCHMARK(BM_ImportPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

LUMESTA_QT_BENCHMARK_MAIN();
