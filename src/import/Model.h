#pragma once
// The importer's picture of its input: pages of printed lines, as read from
// a PDF (with their geometry) or from the PDF's text export, and the
// warnings it collects on the way.
//
// Inside a line's text, superscripts are kept between kSupOpen and kSupClose
// (a unit number's "1" in "Art. 44¹", a footnote reference "3)"), and a wide
// horizontal gap (the columns of a running header) is a tab.
#include <QString>

#include <string>
#include <vector>

namespace importer {

inline constexpr QChar kSupOpen = QChar(0xE000);
inline constexpr QChar kSupClose = QChar(0xE001);

struct Line {
    QString text;
    int page = 0;    // from 1
    int number = 0;  // line on its page, from 1, as the input shows it
    // Geometry in points (y downwards), when the input is a PDF.
    bool geometry = false;
    double left = 0, right = 0, top = 0, bottom = 0;
    double size = 0;  // height of the line's ordinary type
    // Text input laid out with spaces (pdftotext -layout): leading spaces.
    int indent = -1;
    bool gapBefore = false;  // an empty line or a wide space above it
    bool small = false;      // set in small type (footnotes), when known
};

struct Page {
    int number = 0;
    double width = 0, height = 0;
    std::vector<Line> lines;
};

struct Warning {
    int page = 0;  // 0: concerns the whole document
    int line = 0;  // 0: concerns the whole page
    std::string message;

    // "page 12, line 4: message"
    std::string toString() const;
};

class Warnings {
public:
    void add(const Line& at, const QString& message) { add(at.page, at.number, message); }
    void add(int page, int line, const QString& message)
    {
        FList.push_back({page, line, message.toStdString()});
    }
    const std::vector<Warning>& list() const { return FList; }
    std::vector<Warning> take() { return std::move(FList); }

private:
    std::vector<Warning> FList;
};

enum class Form { Unknown, Journal, Sejm };

struct Document {
    bool pdf = false;
    bool layout = false;  // text laid out with spaces (pdftotext -layout)
    std::vector<Page> pages;
};

// Text without the superscript brackets.
QString plain(const QString& text);

} // namespace importer
