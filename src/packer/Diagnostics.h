#pragma once
// Problems found while reading source texts or checking packed data. Every
// problem names the file and, where there is one, the line and column (both
// counted from 1; the column counts characters, not bytes).
#include <string>
#include <vector>

namespace packer {

struct Problem {
    std::string file;
    int line = 0;   // 0: the problem concerns the whole file
    int column = 0; // 0: the problem concerns the whole line
    std::string message;

    // "file:line:column: message", leaving out what is 0.
    std::string toString() const;
};

using Problems = std::vector<Problem>;

} // namespace packer
