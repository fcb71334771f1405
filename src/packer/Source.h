#pragma once
// Source texts of the library: one act per UTF-8 file, read into the form
// the encoder packs (Windows-1250 lines, footnote marks in place; Journal of
// Laws citations in footnotes are checked, and kept as written). The format
// itself is described in docs/source-format.md.
#include "packer/Diagnostics.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace packer {

// Stands for a footnote mark inside a line. Source text can never hold this
// byte itself, since control characters are rejected.
inline constexpr char kMark = '\x01';

struct SourceLine {
    // Windows-1250, with the spacing the packed form reproduces (see
    // canonical spacing around marks in the format description); footnote
    // marks are kMark bytes. A heading line starts with its heading word.
    std::string text;
    std::uint8_t heading = 0; // heading code of the line, 0 for none
    int sourceLine = 0;       // line number in the source file
    // Source column of each byte of text; empty when byte i is column i + 1
    // all along (most lines), which saves four bytes per character.
    std::vector<int> columns;
};

struct SourceFootnote {
    int number = 0;                 // as written, 1, 2, ...
    int sourceLine = 0;             // line of its "[^n]:"
    std::vector<SourceLine> lines;
};

enum class DocumentKind { Code, Journal };

struct SourceDocument {
    std::string file;  // as given, for messages
    std::string name;  // Windows-1250: the code's title or "Dz.U.Y.N.P"
    DocumentKind kind = DocumentKind::Code;
    std::string rok;   // container name: "Lumesta" or the year
    std::uint16_t numer = 0;
    std::uint16_t pozycja = 0;
    std::vector<SourceLine> body;
    std::vector<SourceFootnote> footnotes;
    int markCount = 0;
    // Things that pack but probably not as the author meant (a citation the
    // reader will not link, for one); they do not stop the packing.
    Problems warnings;
};

// One Journal of Laws citation found in a footnote.
struct Citation {
    int year = 0;
    int numer = 0;
    int pozycja = 0;
};

// Reads the text of one source file (UTF-8 bytes). Problems are appended to
// `problems`; the result is true when the file had none.
bool parseSource(std::string_view utf8, const std::string& fileName, SourceDocument& out,
                 Problems& problems);
bool readSourceFile(const std::filesystem::path& path, SourceDocument& out, Problems& problems);

// The source files of a folder: every "*.txt" directly in it, sorted by name.
std::vector<std::filesystem::path> listSourceFiles(const std::filesystem::path& folder);

// Checks the Journal of Laws citations of one footnote line (Windows-1250,
// `columns` parallel to it): each must be one the reader links to its act.
// Citations found are appended to `found`; one the reader would not link is
// reported. The line is kept as written.
void checkCitations(const std::string& line, const std::vector<int>& columns, std::vector<Citation>& found,
                    const std::string& file, int lineNo, Problems& problems);

// Warnings about one footnote line (Windows-1250) as it will be packed:
// text that looks like a Journal of Laws citation but that the reader's
// scanner will not turn into a link, and links to an issue that cannot
// exist (a year before 2012 without an issue number). `columns` gives the
// source column of each byte; empty means byte i is column i + 1.
void checkFootnoteCitations(const std::string& line, const std::vector<int>& columns, const std::string& file,
                            int lineNo, Problems& warnings);

// The name of a Journal of Laws act, "Dz.U.1998.106.668".
std::string journalName(int year, int numer, int pozycja);
// Names of the presence files of a packed act: its name, with its real
// issue number ("Dz.U.2016.0.1250"), which is what the reader looks for.
std::vector<std::string> presenceNames(int year, int numer, int pozycja);

// A line as it reads back from the packed data: marks written "[^n]",
// numbered on from `firstMark`.
std::string displayLine(const std::string& text, int& nextMark);

} // namespace packer
