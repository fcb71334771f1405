#include "search/Litery.h"

#include <array>

#include "platform/core/Cp1250.h"

namespace szukanie {
namespace {

bool literaUnicode(char32_t c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    if (c >= 0xC0 && c <= 0xFF)
        return c != 0xD7 && c != 0xF7;
    return c >= 0x100 && c <= 0x17F;
}

char32_t maleUnicode(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    // Latin Extended-A pairs its letters: the capital first, on an even code
    // point in these two stretches and on an odd one in the other two.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return (c % 2 == 0) ? c + 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x178)
        return 0xFF;
    return c;
}

// The base letter of a lower-case Latin letter with a diacritic; the
// letter itself when it has none (or no plain base, as ß and ð).
char32_t bezZnakuUnicode(char32_t c)
{
    if (c >= 0xE0 && c <= 0xFF) {
        static const char baza[] = "aaaaaa?ceeeeiiii?nooooo?ouuuuy?y";
        const char b = baza[c - 0xE0];
        return (b >= 'a' && b <= 'z') ? char32_t(b) : c;
    }
    struct Para {
        char32_t z;
        char na;
    };
    static const Para pary[] = {
        {0x101, 'a'}, {0x103, 'a'}, {0x105, 'a'}, {0x107, 'c'}, {0x109, 'c'}, {0x10B, 'c'}, {0x10D, 'c'},
        {0x10F, 'd'}, {0x111, 'd'}, {0x113, 'e'}, {0x115, 'e'}, {0x117, 'e'}, {0x119, 'e'}, {0x11B, 'e'},
        {0x11D, 'g'}, {0x11F, 'g'}, {0x121, 'g'}, {0x123, 'g'}, {0x125, 'h'}, {0x127, 'h'}, {0x129, 'i'},
        {0x12B, 'i'}, {0x12D, 'i'}, {0x12F, 'i'}, {0x135, 'j'}, {0x137, 'k'}, {0x13A, 'l'}, {0x13C, 'l'},
        {0x13E, 'l'}, {0x140, 'l'}, {0x142, 'l'}, {0x144, 'n'}, {0x146, 'n'}, {0x148, 'n'}, {0x14D, 'o'},
        {0x14F, 'o'}, {0x151, 'o'}, {0x155, 'r'}, {0x157, 'r'}, {0x159, 'r'}, {0x15B, 's'}, {0x15D, 's'},
        {0x15F, 's'}, {0x161, 's'}, {0x163, 't'}, {0x165, 't'}, {0x167, 't'}, {0x169, 'u'}, {0x16B, 'u'},
        {0x16D, 'u'}, {0x16F, 'u'}, {0x171, 'u'}, {0x173, 'u'}, {0x175, 'w'}, {0x177, 'y'}, {0x17A, 'z'},
        {0x17C, 'z'}, {0x17E, 'z'},
    };
    for (const Para& p : pary)
        if (p.z == c)
            return char32_t(p.na);
    return c;
}

struct Tablice {
    std::array<bool, 256> slowo{};
    std::array<unsigned char, 256> male{};
    std::array<unsigned char, 256> bezZnakow{};
    std::array<unsigned char, 256> duze{};
};

const Tablice& tablice()
{
    static const Tablice t = [] {
        Tablice t;
        for (int b = 0; b < 256; ++b) {
            const auto bajt = static_cast<unsigned char>(b);
            const char32_t c = cp1250::toUnicode(bajt);
            t.slowo[std::size_t(b)] = literaUnicode(c);
            bool ok = false;
            const char32_t m = maleUnicode(c);
            unsigned char mb = cp1250::fromUnicode(m, &ok);
            t.male[std::size_t(b)] = ok ? mb : bajt;
            const char32_t bz = bezZnakuUnicode(ok ? m : c);
            unsigned char bb = cp1250::fromUnicode(bz, &ok);
            t.bezZnakow[std::size_t(b)] = ok ? bb : t.male[std::size_t(b)];
        }
        for (int b = 0; b < 256; ++b)
            t.duze[std::size_t(b)] = static_cast<unsigned char>(b);
        for (int b = 0; b < 256; ++b)
            if (t.male[std::size_t(b)] != b)
                t.duze[t.male[std::size_t(b)]] = static_cast<unsigned char>(b);
        return t;
    }();
    return t;
}

} // namespace

bool JestZnakiemSlowa(unsigned char c) { return tablice().slowo[c]; }
unsigned char Male(unsigned char c) { return tablice().male[c]; }
unsigned char MaleBezZnakow(unsigned char c) { return tablice().bezZnakow[c]; }
unsigned char Duza(unsigned char c) { return tablice().duze[c]; }

void Zloz(std::string_view tekst, bool bezZnakow, char* cel)
{
    const auto& t = bezZnakow ? tablice().bezZnakow : tablice().male;
    for (std::size_t i = 0; i < tekst.size(); ++i)
        cel[i] = static_cast<char>(t[static_cast<unsigned char>(tekst[i])]);
}

std::string Zloz(std::string_view tekst, bool bezZnakow)
{
    std::string w(tekst.size(), '\0');
    Zloz(tekst, bezZnakow, w.data());
    return w;
}

} // namespace szukanie
