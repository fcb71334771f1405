// Packing 20 MB of generated source text (four codes and a few acts).
//
// BM_ReadAndSplit is the baseline: decoding the UTF-8 sources to
// Windows-1250 and splitting them into space-separated words, the least any
// packer must do. BM_PackInMemory is the whole packer up to the data files'
// bytes; BM_PackFolder adds reading the sources from disk and writing the
// output folder, as `lumesta-tool pack` does.
//
// Counters: source_MB, peak_MB (resident memory the packing added at its
// peak, from the kernel's high-water mark reset before each run) and
// mem_ratio (peak_MB / source_MB).
#include "packer/Generator.h"
#include "packer/Packer.h"
#include "platform/core/Cp1250.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kSourceBytes = 20'000'000;

const std::vector<packer::GeneratedFile>& sources()
{
    static const std::vector<packer::GeneratedFile> files = packer::generateLibrary(kSourceBytes, 7, 4, 8);
    return files;
}

std::size_t totalBytes()
{
    std::size_t n = 0;
    for (const auto& f : sources())
        n += f.text.size();
    return n;
}

// Resident set size and its high-water mark, in kB, from /proc/self/status.
long statusKb(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return 0;
}

void resetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

struct PeakMeter {
    long startKb = 0;
    long maxExtraKb = 0;
    void start()
    {
        resetPeak();
        startKb = statusKb("VmRSS");
    }
    void stop() { maxExtraKb = std::max(maxExtraKb, statusKb("VmHWM") - startKb); }
    void report(benchmark::State& state) const
    {
        const double sourceMb = static_cast<double>(totalBytes()) / 1e6;
        const double peakMb = static_cast<double>(maxExtraKb) * 1024 / 1e6;
        state.counters["source_MB"] = sourceMb;
        state.counters["peak_MB"] = peakMb;
        state.counters["mem_ratio"] = peakMb / sourceMb;
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * totalBytes()));
    }
};

void BM_ReadAndSplit(benchmark::State& state)
{
    sources();
    PeakMeter meter;
    for (auto _ : state) {
        meter.start();
        std::size_t words = 0;
        for (const auto& f : sources()) {
            const std::string cp = cp1250::fromUtf8(f.text);
            std::size_t i = 0;
            while (i < cp.size()) {
                const std::size_t j = cp.find_first_of(" \n", i);
                const std::size_t end = j == std::string::npos ? cp.size() : j;
                words += end > i;
                i = end + 1;
            }
        }
        benchmark::DoNotOptimize(words);
        meter.stop();
    }
    meter.report(state);
}

void BM_PackInMemory(benchmark::State& state)
{
    sources();
    PeakMeter meter;
    for (auto _ : state) {
        meter.start();
        packer::LibraryPacker p;
        packer::Problems problems;
        for (const auto& f : sources())
            if (!p.add(f.text, f.name, problems))
                state.SkipWithError(problems.empty() ? "add failed" : problems[0].toString().c_str());
        packer::PackedLibrary out;
        if (!p.finish(out, problems))
            state.SkipWithError("finish failed");
        benchmark::DoNotOptimize(out.dictionary.data());
        meter.stop();
    }
    meter.report(state);
}

void BM_PackFolder(benchmark::State& state)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("lumesta-bench-pack-" + std::to_string(::getpid()));
    packer::Problems problems;
    packer::writeGeneratedLibrary(root / "src", sources(), problems);
    PeakMeter meter;
    for (auto _ : state) {
        meter.start();
        if (!packer::packFolder(root / "src", root / "out", problems))
            state.SkipWithError("pack failed");
        meter.stop();
    }
    meter.report(state);
    std::error_code ec;
    fs::remove_all(root, ec);
}

} // namespace

BENCHMARK(BM_ReadAndSplit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PackInMemory)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PackFolder)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
