#pragma once
// lumesta-tool command of the importer:
//   import INPUT OUTPUT.txt [--name NAME]
//          an official consolidated text (the PDF or its text export) as
//          one source text for pack; warnings ("page 12, line 4: ...") on
//          standard error, the summary on standard output. Nothing is
//          written when the import fails.
// Exit code: 0 success, 1 failure (reason on standard error), 2 wrong usage.
#include <string>
#include <vector>

int ImportCommand(const std::vector<std::string>& args);
