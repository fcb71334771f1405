#pragma once
// Puts a document read by the RTF reader into a Qt text document, for a
// read-only rich-text view (QTextBrowser). Links become anchors whose href is
// the link target as the text gives it.
#include "reader/Rtf.h"

class QTextDocument;

namespace rtf {

// Replaces the contents of `cel` with `dokument`.
void WypelnijDokument(QTextDocument& cel, const TDokument& dokument);

} // namespace rtf
