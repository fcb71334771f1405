#pragma once
// Windows-1250 (Central European) text. Every string of the program is held
// as Windows-1250 bytes; these functions convert at the edges only (drawing,
// dialogs, clipboard, JSON output of the tools).
#include <cstdint>
#include <string>
#include <string_view>

namespace cp1250 {

// Unicode code point of one Windows-1250 byte. The five bytes the code page
// leaves undefined map to the C1 control of the same number, so that every
// byte survives a round trip.
char32_t toUnicode(unsigned char byte);

// Windows-1250 byte of a code point, or '?' when the code page lacks it;
// `ok` (if given) is set to false in that case.
unsigned char fromUnicode(char32_t cp, bool* ok = nullptr);

// Whole strings, Windows-1250 <-> UTF-8. Invalid UTF-8 input becomes '?'.
std::string toUtf8(std::string_view text);
std::string fromUtf8(std::string_view utf8, bool* allMapped = nullptr);

} // namespace cp1250
