// Opening a code in the main window, from the click on its row to the first
// painted screen of its tab, for a synthetic code of about 5 MB of text; and
// the parts of it: decoding, building the items, layout and painting. A
// click on a code that is open already only switches tabs.
//
// The baseline is reading the codes container into memory, measured in the
// same run; report the others as multiples of it. Opening with the links of
// the text is also compared with opening without them.
#include "links/Biblioteka.h"
#include "packer/Generator.h"
#include "packer/Packer.h"
#include "reader/Okienko.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>

namespace {

namespace fs = std::filesystem;

// The data library: the 5 MB code at row 0 and a small one at row 1.
struct Biblioteka {
    std::unique_ptr<QTemporaryDir> katalog;
    fs::path program;
    std::size_t bajtyTekstu = 0;
    bool gotowa = false;
};

Biblioteka& biblioteka()
{
    static Biblioteka b = [] {
        Biblioteka w;
        w.katalog = std::make_unique<QTemporaryDir>();
        w.program = fs::path(w.katalog->path().toStdString());
        packer::GeneratorOptions duzy;
        duzy.seed = 11;
        duzy.targetBytes = 5'000'000;
        duzy.code = 0;
        packer::GeneratorOptions maly;
        maly.seed = 12;
        maly.targetBytes = 20'000;
        maly.code = 3;
        const std::string tekst = packer::generateCode(duzy);
        w.bajtyTekstu = tekst.size();
        packer::LibraryPacker pakowacz;
        packer::Problems problemy;
        packer::PackedLibrary dane;
        if (!pakowacz.add(tekst, "kodeks-00.txt", problemy) ||
            !pakowacz.add(packer::generateCode(maly), "kodeks-03.txt", problemy) ||
            !pakowacz.finish(dane, problemy) || !packer::writeLibrary(dane, w.program, problemy)) {
            for (const auto& p : problemy)
                std::cerr << p.toString() << "\n";
            return w;
        }
        w.gotowa = true;
        return w;
    }();
    return b;
}

// A shown main window over the library, at the size it opens with.
std::unique_ptr<TfLumesta> noweOkno(TZbiorKomunikatow& komunikaty)
{
    auto okno = std::make_unique<TfLumesta>(QString::fromStdString(biblioteka().program.string()), &komunikaty);
    okno->resize(1040, 620);
    okno->show();
    QCoreApplication::processEvents();
    return okno;
}

// What a click on row `wiersz` of the codes list does, then the view's
// first paint, done at once instead of when the loop gets to it.
void kliknijIPomaluj(TfLumesta& okno, int wiersz)
{
    okno.clbSpisKodeksow->setCurrentRow(wiersz);
    okno.tvSpisKodeksowClick();
    if (TDocView* v = okno.BiezacyWidok())
        v->viewport()->repaint();
}

bool przygotowana(benchmark::State& state)
{
    if (!biblioteka().gotowa) {
        state.SkipWithError("the synthetic library could not be packed");
        return false;
    }
    return true;
}

void BM_Baseline_ReadContainer(benchmark::State& state)
{
    if (!przygotowana(state))
        return;
    const fs::path plik = biblioteka().program / "Lumesta" / "Lumesta.rdu";
    for (auto _ : state) {
        std::ifstream in(plik, std::ios::binary);
        std::string bajty((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(bajty.data());
    }
    state.counters["bytes"] = double(fs::file_size(plik));
}

void BM_Decode(benchmark::State& state)
{
    if (!przygotowana(state))
        return;
    TZbiorKomunikatow komunikaty;
    TPliki pliki(&komunikaty);
    pliki.WczytajSlownik(biblioteka().program / "Morvitane.sko");
    const fs::path dane = biblioteka().program / "Lumesta" / "";
    const std::string nazwa = TytulKodeksu(0);
    std::size_t linie = 0;
    for (auto _ : state) {
        TListaNapisow tekst, przypisy, tytuly;
        TPlik plik;
        pliki.OtworzDokument(dane, nazwa, tekst, przypisy, plik, true, tytuly);
        linie = plik.size();
        benchmark::DoNotOptimize(plik.data());
    }
    state.counters["lines"] = double(linie);
    state.counters["text_bytes"] = double(biblioteka().bajtyTekstu);
}

// Building the items, with the links of the text found and cut out of its
// pieces (as the reader opens codes) and without.
void buildItems(benchmark::State& state, bool odnosniki)
{
    if (!przygotowana(state))
        return;
    TZbiorKomunikatow komunikaty;
    auto okno = noweOkno(komunikaty);
    okno->rozpoznawanieOdnosnikow = odnosniki;
    okno->WczytajDokument(okno->nazwyKodeksow.at(0), true);
    std::size_t elementy = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto widok = std::make_unique<TDocView>();
        okno->numeryPrzypisow.clear();
        state.ResumeTiming();
        TSpisZakladki spis = okno->DodajElementy(widok.get());
        elementy = std::size_t(widok->ItemCount());
        benchmark::DoNotOptimize(spis.Spis.data());
        state.PauseTiming();
        widok.reset();
        state.ResumeTiming();
    }
    state.counters["items"] = double(elementy);
}

void BM_BuildItems(benchmark::State& state) { buildItems(state, true); }
void BM_BuildItems_WithoutLinks(benchmark::State& state) { buildItems(state, false); }

// Layout of the document shown in the first tab, with its links and without.
void layout(benchmark::State& state, bool odnosniki)
{
    if (!przygotowana(state))
        return;
    TZbiorKomunikatow komunikaty;
    auto okno = noweOkno(komunikaty);
    okno->rozpoznawanieOdnosnikow = odnosniki;
    kliknijIPomaluj(*okno, 0);
    TDocView* v = okno->BiezacyWidok();
    for (auto _ : state)
        v->Format();
    state.counters["drawn_lines"] = double(v->DrawLines().size());
    state.counters["height_px"] = double(v->DocumentHeight());
}

void BM_Layout(benchmark::State& state) { layout(state, true); }
void BM_Layout_WithoutLinks(benchmark::State& state) { layout(state, false); }

void BM_PaintFirstScreen(benchmark::State& state)
{
    if (!przygotowana(state))
        return;
    TZbiorKomunikatow komunikaty;
    auto okno = noweOkno(komunikaty);
    kliknijIPomaluj(*okno, 0);
    TDocView* v = okno->BiezacyWidok();
    for (auto _ : state)
        v->viewport()->repaint();
}

// Finding the links of the decoded 5 MB code: its article numbers and the
// recognition of citations and references, as opening does it.
void BM_FindLinks(benchmark::State& state)
{
    if (!przygotowana(state))
        return;
    TZbiorKomunikatow komunikaty;
    TBiblioteka dane(&komunikaty);
    dane.Dodaj(biblioteka().program / "Morvitane.sko", biblioteka().program / "Lumesta" / "");
    TListaNapisow tekst, przypisy, tytuly;
    TPlik plik;
    dane.OtworzDokument(TytulKodeksu(0), tekst, przypisy, plik, true, tytuly);
    TBibliotekaDanych bib(dane, false);
    std::size_t ile = 0;
    for (auto _ : state) {
        // As the reader does it: existence from the article numbers read in
        // the same pass, the paragraphs looked up when a link is followed.
        TZrodloOdnosnikow zrodlo;
        zrodlo.Kodeks = 0;
        zrodlo.Akapity = false;
        zrodlo.ArtykulyZTekstu = true;
        ile = OdnosnikiTresci(plik, zrodlo, bib).size();
        benchmark::DoNotOptimize(ile);
    }
    state.counters["links"] = double(ile);
}

// The whole road: click on the 5 MB code's row, decode, build, lay out and
// paint its first screen; with the links of the text found and drawn (as the
// reader opens codes) and without (the baseline of the link recognition's
// cost, target at most 1.3 times it).
void openCode(benchmark::State& state, bool odnosniki)
{
    if (!przygotowana(state))
        return;
    TZbiorKomunikatow komunikaty;
    for (auto _ : state) {
        state.PauseTiming();
        auto okno = noweOkno(komunikaty);
        okno->rozpoznawanieOdnosnikow = odnosniki;
        state.ResumeTiming();
        kliknijIPomaluj(*okno, 0);
        state.PauseTiming();
        if (okno->LiczbaZakladek() != 1)
            state.SkipWithError("the code did not open");
        state.counters["jumps"] = double(okno->BiezacyWidok()->Jumps().size());
        okno.reset();
        state.ResumeTiming();
    }
}

void BM_OpenCode_ClickToFirstPaint(benchmark::State& state)
{
    openCode(state, true);
}

void BM_OpenCode_ClickToFirstPaint_WithoutLinks(benchmark::State& state)
{
    openCode(state, false);
}

// A click on a code that is open already while another tab is current: the
// tab is switched, the contents list refilled, the view painted.
void BM_OpenCode_AlreadyOpen(benchmark::State& state)
{
    if (!przygotowana(state))
        return;
    TZbiorKomunikatow komunikaty;
    auto okno = noweOkno(komunikaty);
    kliknijIPomaluj(*okno, 0);
    kliknijIPomaluj(*okno, 1);
    int wiersz = 0;
    for (auto _ : state) {
        kliknijIPomaluj(*okno, wiersz);
        wiersz = 1 - wiersz;
    }
    if (okno->LiczbaZakladek() != 2)
        state.SkipWithError("a click on an open code added a tab");
    state.counters["contents_entries"] = double(okno->spisyZakladek.at(0).Spis.size());
}

BENCHMARK(BM_Baseline_ReadContainer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildItems_WithoutLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildItems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Layout_WithoutLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintFirstScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCode_ClickToFirstPaint_WithoutLinks)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenCode_ClickToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenCode_AlreadyOpen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
