// Reading rich text: ordinary text against the shapes that used to make
// the reader quadratic, all of about the same size in bytes.
//
// BM_Ordinary is the baseline: paragraphs of bold and plain words, no link.
// BM_LongLink: one link with a 100 KB target whose text changes its
// formatting on every character (each run once carried its own copy of the
// target, and each character compared it). BM_ManyFonts: a font table of
// one font per 40 bytes (each font was looked up among all before it).
// BM_Addresses: plain web addresses back to back. Each reports ns_per_byte;
// the ratio to the baseline should stay the same at every size.
#include "reader/Rtf.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string ordinary(std::size_t bytes)
{
    std::string s = "{\\rtf1 ";
    while (s.size() < bytes)
        s += "{\\b pogrubione} zwykłe s\\'b3owo, dalej tekst\\par ";
    return s + "}";
}

std::string longLink(std::size_t bytes)
{
    std::string s = "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x.pl/" + std::string(100'000, 'a') +
                    "\"}{\\fldrslt ";
    for (std::size_t i = 0; s.size() < bytes; ++i)
        s += i % 2 ? "\\b0 z" : "\\b z";
    return s + "}}\\par}";
}

std::string manyFonts(std::size_t bytes)
{
    std::string s = "{\\rtf1{\\fonttbl";
    for (std::size_t i = 0; s.size() < bytes; ++i)
        s += "{\\f" + std::to_string(i) + " Czcionka " + std::to_string(i) + ";}";
    return s + "}tekst\\par}";
}

std::string addresses(std::size_t bytes)
{
    std::string s = "{\\rtf1 ";
    while (s.size() < bytes)
        s += "www.a.pl ";
    return s + "\\par}";
}

template <std::string (*Make)(std::size_t)>
void read(benchmark::State& state)
{
    const std::string input = Make(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        rtf::TDokument d = rtf::Czytaj(input);
        benchmark::DoNotOptimize(d.Akapity.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
    state.counters["ns_per_byte"] =
        benchmark::Counter(static_cast<double>(input.size()) * 1e-9,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(read<ordinary>)->Name("BM_Ordinary")->Arg(500'000)->Arg(2'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(read<longLink>)->Name("BM_LongLink")->Arg(500'000)->Arg(2'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(read<manyFonts>)->Name("BM_ManyFonts")->Arg(500'000)->Arg(2'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(read<addresses>)->Name("BM_Addresses")->Arg(500'000)->Arg(2'000'000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
