#pragma once
// lumesta-tool commands that read the data through the store:
//   list [--json] DICTIONARY DATAFOLDER NAME
//          titles of the container that NAME maps to
//   decode [--json] DICTIONARY DATAFOLDER NAME
//          one document decoded: readable, or with --json exactly what the
//          store returned, in UTF-8:
//          {"titles": [...], "paragraphs": [[[kind, "text"], ...], ...],
//           "footnotes": [...], "text": [...], "messages": [...]}
// NAME is given in UTF-8 (a code title or Dz.U.year.number.position).
// Exit code: 0 success (decode: a document was decoded), 1 failure, 2 wrong
// usage. The store's messages go to standard error (into "messages" with
// --json).
#include <string>
#include <vector>

int ListCommand(const std::vector<std::string>& args);
int DecodeCommand(const std::vector<std::string>& args);
