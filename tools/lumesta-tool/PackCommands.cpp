#include "PackCommands.h"

#include "packer/Generator.h"
#include "packer/Packer.h"
#include "search/Rdzenie.h"

#include <charconv>
#include <cstdio>

namespace {

void printProblems(const packer::Problems& problems)
{
    for (const packer::Problem& p : problems)
        std::fprintf(stderr, "%s\n", p.toString().c_str());
}

bool parseCount(const std::string& text, std::uint64_t& value)
{
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end;
}

} // namespace

int PackCommand(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: lumesta-tool pack SOURCE_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    packer::Problems problems, warnings;
    packer::PackStats stats;
    // The library search groups the dictionary's words by their stems; doing
    // it here spares the reader that work (seconds for a large dictionary).
    // The grouping is written beside the new dictionary and switches in with
    // it; without it the reader groups the words when it first searches.
    const auto stems = [](const std::filesystem::path& dictionary, std::string* why) {
        std::string reason;
        if (szukanie::ZapiszRdzenieSlownika(dictionary, &reason))
            return true;
        *why = "the words are not grouped by their stems (" + reason +
               "); the reader will group them when it first searches";
        return false;
    };
    const bool packed = packer::packFolder(args[0], args[1], problems, &stats, &warnings, stems);
    for (packer::Problem w : warnings) {
        w.message = "warning: " + w.message;
        std::fprintf(stderr, "%s\n", w.toString().c_str());
    }
    if (!packed) {
        printProblems(problems);
        std::fprintf(stderr, "pack: nothing written (%zu problem%s); the previous data is unchanged\n",
                     problems.size(), problems.size() == 1 ? "" : "s");
        return 1;
    }
    std::printf("packed %zu documents (%zu codes, %zu Journal of Laws acts): %zu bytes of source, "
                "%zu dictionary words, %zu word tokens, %zu bytes of data\n",
                stats.documents, stats.codes, stats.acts, stats.sourceBytes, stats.words, stats.tokens,
                stats.outputBytes);
    return 0;
}

int StemsCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: lumesta-tool stems DICTIONARY\n");
        return 2;
    }
    std::string blad;
    std::size_t slow = 0;
    if (!szukanie::ZapiszRdzenieSlownika(args[0], &blad, &slow)) {
        std::fprintf(stderr, "stems: %s\n", blad.c_str());
        return 1;
    }
    std::printf("grouped %zu words by their stems into %s\n", slow,
                szukanie::PlikRdzeni(args[0]).string().c_str());
    return 0;
}

int VerifyCommand(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: lumesta-tool verify SOURCE_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    packer::Problems problems;
    packer::VerifyStats stats;
    const bool ok = packer::verifyFolder(args[0], args[1], problems, &stats);
    printProblems(problems);
    std::printf("verified %zu documents, %zu lines, %zu footnote lines: %zu difference%s\n", stats.documents,
                stats.lines, stats.footnoteLines, problems.size(), problems.size() == 1 ? "" : "s");
    return ok ? 0 : 1;
}

int GenerateCommand(const std::vector<std::string>& args)
{
    auto usage = [] {
        std::fprintf(stderr,
                     "usage: lumesta-tool generate OUTPUT_FOLDER [--bytes N] [--seed S] [--codes K] [--acts A]\n");
        return 2;
    };
    if (args.empty())
        return usage();
    std::uint64_t bytes = 5'000'000, seed = 1, codes = 1, acts = 4;
    for (std::size_t i = 1; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return usage();
        std::uint64_t* target = args[i] == "--bytes" ? &bytes
                                : args[i] == "--seed"  ? &seed
                                : args[i] == "--codes" ? &codes
                                : args[i] == "--acts"  ? &acts
                                                       : nullptr;
        if (!target || !parseCount(args[i + 1], *target))
            return usage();
    }
    if (codes < 1 || codes > 15 || acts > 64)
        return usage();
    const auto files = packer::generateLibrary(bytes, seed, static_cast<int>(codes), static_cast<int>(acts));
    packer::Problems problems;
    if (!packer::writeGeneratedLibrary(args[0], files, problems)) {
        printProblems(problems);
        return 1;
    }
    std::size_t total = 0;
    for (const auto& f : files)
        total += f.text.size();
    std::printf("wrote %zu source texts, %zu bytes, into %s\n", files.size(), total, args[0].c_str());
    return 0;
}
