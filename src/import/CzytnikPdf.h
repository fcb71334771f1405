#pragma once
// A PDF read with Poppler into pages of lines. The lines are built from the
// words' own boxes, top to bottom and left to right, rather than taken in
// Poppler's reading order: raised small words join the line they stand on as
// superscripts, type rotated off the horizontal (margin notes) is left out,
// and wide gaps (the columns of a running header) become tabs.
#include "import/Model.h"

#include <QByteArray>

#include <functional>

namespace importer {

struct PdfStats {
    int rotatedWords = 0;  // left out
};

// False, with the reason in `error`, for a damaged, encrypted or empty PDF.
// `stopped` (may be empty) is asked after every page.
bool readPdf(const QByteArray& bytes, Document& doc, QString& error, Warnings& warnings, PdfStats& stats,
             const std::function<void(int, int)>& progress, const std::function<bool()>& stopped = {});

} // namespace importer
