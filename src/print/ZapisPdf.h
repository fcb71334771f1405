#pragma once
// Saving a document view as a PDF file: the document is paginated and drawn
// exactly as the print command prints it (same margins, same pages), only
// onto a PDF printer instead of the current one.
#include <QString>
#include <string>

class TDocView;

// Writes every page of `view` to `fileName` (A4, the print component's
// default margins) with `title` (Windows-1250) as the document's title. The
// file is replaced only when the whole document was written; false when
// nothing could be written (no pages, an unwritable folder, a failed job).
bool ZapiszPdf(TDocView* view, const QString& fileName, const std::string& title);
