#pragma once
// The user's own library: the acts the user imported, kept as source texts
// beside the data the packer makes of them.
//
//   <folder>/zrodla/*.txt     the imported source texts, one act per file
//   <folder>/Morvitane.sko    the library's dictionary  } packed from all of
//   <folder>/Lumesta/         its containers             } zrodla/ together
//
// Adding an act packs every source again with the new one (replacing the
// act of the same name), in two steps: the packing, which takes time and may
// run on any thread, and the writing, which swaps the new data into place at
// once and leaves everything as it was when it fails.
#include "packer/Diagnostics.h"
#include "packer/Packer.h"

#include <filesystem>
#include <string>

namespace importer {

struct UserLibrary {
    std::filesystem::path folder;

    std::filesystem::path sources() const { return folder / "zrodla"; }
    std::filesystem::path dictionary() const { return folder / packer::kDictionaryFile; }
    std::filesystem::path data() const { return folder / packer::kDataFolder; }
};

struct PreparedAddition {
    packer::PackedLibrary packed;
    packer::PackStats stats;
    std::string fileName;  // of the new source in zrodla/
    std::string source;    // its text (UTF-8)
    std::string name;      // the act's name (UTF-8)
    // Sources of the library this one replaces (the same act under another
    // file name); removed when the addition is written.
    std::vector<std::filesystem::path> replaced;
    // Sources already in the library that could not be packed and were
    // left out, and the packer's warnings.
    packer::Problems warnings;
};

// The file name a source of that act gets: "kodeks-cywilny.txt",
// "Dz.U.2024.0.1061.txt".
std::string sourceFileName(const std::string& actName);

bool prepareAddition(const UserLibrary& library, const std::string& source, PreparedAddition& out,
                     std::string& error);
bool commitAddition(const UserLibrary& library, const PreparedAddition& prepared, std::string& error);

} // namespace importer
