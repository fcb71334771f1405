// Pagination and page drawing of a large document.
//
//   bench_print_pages [--benchmark_filter=...]
//
// The document is shaped like a large legal code: 20,000 body paragraphs
// with a centred heading every 50 and a footnote mark every 20, printed on
// A4 at 600 dpi with 20 mm margins.
//
// Baselines measured in the same run:
// - BM_LayoutAtPrinterDpi: the layout alone of the same items at the same
//   width and resolution; BM_Paginate adds cutting into pages to it.
// - BM_PaintScreenArea: the source view painting a window-sized area into an
//   image; BM_DrawPageImage draws one page of the preview (a sheet at 96 dpi).
// - BM_PrintPdfPage... is the cost of one printed page into a PDF, for scale.
#include "platform/QtCanvas.h"
#include "platform/core/Cp1250.h"
#include "print/PtblDV.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <memory>
#include <random>
#include "common/QtBenchMain.h"
#include "common/SyntheticCode.h"

namespace {

constexpr int Paragraphs = 20000;

// A4 less 5 mm at each edge, at 600 dpi: the measurements of a laser printer.
class A4At600 : public TPrinterTarget {
public:
    Geometry PageGeometry() const override { return Geometry{4724, 6780, 200, 287, 600, 600}; }
    std::unique_ptr<TCanvas> MeasuringCanvas() const override { return std::make_unique<TQtCanvas>(600, 600); }
    bool CanCopy() const override { return false; }
    int Copies() const override { return 1; }
    void SetCopies(int) override {}
    void SetTitle(const std::string&) override {}
    TCanvas& Begin() override { throw EPrinterError("no jobs here"); }
    void NewPage() override {}
    void End() override {}
    void Abort() override {}
};

struct Fixture {
    TDVStyle style;
    TImageList marks{16, 15};
    TDocView view;
    TDVPrint print;

    Fixture()
    {
        for (int i = 0; i < style.TextStyles().Count(); ++i)
            style.TextStyles().Items(i).CharSet = EASTEUROPE_CHARSET;
        style.TextStyles().Items(0).Size = 12;
        style.TextStyles().Items(2).Size = 14;
        QImage mark(16, 15, QImage::Format_ARGB32_Premultiplied);
        mark.fill(Qt::darkRed);
        marks.Add(mark);
        view.SetStyle(&style);
        view.resize(1000, 800);

        const std::vector<std::string>& cp = BenchWords();
        std::mt19937 rng(1234);
        std::uniform_int_distribution<size_t> pick(0, cp.size() - 1);
        std::uniform_int_distribution<int> len(8, 60);
        for (int p = 0; p < Paragraphs; ++p) {
            if (p % 50 == 0)
                view.AddCenteredLine(cp1250::fromUtf8("Rozdział ") + std::to_string(p / 50 + 1), 2);
            std::string text;
            for (int n = len(rng); n > 0; --n) {
                text += cp[pick(rng)];
                text += ' ';
            }
            view.AddParagraph(text, 0);
            if (p % 20 == 0)
                view.AddHotspot(0, &marks, false);
        }
        view.Format();
        print.SetPrinter(std::make_unique<A4At600>());
        print.AssignDocument(&view);
        print.Paginate(foPictures | foImages);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_LayoutAtPrinterDpi(benchmark::State& state)
{
    Fixture& f = fixture();
    // A second borrowing view of the copy's width, laid out on the same
    // canvas: the layout without pagination.
    TPrintableDV& copy = *f.print.Copy();
    TPrintableDV other;
    other.AssignFrom(&f.view);
    other.SetFormatOptions(foPictures | foImages);
    other.resize(copy.CopyWidth(), copy.CopyHeight());
    TQtCanvas canvas(600, 600);
    for (auto _ : state) {
        other.DoFormat(false, canvas);
        benchmark::DoNotOptimize(other.DrawLines().size());
    }
    state.counters["lines"] = double(other.DrawLines().size());
}
BENCHMARK(BM_LayoutAtPrinterDpi)->Unit(benchmark::kMillisecond);

void BM_Paginate(benchmark::State& state)
{
    Fixture& f = fixture();
    int pages = 0;
    for (auto _ : state)
        pages = f.print.Paginate(foPictures | foImages);
    state.counters["pages"] = pages;
}
BENCHMARK(BM_Paginate)->Unit(benchmark::kMillisecond);

void BM_PaintScreenArea(benchmark::State& state)
{
    Fixture& f = fixture();
    QImage img(794, 1123, QImage::Format_RGB32);
    f.view.VScrollTo(f.view.VScrollMax() / 2);
    for (auto _ : state) {
        QPainter p(&img);
        TQtCanvas c(&p, 96, 96);
        f.view.PaintArea(c, TRect{0, 0, 794, 1123});
    }
}
BENCHMARK(BM_PaintScreenArea)->Unit(benchmark::kMillisecond);

void BM_DrawPageImage(benchmark::State& state)
{
    Fixture& f = fixture();
    QImage img;
    const int page = f.print.PagesCount() / 2;
    for (auto _ : state)
        f.print.DrawPageImage(page, img);
    state.counters["w"] = img.width();
    state.counters["h"] = img.height();
}
BENCHMARK(BM_DrawPageImage)->Unit(benchmark::kMillisecond);

void BM_PrintPdfPage(benchmark::State& state)
{
    Fixture& f = fixture();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setOutputFileName(dir.filePath(QStringLiteral("b.pdf")));
    TQtPrinterTarget target(&printer);
    TPrintableDV& copy = *f.print.Copy();
    const int page = copy.PagesCount() / 2;
    for (auto _ : state)
        copy.PrintRange(target, page, page, "bench", 1, false);
}
BENCHMARK(BM_PrintPdfPage)->Unit(benchmark::kMillisecond);

} // namespace

LUMESTA_QT_BENCHMARK_MAIN()
