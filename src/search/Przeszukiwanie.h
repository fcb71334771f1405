#pragma once
// Searching one act record for a query, in two steps:
// 1. the record's token stream (dictionary word numbers) is scanned against
//    the set of entries that hold the query's word forms, and the units
//    (articles, paragraphs, footnotes) that hold every term give the
//    occurrences, as token positions;
// 2. only the lines with occurrences (and what says which unit they are in)
//    are decoded, which gives each occurrence its characters in the line.
// Nothing but those lines is ever turned into text, so a search through a
// whole library costs about one pass over its word numbers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/Morfologia.h"
#include "search/Rdzenie.h"
#include "search/Zapytanie.h"
#include "store/Typy.h"

namespace szukanie {

class TMorfologia;

// A query bound to one library's dictionary: which entries hold which of the
// query's words.
class TPrzygotowaneZapytanie {
public:
    // The morphology is asked for only for words the dictionary lacks.
    TPrzygotowaneZapytanie(const TZapytanie& zapytanie, const TRdzenie& rdzenie,
                           const TDostawcaMorfologii& morfologia);

    // True when some term has no form in the dictionary: nothing can match.
    bool NicNiePasuje() const { return FNicNiePasuje; }
    // Bit k: the entry holds a form of the query's word k (words of all
    // terms counted in order); kMaSlowa: the entry holds a word at all.
    static constexpr std::uint32_t kMaSlowa = 1u << 31;
    std::uint32_t MaskaWpisu(std::uint32_t wpis) const { return wpis < FMaski.size() ? FMaski[wpis] : 0; }
    std::uint32_t BityFormy(std::uint32_t forma) const { return forma < FBity.size() ? FBity[forma] : 0; }
    // The terms as ranges of word bits: [Od, Od + Dlugosc).
    struct TWyrazenie {
        std::uint32_t Od = 0;
        std::uint32_t Dlugosc = 0;
    };
    const std::vector<TWyrazenie>& Wyrazenia() const { return FWyrazenia; }
    const TRdzenie& Rdzenie() const { return FRdzenie; }

private:
    const TRdzenie& FRdzenie;
    std::vector<std::uint32_t> FMaski;   // per dictionary entry
    std::vector<std::uint32_t> FBity;    // per form
    std::vector<TWyrazenie> FWyrazenia;
    bool FNicNiePasuje = false;
};

// One word of an occurrence: the line (running number), the word's place
// among the words read in that line, its dictionary entry and which of the
// entry's words it is.
struct TSlowoWystapienia {
    std::uint32_t Linia = 0;
    std::uint32_t Slowo = 0;
    std::uint32_t Wpis = 0;
    std::uint32_t Czesc = 0;
};

// An occurrence: Ile consecutive words of the list, from Od.
struct TWystapienie {
    std::uint32_t Od = 0;
    std::uint32_t Ile = 0;
};

struct TSkanRekordu {
    std::vector<TSlowoWystapienia> Slowa;
    std::vector<TWystapienie> Wystapienia;   // in text order
    std::size_t LinieGlowne = 0;             // main-text lines the record holds
    std::size_t Akapity = 0;                 // paragraphs its decoding gives
    TArt Art;                                // heading code per line
    // Footnote lines (running numbers from LinieGlowne on): which footnote
    // each belongs to, from 0.
    std::vector<std::uint32_t> PrzypisLinii;
    // The line that carries each footnote's mark.
    std::vector<std::uint32_t> LiniaZnacznika;
};

// Step 1. False when the record is no act record.
bool SkanujRekord(std::string_view rekord, const TPrzygotowaneZapytanie& zapytanie, TSkanRekordu& skan);

// A line of a document with the occurrences in it.
struct TLiniaWyniku {
    bool Przypis = false;          // a footnote line
    std::size_t NumerPrzypisu = 0; // footnote lines: the footnote's number, from 1
    // The paragraph's index in the decoded document (as `lumesta-tool decode
    // --json` lists them), or for a footnote line its index in the footnote
    // list.
    std::size_t Linia = 0;
    std::string Tekst;             // the paragraph's pieces joined, or the footnote line
    struct TZakres {
        std::size_t Od = 0;
        std::size_t Dlugosc = 0;
        friend bool operator==(const TZakres&, const TZakres&) = default;
    };
    std::vector<TZakres> Trafienia;   // in order, not overlapping
    // Where the line stands: its unit ("Art. 415 § 1"), or before the first
    // article the heading it stands under; for a footnote, the place of its
    // mark. Empty when nothing names it.
    std::string Jednostka;
};

// Step 2: the lines of the occurrences, in document order (main text first,
// then the footnotes).
// `ostatnie`: OstatnieLitery of the dictionary (optional, for speed).
std::vector<TLiniaWyniku> UmiescWystapienia(std::string_view rekord, const TSlownik& slownik,
                                            const TRdzenie& rdzenie, const TSkanRekordu& skan,
                                            std::string_view ostatnie = {});

// A piece of a line around a range, for showing a result: at most about
// `szerokosc` characters on each side, cut at spaces, with "…" where cut.
// `od` receives where the range starts in the piece.
std::string Kontekst(std::string_view tekst, std::size_t od, std::size_t dlugosc, std::size_t szerokosc,
                     std::size_t* wyciete = nullptr);

} // namespace szukanie
