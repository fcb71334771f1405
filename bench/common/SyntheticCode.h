#pragma once
// A code-like document for the view benchmarks: random articles made of
// legal-sounding words, a centred chapter heading with its checkpoint every
// 50 articles and a footnote mark every 20.
#include "platform/ImageList.h"
#include "platform/core/Cp1250.h"
#include "view/DocView.h"

#include <random>
#include <string>
#include <vector>

// The words the synthetic articles are made of, in Windows-1250.
inline const std::vector<std::string>& BenchWords()
{
    static const std::vector<std::string> words = [] {
        static const char* const utf8[] = {
            "kodeks", "ustawa", "przepis", "sąd", "postępowanie", "strona", "wyrok", "kara",
            "pozbawienia", "wolności", "podlega", "który", "albo", "oraz", "w", "z", "na",
            "przestępstwo", "umyślne", "grzywny", "ograniczenia", "zażalenie", "świadek", "§",
            "art.", "1", "2", "3", "dni", "od", "dnia", "doręczenia", "orzeczenia", "właściwy"};
        std::vector<std::string> cp;
        for (const char* w : utf8)
            cp.push_back(cp1250::fromUtf8(w));
        return cp;
    }();
    return words;
}

// Fills `view` (cleared first) and returns the number of text bytes added.
inline size_t FillSyntheticCode(TDocView& view, const TImageList* marks, int markIndex, int paragraphs,
                                std::mt19937& rng)
{
    const std::vector<std::string>& words = BenchWords();
    std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
    std::uniform_int_distribution<int> len(6, 22);
    view.Clear();
    size_t bytes = 0;
    int heading = 0;
    for (int p = 0; p < paragraphs; ++p) {
        if (p % 50 == 0) {
            view.AddCheckpoint(std::to_string(heading++));
            view.AddCenteredLine("Rozdział " + std::to_string(heading), 2);
        }
        std::string text = "Art. " + std::to_string(p + 1) + ". ";
        const int n = len(rng);
        for (int k = 0; k < n; ++k) {
            text += words[pick(rng)];
            text += k + 1 < n ? " " : ".";
        }
        bytes += text.size();
        view.AddTextLines(text, 0);
        if (p % 20 == 0)
            view.AddHotspot(markIndex, marks, false);
        view.AddParagraphLines(" ", 0);
    }
    return bytes;
}
