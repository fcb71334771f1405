#include "packer/Punctuation.h"

#include "platform/core/Cp1250.h"
#include "store/Pliki.h"

#include <array>

namespace packer {
namespace {

std::array<MarkInfo, 256> buildMarks()
{
    std::array<MarkInfo, 256> table{};
    for (int code = 1; code < 256; ++code) {
        const TZnakKodu& z = ZnakKodu(static_cast<std::uint8_t>(code));
        if (z.Znaki.size() != 1)
            continue;
        const auto b = static_cast<unsigned char>(z.Znaki[0]);
        if (table[b].cls != MarkClass::None || b == ' ')
            continue;
        MarkClass cls = MarkClass::None;
        if (!z.SpacjaPrzed && z.SpacjaPo)
            cls = MarkClass::Closer;
        else if (z.SpacjaPrzed && !z.SpacjaPo)
            cls = MarkClass::Opener;
        else if (z.SpacjaPrzed && z.SpacjaPo)
            cls = MarkClass::Standalone;
        // A mark that closes up on both sides would need no space at all;
        // the table has none, and such a byte simply stays inside words.
        if (cls != MarkClass::None)
            table[b] = {cls, static_cast<std::uint8_t>(code)};
    }
    return table;
}

char32_t baseLetter(char32_t c)
{
    switch (c) {
    case U'ą': case U'Ą': return U'a';
    case U'ć': case U'Ć': case U'č': case U'Č': return U'c';
    case U'ę': case U'Ę': case U'ě': case U'Ě': case U'é': case U'É': return U'e';
    case U'ł': case U'Ł': case U'ľ': case U'Ľ': case U'ĺ': case U'Ĺ': return U'l';
    case U'ń': case U'Ń': case U'ň': case U'Ň': return U'n';
    case U'ó': case U'Ó': case U'ô': case U'Ô': case U'ö': case U'Ö': return U'o';
    case U'ś': case U'Ś': case U'š': case U'Š': return U's';
    case U'ź': case U'Ź': case U'ż': case U'Ż': case U'ž': case U'Ž': return U'z';
    default: break;
    }
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 'a';
    return c;
}

} // namespace

const MarkInfo& markInfo(unsigned char byte)
{
    static const std::array<MarkInfo, 256> table = buildMarks();
    return table[byte];
}

bool isLetter(unsigned char b)
{
    if (b < 0x80)
        return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
    const char32_t c = cp1250::toUnicode(b);
    if (c == 0xD7 || c == 0xF7)
        return false; // × and ÷
    return (c >= 0xC0 && c <= 0x24F) || c == 0xB5;
}

std::string foldWord(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char b : text) {
        const char32_t c = baseLetter(cp1250::toUnicode(b));
        out += c < 0x80 ? static_cast<char>(c) : static_cast<char>(b);
    }
    return out;
}

int superscriptDigit(char32_t c)
{
    switch (c) {
    case 0x2070: return 0;
    case 0x00B9: return 1;
    case 0x00B2: return 2;
    case 0x00B3: return 3;
    default: break;
    }
    if (c >= 0x2074 && c <= 0x2079)
        return static_cast<int>(c - 0x2070);
    return -1;
}

} // namespace packer
