#pragma once
// In-memory types of the legal text store. All strings are Windows-1250
// bytes; nothing here knows of Qt. Each type is a plain value type.
#include <cstdint>
#include <string>
#include <vector>

// One dictionary entry: the word and the 4-byte value stored beside it,
// which the program keeps but never interprets.
struct TWpisSlownika {
    std::string Slowo;
    std::int32_t Liczba = 0;
};
using TSlownik = std::vector<TWpisSlownika>;  // indexed by word index

// One punctuation entry of an act record: the mark's code and its distance,
// in tokens, from the previous punctuation point (0: same point as the
// entry before it).
struct TZnak {
    std::uint8_t Kod = 0;
    std::uint8_t Odstep = 0;
};
using TZnaki = std::vector<TZnak>;

using TZnaki_w_Wierszu = std::vector<std::uint8_t>;   // marks per line
using TSlowa_w_Wierszu = std::vector<std::uint16_t>;  // tokens per line
using TArt = std::vector<std::uint8_t>;                // heading code per line

// Footnote anchors of one line: the token positions within the line
// (tokens of the line before the mark) at which footnote marks stand.
struct TPrzypis {
    std::uint16_t NumerWiersza = 0;
    std::vector<std::uint16_t> Miejsca;
};
using TPrzypisy = std::vector<TPrzypis>;
using TBlokPrzypisow = std::vector<std::uint8_t>;  // per footnote: lines - 1

// Piece kinds of a decoded paragraph.
enum : std::uint8_t {
    rTekst = 0,        // plain text
    rART = 1,          // "ART"
    rArt = 2,          // "Art"
    rParagraf = 3,     // "§"
    rPrzypis = 4,      // footnote mark, empty text
    rPierwszyNaglowek = 6,   // "Ustawa" ... "KONSTYTUCJA" are 6..23
    rOstatniNaglowek = 23,
};

struct TTekst {
    std::uint8_t Rodzaj = rTekst;
    std::string Tekst;

    bool operator==(const TTekst&) const = default;
};
using TWiersz = std::vector<TTekst>;  // one paragraph (one text line)
using TPlik = std::vector<TWiersz>;   // a whole decoded document

// One directory entry of a container (13 bytes in the file).
struct TDaneDZU {
    std::int64_t Przesuniecie = 0;  // offset of the act record in the file
    std::uint16_t Numer = 0;        // issue number; code index in the codes container
    std::uint16_t Pozycja = 0;      // position; code index again for the codes
    std::uint8_t Znacznik = 0;      // only entries flagged 0 can be opened

    bool operator==(const TDaneDZU&) const = default;
};
using TTabDaneDZU = std::vector<TDaneDZU>;

// A document's key: container name (a year or "Lumesta"), issue, position.
struct TNumerPozycjaDZU {
    std::string Rok;
    std::uint16_t Numer = 0;
    std::uint16_t Pozycja = 0;

    bool operator==(const TNumerPozycjaDZU&) const = default;
};

// The caller's string lists (text list, footnote list, title list).
using TListaNapisow = std::vector<std::string>;

// How the store tells the user about a failure. The store itself never
// shows anything: it hands the Windows-1250 message to this interface and
// returns normally. The reader window implements it with an information
// message box (OK button); lumesta-tool prints to standard error or collects
// the messages for its JSON output. Messages come one at a time, in order.
class TKomunikaty {
public:
    virtual ~TKomunikaty() = default;
    virtual void Komunikat(const std::string& tekst) = 0;
};

// A sink that keeps every message, in order (tests, the tool).
class TZbiorKomunikatow : public TKomunikaty {
public:
    void Komunikat(const std::string& tekst) override { Lista.push_back(tekst); }
    TListaNapisow Lista;
};
