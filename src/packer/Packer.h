#pragma once
// Packing a folder of source texts into the reader's data files, and
// checking packed data against its sources.
//
// Output layout (what the reader looks for beside its program):
//   <out>/Morvitane.sko                        the dictionary of all documents
//   <out>/Lumesta/Lumesta.rdu                  the codes
//   <out>/Lumesta/<year>.rdu                   Journal of Laws acts of that year
//   <out>/Lumesta/Dzienniki Ustaw/Dz.U.<year>.<number>.<position>.txt
//                                              empty: marks a packed act present
#include "packer/Diagnostics.h"
#include "packer/Source.h"
#include "store/Podmiana.h"
#include "store/Zapis.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace packer {

inline constexpr const char* kDictionaryFile = podmiana::kPlikSlownika;
inline constexpr const char* kDataFolder = podmiana::kFolderDanych;
inline constexpr const char* kPresenceFolder = "Dzienniki Ustaw";

// The data files as bytes, before they are written.
struct PackedLibrary {
    std::string dictionary;                       // Morvitane.sko
    std::map<std::string, std::string> containers; // "Lumesta" or a year -> .rdu bytes
    std::vector<std::string> presence;            // "Dz.U.1998.106.668" per packed act
};

struct PackStats {
    std::size_t documents = 0;
    std::size_t codes = 0;
    std::size_t acts = 0;
    std::size_t sourceBytes = 0;
    std::size_t words = 0;       // dictionary entries
    std::size_t tokens = 0;      // word indices in all records
    std::size_t outputBytes = 0;
};

// Collects documents one at a time (so that only their packed form stays in
// memory) and builds the data files at the end.
class LibraryPacker {
public:
    // Reads, checks and encodes one source text. Returns false, with the
    // reasons in `problems`, when it cannot be packed.
    bool add(std::string_view utf8, const std::string& fileName, Problems& problems);
    // Orders the dictionary by frequency, gives each record its narrowest
    // index width and builds the dictionary and container bytes. Returns
    // false (with problems) when nothing was added or a limit is exceeded.
    bool finish(PackedLibrary& out, Problems& problems);

    const PackStats& stats() const { return FStats; }
    // What the documents added so far pack with but probably not as meant.
    const Problems& warnings() const { return FWarnings; }

private:
    struct Entry {
        std::string file;
        std::string name;
        std::string rok;
        std::uint16_t numer = 0;
        std::uint16_t pozycja = 0;
        TRekordDoZapisu record;
    };
    TBudowaSlownika FDictionary;
    std::vector<Entry> FEntries;
    PackStats FStats;
    Problems FWarnings;
};

// Writes the files under `output` (created if missing). Everything is first
// written to a folder of its own inside `output`, synced, and switched in
// as a whole (see store/Podmiana.h): a failure or a crash at any point
// leaves either the previous Morvitane.sko and Lumesta/ or the new ones.
// The whole Lumesta/ folder is replaced. `step` is a test hook.
// `beside`, when given, is called with the new dictionary's path once the
// files are written and before the switch, to add files that belong with
// that dictionary (they switch in with it); its failure is only a warning.
using BesideDictionary = std::function<bool(const std::filesystem::path& dictionary, std::string* why)>;
bool writeLibrary(const PackedLibrary& library, const std::filesystem::path& output, Problems& problems,
                  const podmiana::TKrok& step = {}, const BesideDictionary& beside = {},
                  Problems* warnings = nullptr);

// The `pack` command: every *.txt of `sources` into `output`. Warnings (see
// SourceDocument::warnings) are appended to `warnings` when given.
bool packFolder(const std::filesystem::path& sources, const std::filesystem::path& output, Problems& problems,
                PackStats* stats = nullptr, Problems* warnings = nullptr, const BesideDictionary& beside = {});

struct VerifyStats {
    std::size_t documents = 0;
    std::size_t lines = 0;          // main-text lines compared
    std::size_t footnoteLines = 0;  // footnote lines compared
};

// The `verify` command: decodes every document of the sources from the data
// under `output` with the reader's own store and reports each line that does
// not read back as the source says (file and line), missing or surplus
// entries and presence files. True when there is no difference.
bool verifyFolder(const std::filesystem::path& sources, const std::filesystem::path& output, Problems& problems,
                  VerifyStats* stats = nullptr);

} // namespace packer
