#pragma once
// The text export of a PDF (what pdftotext gives, with or without -layout)
// read into pages of lines: a form feed ends a page, an empty line becomes a
// gap above the next line, and a layout made with spaces gives each line its
// indent and turns wide gaps into tabs.
#include "import/Model.h"

#include <QByteArray>

namespace importer {

// False, with the reason in `error`, when the bytes are not UTF-8 text; a
// text in Windows-1250, ISO-8859-2 or UTF-16 is named as such.
bool readText(const QByteArray& bytes, Document& doc, QString& error, Warnings& warnings);

} // namespace importer
