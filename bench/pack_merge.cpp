// Packing one very long line, with and without merging of words.
//
// BM_Punctuated is the baseline: the same N words in lines of 10,000 with a
// comma after every 200, so every stretch fits a byte and nothing is
// merged. BM_Merged is N words on one line with a comma after every 1,000,
// so every stretch is merged into longer dictionary entries first. Both report ns_per_word; in a linear
// packer it stays flat as N grows fourfold and sixteenfold, and the ratio
// Merged / Punctuated stays about the same at every size. (Merging by
// erasing from the middle of the line made it grow with N: 0.6 s for
// 15,000 words and 9 s for 60,000.)
#include "packer/Packer.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string source(std::size_t words, std::size_t every, std::size_t perLine)
{
    static const char* pool[] = {"alfa", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"};
    std::string s = "Kodeks pracy\n\nArt. 1.";
    std::uint32_t x = 7;
    for (std::size_t i = 0; i < words; ++i) {
        x = x * 1103515245u + 12345u;
        s += ' ';
        s += pool[(x >> 16) % 8];
        if ((i + 1) % every == 0 && i + 1 < words)
            s += ',';
        if ((i + 1) % perLine == 0 && i + 1 < words)
            s += ".\nArt. 2.";
    }
    return s + ".\n";
}

void pack(benchmark::State& state, std::size_t every, std::size_t perLine)
{
    const auto words = static_cast<std::size_t>(state.range(0));
    const std::string text = source(words, every, perLine);
    for (auto _ : state) {
        packer::LibraryPacker p;
        packer::Problems problems;
        if (!p.add(text, "kp.txt", problems))
            state.SkipWithError(problems.empty() ? "add failed" : problems[0].toString().c_str());
    }
    state.counters["ns_per_word"] =
        benchmark::Counter(static_cast<double>(words) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
}

void BM_Punctuated(benchmark::State& state) { pack(state, 200, 10000); }
void BM_Merged(benchmark::State& state) { pack(state, 1000, 1000000); }

} // namespace

BENCHMARK(BM_Punctuated)->Arg(15000)->Arg(60000)->Arg(240000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merged)->Arg(15000)->Arg(60000)->Arg(240000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
