#pragma once
// Letters of Windows-1250 text for finding words: which bytes make up
// words, and the two foldings that finding compares under: letter case
// only, and letter case with the diacritics of the Latin letters dropped
// ("Sąd", "SĄD" and "sad" all fold to "sad"). Folding keeps the length, so
// an offset into a folded copy is an offset into the text.
#include <string>
#include <string_view>

namespace szukanie {

// Letters (of any Latin script the code page holds) and digits.
bool JestZnakiemSlowa(unsigned char c);

// Lower case, and upper case.
unsigned char Male(unsigned char c);
unsigned char Duza(unsigned char c);
// Lower case without diacritics: ą -> a, ł -> l, ż -> z, ö -> o, ...
unsigned char MaleBezZnakow(unsigned char c);

// The whole text folded one way or the other.
std::string Zloz(std::string_view tekst, bool bezZnakow);
// Into an existing buffer (same length as the text).
void Zloz(std::string_view tekst, bool bezZnakow, char* cel);

// One word of a text: where it starts and how long it is.
struct TFragment {
    std::size_t Od = 0;
    std::size_t Dlugosc = 0;
};
// The words of a text: the runs of letters and digits, in order.
template <typename F>
void DlaSlow(std::string_view tekst, F&& f)
{
    std::size_t i = 0;
    while (i < tekst.size()) {
        while (i < tekst.size() && !JestZnakiemSlowa(static_cast<unsigned char>(tekst[i])))
            ++i;
        const std::size_t od = i;
        while (i < tekst.size() && JestZnakiemSlowa(static_cast<unsigned char>(tekst[i])))
            ++i;
        if (i > od)
            f(TFragment{od, i - od});
    }
}

} // namespace szukanie
