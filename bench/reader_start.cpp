// Start-up of the reader, from creating the main window to its first painted
// screen: with an empty session (the baseline, measured in the same run) and
// with a session of five open codes of about 1 MB of text each, which the
// window reopens: the current tab is built and laid out at its place, the
// other four wait until they are first shown. Report the restore as a
// multiple of the empty start; the goal is an absolute time under 150 ms. A
// third case builds all five tabs at once, to show what the wait saves.
#include "packer/Generator.h"
#include "packer/Packer.h"
#include "reader/Okienko.h"
#include "settings/Ustawienia.h"
#include "view/DocView.h"
#include "widgets/PageExtControl.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <iostream>
#include <memory>

namespace {

namespace fs = std::filesystem;

constexpr int LiczbaKodeksow = 5;

struct Biblioteka {
    std::unique_ptr<QTemporaryDir> katalog;
    fs::path program;
    QString pustePlik;
    QString sesjaPlik;
    bool gotowa = false;
};

Biblioteka& biblioteka()
{
    static Biblioteka b = [] {
        Biblioteka w;
        w.katalog = std::make_unique<QTemporaryDir>();
        w.program = fs::path(w.katalog->path().toStdString()) / "bin";
        packer::LibraryPacker pakowacz;
        packer::Problems problemy;
        TUstawienia sesja;
        for (int k = 0; k < LiczbaKodeksow; ++k) {
            packer::GeneratorOptions o;
            o.seed = 31 + std::uint64_t(k);
            o.targetBytes = 1'000'000;
            o.code = k;
            if (!pakowacz.add(packer::generateCode(o), "kodeks-0" + std::to_string(k) + ".txt", problemy)) {
                for (const auto& p : problemy)
                    std::cerr << p.toString() << "\n";
                return w;
            }
            // Each tab was left somewhere in its middle.
            sesja.Zakladki.push_back(TZakladkaSesji{TytulKodeksu(k), 5000, 1});
        }
        sesja.BiezacaZakladka = 2;
        packer::PackedLibrary dane;
        if (!pakowacz.finish(dane, problemy) || !packer::writeLibrary(dane, w.program, problemy)) {
            for (const auto& p : problemy)
                std::cerr << p.toString() << "\n";
            return w;
        }
        w.pustePlik = w.katalog->filePath(QStringLiteral("pusta.conf"));
        w.sesjaPlik = w.katalog->filePath(QStringLiteral("sesja.conf"));
        w.gotowa = ZapiszUstawienia(w.pustePlik, TUstawienia{}) && ZapiszUstawienia(w.sesjaPlik, sesja);
        return w;
    }();
    return b;
}

// Creates the window over the library with the given settings, shows it and
// paints it whole; returns it for the caller to inspect and free.
std::unique_ptr<TfLumesta> uruchom(const QString& ustawienia, TZbiorKomunikatow& komunikaty)
{
    auto okno = std::make_unique<TfLumesta>(QString::fromStdString(biblioteka().program.string()), &komunikaty);
    okno->resize(1040, 620);
    okno->UzyjUstawien(ustawienia);
    okno->show();
    QCoreApplication::processEvents();
    okno->repaint();
    return okno;
}

void start(benchmark::State& state, const QString& ustawienia, int oczekiwaneZakladki, bool wszystkie = false)
{
    if (!biblioteka().gotowa) {
        state.SkipWithError("the synthetic library could not be packed");
        return;
    }
    TZbiorKomunikatow komunikaty;
    int zbudowane = 0;
    for (auto _ : state) {
        auto okno = uruchom(ustawienia, komunikaty);
        if (wszystkie) {
            // What a restore that built every tab up front would cost.
            for (int i = 0; i < okno->LiczbaZakladek(); ++i) {
                okno->pecTablica->SetTabIndex(i);
                okno->pcTablicaChange();
                QCoreApplication::processEvents();
            }
        }
        state.PauseTiming();
        if (okno->LiczbaZakladek() != oczekiwaneZakladki || !komunikaty.Lista.empty())
            state.SkipWithError("the session did not come back as written");
        zbudowane = 0;
        for (int i = 0; i < okno->LiczbaZakladek(); ++i)
            zbudowane += okno->Odlozona(i) ? 0 : 1;
        // Freed without closing: the prepared settings are not written over.
        okno.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["tabs"] = double(oczekiwaneZakladki);
    state.counters["built_at_start"] = double(zbudowane);
}

void BM_Baseline_EmptyStart(benchmark::State& state) { start(state, biblioteka().pustePlik, 0); }

void BM_StartRestoringFiveTabs(benchmark::State& state) { start(state, biblioteka().sesjaPlik, LiczbaKodeksow); }

// For comparison: the same start with every restored tab built at once.
void BM_StartBuildingAllFiveTabs(benchmark::State& state)
{
    start(state, biblioteka().sesjaPlik, LiczbaKodeksow, true);
}

BENCHMARK(BM_Baseline_EmptyStart)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartRestoringFiveTabs)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartBuildingAllFiveTabs)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    biblioteka();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
