#pragma once
// From a source document to the elements of its act record: which parts of
// each line become dictionary words and which become punctuation codes.
//
// Every line is split at its single spaces, since the decoder puts exactly
// one space after each word. Punctuation that closes up to a word ("." ","
// ")" ...), that opens the next one ("(" "/" ...) or that stands alone
// between spaces ("–" "-" ...) is peeled off into codes where the decoder's
// spacing rules give the same text back; everything else, and every piece of
// spacing the decoder cannot make (a quotation mark glued to a word, two
// spaces, a leading space), stays inside the dictionary words.
#include "packer/Diagnostics.h"
#include "packer/Source.h"
#include "store/Zapis.h"

namespace packer {

// The elements of one line of the main text or of a footnote. A word longer
// than 255 bytes is reported with file, line and column.
TLinia encodeLine(const SourceLine& line, bool footnoteLine, const std::string& file, Problems& problems);

// The whole document. Long stretches without punctuation (more than 255
// tokens, the most a distance can count) are shortened by merging
// neighbouring words of a line into one dictionary entry; a stretch that
// still does not fit is reported.
// The document's line texts are released as they are encoded, so that a
// large code is not held twice.
TDokumentElementy encodeDocument(SourceDocument& doc, Problems& problems);

} // namespace packer
