#pragma once
// lumesta-tool search DICTIONARY DATAFOLDER QUERY [--json] [--exact]
//
// Searches every code and every present Journal of Laws act of the library
// with the reader's own search engine: words in all their inflected forms
// (exact forms with --exact), all in one unit; "a phrase" in quotation
// marks word by word side by side. Footnotes are searched too.
//
// Prints one hit per line, in document order:
//   Kodeks cywilny | Art. 3 § 1 | line 12, 45+5 | ... podpisała [umowę], nie ...
// or with --json one JSON object per line (JSON Lines):
//   {"document": "Kodeks cywilny", "footnote": null, "unit": "Art. 3 § 1",
//    "line": 12, "offset": 45, "length": 5, "context": "...",
//    "context_offset": 20}
// "line" is the paragraph's index as `decode --json` lists the paragraphs
// (from 0) and "offset" counts characters of that paragraph's pieces joined;
// for a hit in a footnote, "footnote" is the footnote's number (from 1),
// "line" the index in the "footnotes" list of `decode --json`, and "unit"
// the unit whose mark leads to it. The query and everything printed are
// UTF-8. Exit code: 0 something found, 1 nothing found or the library
// cannot be read, 2 wrong usage.
#include <string>
#include <vector>

int SearchCommand(const std::vector<std::string>& args);
