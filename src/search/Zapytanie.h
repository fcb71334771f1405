#pragma once
// What the user asks the library search for. Words standing apart must all
// occur in one unit of the text (an article or one of its paragraphs, a
// heading with its title, a footnote); words in quotation marks must occur
// side by side, in that order, in one line (punctuation and footnote marks
// between them do not count). Each word matches its other inflected forms
// too, unless exact forms are asked for. What is neither a letter nor a
// digit does not count: "art 5" is found in "art. 5", "przepis 1" in
// "przepis § 1".
#include <string>
#include <string_view>
#include <vector>

namespace szukanie {

struct TZapytanie {
    // The terms: a single word, or the words of a quoted phrase; each word
    // folded to lower case (Windows-1250).
    std::vector<std::vector<std::string>> Wyrazenia;
    // Whether words match their own form only (letter case aside).
    bool Dokladnie = false;

    bool Pusty() const { return Wyrazenia.empty(); }
    std::size_t LiczbaSlow() const;
};

// Most words one query may hold.
inline constexpr std::size_t kNajwiecejSlow = 31;

// Reads a query typed by the user (Windows-1250): words are the runs of
// letters and digits; "..." (or „...”, “...”) makes a phrase, and a quote
// left open runs to the end. A term given twice counts once. Words beyond
// kNajwiecejSlow are dropped.
TZapytanie RozbierzZapytanie(std::string_view tekst, bool dokladnie = false);

} // namespace szukanie
