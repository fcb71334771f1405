#pragma once
// Synthetic source texts of any size, for benchmarks and stress tests. The
// same seed always gives the same text. The words are invented (syllables
// of Polish shape, with the Polish letters), the structure is a code's:
// books, titles, divisions, chapters and sections, articles with
// paragraphs and points, footnote marks in headings, in the text and at line
// ends, references to articles and acts in the text, and footnotes citing
// the Journal of Laws in official wording.
#include "packer/Diagnostics.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace packer {

struct GeneratorOptions {
    std::uint64_t seed = 1;
    std::size_t targetBytes = 1'000'000;  // size of the UTF-8 text, roughly
    int code = 0;                         // title: code index 0..14
    int footnotePercent = 6;              // share of lines that carry a footnote mark
    // A code must keep its headings and marks within the first 65536 lines
    // of its record; the generator stops a little before that.
    std::size_t maxLines = 64000;
};

// One code's source text (UTF-8, the source format).
std::string generateCode(const GeneratorOptions& options);

// A Journal of Laws act "Dz.U.<year>.<numer>.<pozycja>" of a few articles.
std::string generateAct(std::uint64_t seed, int year, int numer, int pozycja);

struct GeneratedFile {
    std::string name;  // file name, e.g. "kodeks-00.txt"
    std::string text;  // UTF-8 source
};

// A whole library of about `totalBytes`: `codes` codes (at most 15) sharing
// the size, plus `acts` Journal of Laws acts that some footnotes cite.
std::vector<GeneratedFile> generateLibrary(std::size_t totalBytes, std::uint64_t seed, int codes = 4, int acts = 8);

// Writes generateLibrary's files into `folder` (created if missing).
bool writeGeneratedLibrary(const std::filesystem::path& folder, const std::vector<GeneratedFile>& files,
                           Problems& problems);

} // namespace packer
