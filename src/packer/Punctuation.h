#pragma once
// How the packer sees each Windows-1250 byte: as a letter, as a punctuation
// mark the decoder can put back by itself (with its code and the way it
// joins the words around it), or as anything else. The marks are taken from
// the decoder's own code table, so the two can never disagree.
#include <cstdint>
#include <string>
#include <string_view>

namespace packer {

enum class MarkClass : std::uint8_t {
    None,        // not a mark the packer separates from words
    Closer,      // closes up to the word before it: . , ; : ) ] ...
    Opener,      // closes up to the word after it: ( [ / ...
    Standalone,  // spaced on both sides: - – * + = ...
};

struct MarkInfo {
    MarkClass cls = MarkClass::None;
    std::uint8_t code = 0;
};

// Class and code of one byte. Only marks whose code stands for exactly that
// one byte are used; the quotation marks whose codes add a space are not.
const MarkInfo& markInfo(unsigned char byte);

inline bool isCloser(unsigned char b) { return markInfo(b).cls == MarkClass::Closer; }
inline bool isOpener(unsigned char b) { return markInfo(b).cls == MarkClass::Opener; }
inline bool isStandalone(unsigned char b) { return markInfo(b).cls == MarkClass::Standalone; }

// Letters of Windows-1250 (ASCII and the Central European ones).
bool isLetter(unsigned char byte);
inline bool isDigit(unsigned char b) { return b >= '0' && b <= '9'; }

// The value of a superscript digit ("⁵", "¹"), -1 for any other character:
// sources and imported texts may write "Art. 5¹" for "Art. 5^1".
int superscriptDigit(char32_t c);

// Lower case without diacritics ("ROZDZIAŁ" and "Rozdzial" both give
// "rozdzial"): used to recognise misspelt heading words.
std::string foldWord(std::string_view cp1250);

} // namespace packer
