#pragma once
// lumesta-tool links [--json] DICTIONARY DATAFOLDER NAME
//   every link of one document, as the reader shows them: Journal of Laws
//   citations and references to provisions, in the body (line = paragraph
//   index as "decode --json" lists them) and in the footnotes (line = index
//   in its "footnotes" list), with the exact span, the target and whether
//   the target is in the library. With --json:
//   {"links": [{"kind": "journal"|"article"|"code-article"|"act-article",
//               "footnote": bool, "line": n, "offset": n, "length": n,
//               "text": "...", "parts": [[line, offset, length], ...],
//               "target": {"act": "Dz.U.2016.0.380"} | {"code": "...", "unit": "Art. 5 § 2"}
//                         | {"act": "...", "unit": "..."},
//               "exists": bool, "paragraph": n}],
//    "messages": [...]}
//   "parts" only for a link that runs over a footnote's line end;
//   "paragraph" (the target unit's first paragraph) when it was looked up.
// Exit code: 0 when the document was decoded, 1 otherwise, 2 wrong usage.
#include <string>
#include <vector>

int LinksCommand(const std::vector<std::string>& args);
