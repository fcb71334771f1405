#pragma once
// Writer of the three data files: the dictionary, containers with their
// directory, and act records. Three levels, each usable on its own:
//
// 1. Byte level: ZapiszSlownik, ZapiszRekord, ZapiszKontener turn filled-in
//    structures into file bytes; ZapiszPlik puts bytes on disk safely.
// 2. Element level: ZbudujRekord takes each line as a list of elements
//    (dictionary words, punctuation codes, footnote marks) plus the heading
//    code of the line, and computes every side table of the record
//    (distances, marks and tokens per line, anchors, footnote blocks, T, U,
//    width) so that the decoder replays exactly those elements.
// 3. Text level: KodujDokument is the inverse of the decoder. It takes the
//    paragraphs (TPlik) and footnote lines the decoder should return, chooses
//    tokens and punctuation codes, builds the record, decodes it again and
//    falls back to plainer tokens for any line that did not come back
//    exactly. Lines it cannot reproduce are listed, never silently changed.
//
// What the decoder cannot produce (so KodujDokument reports such lines):
// - an empty main line only through an empty dictionary word (handled), but
//   no line without any token: every line holds at least one token;
// - a main paragraph that does not follow the decoder's shape: optional
//   heading piece (kind 1..23 with exactly SlowoNaglowka's text), then kind 0
//   pieces with one kind 4 (empty text) piece between each two; it always
//   ends with a kind 0 piece and never starts with one of kind 4;
// - after a heading piece, text that starts neither with a space nor with a
//   punctuation mark that closes up to the preceding word (". 5." after
//   "Art" is fine, "owy" after "Kodeks" is not);
// - leading or trailing spaces, or two spaces in a row, except where the
//   decoder itself puts them: the text before a mark that stands before a
//   word keeps its trailing space, and the text after such a mark starts with
//   a space (or with the marks directly after it, then a space);
// - a footnote mark inside footnote text, or a footnote line that does not
//   start with a space (the decoder starts every footnote line with one);
// - two footnote marks in a row other than at the end of a line, a mark
//   before the first token of a heading line, punctuation right after a mark
//   at the end of a line unless a punctuation mark also stands right before it;
// - a chunk of more than 255 bytes without a space (a word is at most 255
//   bytes long and no mark joins two words without a space);
// - more than 255 tokens in a row without punctuation when the words cannot
//   be merged (they are merged into one dictionary entry where possible),
//   more than 65535 tokens or 255 marks in one line, footnote marks on lines
//   after the 65536th, heading codes after the 65536th line, a footnote of
//   more than 256 lines, more than 65535 footnotes.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/Format.h"
#include "store/Typy.h"

// The writer refuses input that the format cannot hold. what() is plain
// English for the data preparer.
class EZapis : public std::runtime_error {
public:
    explicit EZapis(const std::string& komunikat) : std::runtime_error(komunikat) {}
};

// ---------------------------------------------------------------------------
// 1. Byte level.

// Dictionary file bytes. Throws EZapis for a word longer than 255 bytes.
std::string ZapiszSlownik(const TSlownik& slownik, std::uint8_t format = 0);

// An act record ready to write: the header fields plus the token stream as
// word indices (Slowa[i] is read by the i-th word-reading iteration).
struct TRekordDoZapisu : TRekordDZU {
    std::vector<std::uint32_t> Slowa;
};

// Act record bytes. Throws EZapis when the fields cannot be written as they
// are: per-line tables of different lengths, a word index too wide for the
// width code, more than 65536 heading codes (trailing zero codes are dropped
// first; an empty table is written as one zero code), more than 65535 anchor
// records, positions or footnote blocks.
std::string ZapiszRekord(const TRekordDoZapisu& rekord);

struct TPozycjaKontenera {
    std::uint16_t Numer = 0;
    std::uint16_t Pozycja = 0;
    std::uint8_t Znacznik = 0;
    std::string Rekord;        // act record bytes (ZapiszRekord)
};
// Container bytes: header, records in the given order, directory. Throws
// EZapis for no entries or more than 65536.
std::string ZapiszKontener(const std::vector<TPozycjaKontenera>& pozycje,
                           std::uint8_t format = 0);

// Writes `dane` to `plik` through a temporary file in the same folder that
// is renamed over the target only when complete. On failure returns false,
// leaves any previous file intact and puts an English reason in *blad.
bool ZapiszPlik(const std::filesystem::path& plik, std::string_view dane,
                std::string* blad = nullptr);

// ---------------------------------------------------------------------------
// Dictionary builder shared by every record of one data set.
class TBudowaSlownika {
public:
    TBudowaSlownika() = default;
    explicit TBudowaSlownika(TSlownik poczatkowy);

    // Index of the word, adding it when new; counts each use.
    std::uint32_t Indeks(std::string_view slowo);
    const TSlownik& Slownik() const { return FSlownik; }
    std::uint64_t Uzycia(std::uint32_t indeks) const { return FUzycia.at(indeks); }

    // Reorders the words by falling use count (ties: by first use), so that
    // frequent words get small indices and records can use narrow widths.
    // Returns the map old index -> new index for Przenumeruj.
    std::vector<std::uint32_t> UporzadkujWedlugCzestosci();

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    TSlownik FSlownik;
    std::vector<std::uint64_t> FUzycia;
    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> FIndeksy;
};

// Applies an index map to a record's token stream and sets the narrowest
// width code that holds its largest index.
void Przenumeruj(TRekordDoZapisu& rekord, const std::vector<std::uint32_t>& mapa);

// ---------------------------------------------------------------------------
// 2. Element level.

struct TElement {
    enum Typ : std::uint8_t {
        Slowo,    // a dictionary word; the decoder appends it and one space
        Znak,     // a punctuation code (see ZnakKodu); consecutive ones form one point
        Przypis,  // a footnote mark
    };
    Typ Rodzaj = Slowo;
    std::uint8_t Kod = 0;
    std::string Tekst;

    static TElement S(std::string slowo) { return {Slowo, 0, std::move(slowo)}; }
    static TElement Z(std::uint8_t kod) { return {Znak, kod, {}}; }
    static TElement P() { return {Przypis, 0, {}}; }
    bool operator==(const TElement&) const = default;
};

struct TLinia {
    std::uint8_t Naglowek = 0;   // heading code (main text only; 0 = none)
    std::vector<TElement> Elementy;
};

struct TDokumentElementy {
    std::uint8_t H = 0;
    std::vector<TLinia> Glowne;                  // main-text lines
    std::vector<std::vector<TLinia>> Przypisy;   // footnotes, each a list of lines
};

// Computes the record. Rules the caller must keep (EZapis otherwise, naming
// the line): every line holds a token (a heading or a word); punctuation only
// after a token or right after a footnote mark; no marks in footnotes; the
// format's limits above. The side tables are exact (marks and tokens per
// line), so lines never carry characters into the next one, and a trailing
// empty per-line entry keeps the last paragraph when there are no footnotes.
// If there are footnotes but no marks, an empty anchor record is added so
// the footnote text is still decoded.
TRekordDoZapisu ZbudujRekord(const TDokumentElementy& dokument, TBudowaSlownika& slownik);

// ---------------------------------------------------------------------------
// 3. Text level.

struct TDokumentTekst {
    std::uint8_t H = 0;
    TPlik Akapity;   // paragraphs exactly as the decoder should return them
    // Each footnote's lines exactly as the decoder builds them, without the
    // empty separator and the "(n) " prefix: every line starts with a space.
    std::vector<std::vector<std::string>> Przypisy;
};

struct TProblemKodowania {
    bool WPrzypisie = false;   // false: main paragraph; true: footnote line
    std::size_t Akapit = 0;    // paragraph index, or footnote index
    std::size_t Linia = 0;     // line within the footnote (0 for paragraphs)
    std::string Opis;          // English reason
};

struct TWynikKodowania {
    TRekordDoZapisu Rekord;
    std::vector<TProblemKodowania> Problemy;   // empty: decodes back exactly
};

// The inverse of the decoder. Throws EZapis only for limits that no choice of
// tokens can meet (see the list at the top); lines whose text the decoder
// cannot give back are encoded as closely as possible and listed.
TWynikKodowania KodujDokument(const TDokumentTekst& dokument, TBudowaSlownika& slownik);

// Splits a decoder footnote list ("", "(1) " + line, line, "", "(2) " ...)
// into footnotes for TDokumentTekst. Returns false when the list does not
// have that shape.
bool RozbierzListePrzypisow(const TListaNapisow& lista,
                            std::vector<std::vector<std::string>>& przypisy);
