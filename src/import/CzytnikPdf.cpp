#include "import/CzytnikPdf.h"

#include "import/Znaki.h"

#include <poppler-qt6.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace importer {

namespace {

struct Word {
    QString text;
    double x0, x1, y0, y1;
    bool space;
    double h() const { return y1 - y0; }
    double cy() const { return (y0 + y1) / 2; }
};

struct Building {
    std::vector<Word> words;
    double top = 0, bottom = 0, mainH = 0;
};

double overlap(double a0, double a1, double b0, double b1)
{
    return std::min(a1, b1) - std::max(a0, b0);
}

std::vector<Building> buildLines(std::vector<Word>& words)
{
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.cy() < b.cy(); });
    std::vector<Building> lines;
    for (Word& w : words) {
        Building* target = nullptr;
        // The word belongs to a line it overlaps by half of the smaller
        // height; only the last few lines can qualify, as words come in
        // order of height on the page.
        for (std::size_t k = lines.size(); k > 0 && k + 3 > lines.size(); --k) {
            Building& L = lines[k - 1];
            if (overlap(w.y0, w.y1, L.top, L.bottom) >= 0.5 * std::min(w.h(), L.mainH)) {
                target = &L;
                break;
            }
        }
        if (!target) {
            lines.emplace_back();
            target = &lines.back();
            target->top = w.y0;
            target->bottom = w.y1;
            target->mainH = w.h();
        } else if (w.h() > target->mainH * 1.05) {
            target->top = w.y0;
            target->bottom = w.y1;
            target->mainH = w.h();
        }
        target->words.push_back(std::move(w));
    }
    std::sort(lines.begin(), lines.end(), [](const Building& a, const Building& b) { return a.bottom < b.bottom; });
    return lines;
}

Line composeLine(Building& b, int pageNo, int lineNo)
{
    std::sort(b.words.begin(), b.words.end(), [](const Word& a, const Word& c) { return a.x0 < c.x0; });
    // The ordinary type of the line: the tallest words (superscripts and
    // footnote numbers are smaller and raised).
    const double mainH = b.mainH;
    double mainBottom = 0;
    int mainCount = 0;
    for (const Word& w : b.words) {
        if (w.h() >= mainH * 0.9) {
            mainBottom += w.y1;
            ++mainCount;
        }
    }
    mainBottom = mainCount ? mainBottom / mainCount : b.bottom;

    Line line;
    line.page = pageNo;
    line.number = lineNo;
    line.geometry = true;
    line.size = mainH;
    line.top = b.top;
    line.bottom = mainBottom;
    line.left = 1e9;
    line.right = -1e9;
    bool inSup = false;
    const Word* prev = nullptr;
    for (const Word& w : b.words) {
        const bool sup = w.h() < mainH * 0.8 && w.y1 < mainBottom - 0.12 * mainH;
        if (prev) {
            const double gap = w.x0 - prev->x1;
            if (gap > 2.5 * mainH) {
                if (inSup) {
                    line.text += kSupClose;
                    inSup = false;
                }
                line.text += QLatin1Char('\t');
            } else if (prev->space || gap > 0.18 * mainH) {
                if (inSup) {
                    line.text += kSupClose;
                    inSup = false;
                }
                line.text += QLatin1Char(' ');
            }
        }
        if (sup && !inSup) {
            line.text += kSupOpen;
            inSup = true;
        } else if (!sup && inSup) {
            line.text += kSupClose;
            inSup = false;
        }
        line.text += w.text;
        if (!sup) {
            line.left = std::min(line.left, w.x0);
            line.right = std::max(line.right, w.x1);
        }
        prev = &w;
    }
    if (inSup)
        line.text += kSupClose;
    line.text = joinSpacedLetters(line.text);
    if (line.left > line.right) {
        line.left = b.words.front().x0;
        line.right = b.words.back().x1;
    }
    return line;
}

} // namespace

bool readPdf(const QByteArray& bytes, Document& doc, QString& error, Warnings& warnings, PdfStats& stats,
             const std::function<void(int, int)>& progress, const std::function<bool()>& stopped)
{
    // Poppler's own complaints about a damaged file would go to the
    // terminal; the importer says what is wrong in its own words.
    Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
    std::unique_ptr<Poppler::Document> pdf = Poppler::Document::loadFromData(bytes);
    if (!pdf) {
        error = QStringLiteral("the file cannot be read as a PDF: it is damaged or not a PDF at all");
        return false;
    }
    if (pdf->isLocked()) {
        error = QStringLiteral("the PDF is protected with a password; open it with its password and save an "
                               "unprotected copy first");
        return false;
    }
    const int pages = pdf->numPages();
    if (pages <= 0) {
        error = QStringLiteral("the PDF has no pages");
        return false;
    }
    doc.pdf = true;
    doc.layout = false;
    doc.pages.clear();
    doc.pages.reserve(std::size_t(pages));
    CharStats chars;
    int firstUnknownPage = 0;
    for (int i = 0; i < pages; ++i) {
        Page page;
        page.number = i + 1;
        std::unique_ptr<Poppler::Page> p(pdf->page(i));
        if (!p) {
            warnings.add(page.number, 0, QStringLiteral("the page cannot be read and is left out"));
            doc.pages.push_back(std::move(page));
            continue;
        }
        const QSizeF size = p->pageSizeF();
        page.width = size.width();
        page.height = size.height();
        std::vector<Word> words;
        for (const std::unique_ptr<Poppler::TextBox>& box : p->textList()) {
            const QString raw = box->text();
            if (raw.trimmed().isEmpty())
                continue;
            const QRectF r = box->boundingBox();
            if (!std::isfinite(r.left()) || !std::isfinite(r.top()) || r.height() <= 0)
                continue;
            if (raw.size() >= 2) {
                // Letters of a rotated word follow each other down or up
                // the page rather than along it.
                const QRectF a = box->charBoundingBox(0);
                const QRectF z = box->charBoundingBox(int(raw.size()) - 1);
                if (std::abs(z.center().y() - a.center().y()) > std::abs(z.center().x() - a.center().x())) {
                    ++stats.rotatedWords;
                    continue;
                }
            }
            const int before = chars.unknown;
            Word w{normalizeText(raw, chars), r.left(), r.right(), r.top(), r.bottom(), box->hasSpaceAfter()};
            if (chars.unknown > before && !firstUnknownPage)
                firstUnknownPage = page.number;
            if (w.text.isEmpty())
                continue;
            words.push_back(std::move(w));
        }
        std::vector<Building> built = buildLines(words);
        page.lines.reserve(built.size());
        for (std::size_t k = 0; k < built.size(); ++k) {
            page.lines.push_back(composeLine(built[k], page.number, int(k) + 1));
            if (k > 0) {
                Line& l = page.lines[k];
                if (l.top - page.lines[k - 1].bottom > 0.6 * l.size)
                    l.gapBefore = true;
            }
        }
        doc.pages.push_back(std::move(page));
        if (progress)
            progress(i + 1, pages);
        if (stopped && stopped()) {
            error = QStringLiteral("the import was stopped");
            return false;
        }
    }
    if (chars.unknown > 0)
        warnings.add(firstUnknownPage, 0,
                     QStringLiteral("%1 character(s) that Windows-1250 cannot hold were replaced by '?':%2")
                         .arg(chars.unknown)
                         .arg(chars.examples));
    return true;
}

} // namespace importer
