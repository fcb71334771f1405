#pragma once
// Sample consolidated texts as PDF, laid out the way the two official
// publishers lay them out, for the importer's tests and benchmarks.
//
// The content is written in the packer's source format (docs/source-format.md):
// heading lines, units, "^1" superscripts, "[^n]" marks and "[^n]:" footnotes.
// The sample lays it out like an official PDF: running headers and page
// numbers, centred bold headings, justified units with their indents,
// superscript unit numbers and footnote references in small raised type,
// footnotes in small type at the foot of the page, words hyphenated at line
// ends. What an import of the PDF should give back is the content itself.
//
// Needs a QGuiApplication (fonts).
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

namespace importer {

enum class SampleForm {
    Journal,  // Dziennik Ustaw: announcement, annex, "Dziennik Ustaw – 5 – Poz. 1061"
    Sejm,     // the Sejm's unified text: "©Kancelaria Sejmu s. 1/9" and the date on every page
};

struct SampleOptions {
    SampleForm form = SampleForm::Journal;
    int year = 2024;          // of the Journal issue (or of the text it is based on)
    int position = 1061;      // "Poz. 1061"
    // The act's own first publication, shown near the title of the Sejm's
    // form: "Dz. U. 1964 Nr 16 poz. 93".
    int originalYear = 1964;
    int originalNumber = 16;
    int originalPosition = 93;
    double bodySize = 10.5;   // points
    double footnoteSize = 8;
    bool hyphenate = true;    // break long words at line ends with "-"
};

struct Sample {
    QByteArray pdf;
    int pages = 0;
};

// Lays `content` (UTF-8, source format, first line the act's name, as in a
// source file) out as a PDF. The act's own title block (USTAWA, the date and
// the title) is part of the content.
Sample makeSamplePdf(const std::string& content, const SampleOptions& options);

// An invented code of about `articles` articles in the source format, with
// the structure real codes have (books, titles, chapters, articles with
// paragraphs, points and letters, inserted units with superscripts, repealed
// units, footnotes citing the Journal of Laws), made of real Polish words
// so that line-end hyphenation can be checked against a dictionary. The same
// seed gives the same text.
std::string makeSampleCode(int articles, std::uint32_t seed, const std::string& title = "Kodeks cywilny");

} // namespace importer
