#pragma once
// The importer's stages, in the order they run (Import.cpp runs them):
//
//   1. read the input into pages of lines            (CzytnikPdf, CzytnikTekstu)
//   2. find the official form and the act's name     (Nazwa)
//   3. drop page furniture and the front matter      (Ozdobniki)
//   4. take the footnotes out of the page feet        (Przypisy)
//   5. join lines into units, headings and titles     (Struktura, Numery, Dzielenie)
//   6. write the source text and check it packs       (Zrodlo)
#include "import/Model.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace importer {

class Hyphenation;

// --- 2. form and name -------------------------------------------------------

struct NameFound {
    QString name;     // "Kodeks cywilny" or "Dz.U.2024.0.1061"; empty when not found
    QString title;    // the act's title as printed, for messages
};

Form detectForm(const Document& doc);
// Reads the name from the untouched pages: the act's title (a code title
// gives the code's name) or the form's Journal of Laws reference.
NameFound findName(const Document& doc, Form form);

// --- 3. furniture and front matter ------------------------------------------

struct CutStats {
    int furniture = 0;   // running headers, page numbers, dates, notes
    int margin = 0;      // lines in the page margins
    int frontMatter = 0; // the announcement and what stands before the title
};

void dropFurniture(Document& doc, Form form, CutStats& stats, Warnings& warnings);
// Removes everything before the act's title. False when the input holds no
// act at all (no title and no article).
bool cutFrontMatter(Document& doc, Form form, CutStats& stats, Warnings& warnings);

// --- 4. footnotes -----------------------------------------------------------

struct Footnote {
    QString text;
    int page = 0, line = 0;
};

// Takes the footnotes out of the pages. In the body, each reference stands
// as a superscript "n)" afterwards (text input gets them from the glued
// "n)" after a word).
std::map<int, Footnote> extractFootnotes(Document& doc, Warnings& warnings);

// --- 5. structure -----------------------------------------------------------

struct Paragraph {
    enum Kind { Heading, Title, Article, Unit, Plain } kind = Plain;
    QString text;  // superscripts bracketed, references as superscript "n)"
    int page = 0, line = 0;
};

struct StructureStats {
    int articles = 0;
    int units = 0;
    int headings = 0;
    int superscriptsRestored = 0;
    int hyphensJoined = 0;
};

std::vector<Paragraph> buildStructure(const Document& doc, Hyphenation& hyphenation, StructureStats& stats,
                                      Warnings& warnings);

// In text input the superscript of an inserted unit reads as part of the
// number ("art. 3851"). Where the act has the unit 385^1 and no unit 3851,
// the citation is one of it.
void restoreCitedSuperscripts(std::vector<Paragraph>& paragraphs, StructureStats& stats);

// --- 6. output --------------------------------------------------------------

struct Output {
    std::string source;   // UTF-8
    int footnotes = 0;
};

// Writes the source text; false (with `error`) only when it cannot be made
// to pack, which would be a fault of the importer.
bool writeSource(const QString& name, const std::vector<Paragraph>& paragraphs,
                 const std::map<int, Footnote>& footnotes, Output& out, QString& error, Warnings& warnings);

} // namespace importer
