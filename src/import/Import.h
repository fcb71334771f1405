#pragma once
// Importing an official consolidated text into one source text of the
// packer's format (docs/source-format.md).
//
// The input is the PDF itself or its plain-text export (what pdftotext
// gives, with or without -layout); which one is told by content, not by the
// file name. Both official forms are understood: the Journal of Laws' own
// (the Marshal's announcement, then the act as its annex) and the Sejm's
// unified text. The importer drops page furniture and the announcement,
// joins the lines the PDF wrapped into one paragraph per unit, undoes
// line-end hyphenation, keeps headings and their titles on lines of their
// own, restores superscript unit numbers and turns the footnotes at the page
// feet into the format's footnotes.
//
// Every guess that could be wrong is a warning with the input's page and
// line; text that cannot be placed is kept as a plain paragraph and warned
// about. Input that is not a consolidated text (a damaged or encrypted PDF,
// an empty file, text in another encoding, a PDF without articles) fails
// with one clear message and gives no source text.
#include "import/Model.h"

#include <QByteArray>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace importer {

struct Options {
    // The act's name (UTF-8): a code title or Dz.U.<year>.<number>.<position>.
    // Empty: taken from the document's own title and Journal reference.
    std::string name;
    // Called now and then with the pages read so far and their total; may
    // be empty. Runs on the importing thread.
    std::function<void(int done, int total)> progress;
    // Asked now and then; true stops the import, which then fails with
    // "the import was stopped". May be empty.
    std::function<bool()> stopped;
};

struct Summary {
    std::string form;     // "Journal of Laws consolidated text", ...
    std::string input;    // "PDF", "text export (pdftotext -layout)", ...
    int pages = 0;
    int articles = 0;
    int otherUnits = 0;   // paragraphs, points, letters, indents
    int headings = 0;
    int footnotes = 0;
    int furnitureLines = 0;   // running headers, page numbers, ...
    int frontMatterLines = 0; // the announcement before the act
};

struct Result {
    bool ok = false;
    std::string error;   // when !ok: what is wrong, one sentence (UTF-8)
    std::string name;    // UTF-8
    std::string source;  // UTF-8, the source format, ready for pack
    std::vector<Warning> warnings;
    Summary summary;

    // "Kodeks cywilny: 236 pages, 1093 articles, ... 12 warnings"
    std::string summaryText() const;
};

Result importBytes(const QByteArray& input, const Options& options = {});
Result importFile(const std::filesystem::path& input, const Options& options = {});

// What an input is, told by its first bytes.
enum class InputKind { Pdf, Text, Empty, Binary };
InputKind detectInput(const QByteArray& input);

} // namespace importer
