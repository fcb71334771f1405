#pragma once
// A small reader of rich text (RTF), enough for the licence text: groups,
// paragraphs and line breaks, bold, italic, underline, font size, the font
// and colour tables, \'xx escapes in Windows-1250, \uN characters, alignment,
// HYPERLINK fields, and web addresses found in plain text.
//
// The reader never fails: damaged input gives whatever text could be read.
// Unknown control words are skipped, unknown \* destinations are dropped
// whole, unbalanced braces are tolerated, and input that does not start as
// rich text is read as plain text. Text is kept as Windows-1250 bytes, like
// every string of the program; it is converted only where it meets Qt.
#include "platform/core/Colors.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rtf {

enum class TWyrownanie { Lewo, Srodek, Prawo, Obustronnie };

// The target of a link, Windows-1250. Every run and every group of one link
// shares one copy of it, however long it is and however often the
// formatting inside the link changes; and two formats are the same link
// only when they share that copy, so comparing them costs nothing.
class TLacze {
public:
    TLacze() = default;
    explicit TLacze(std::string cel)
        : FCel(cel.empty() ? nullptr : std::make_shared<const std::string>(std::move(cel)))
    {
    }
    bool empty() const { return !FCel; }
    const std::string& Cel() const
    {
        static const std::string pusty;
        return FCel ? *FCel : pusty;
    }
    operator const std::string&() const { return Cel(); }
    bool operator==(const TLacze& inne) const { return FCel == inne.FCel; }

private:
    std::shared_ptr<const std::string> FCel;
};

// Longer link targets are no web address anyone can open; such text is
// shown, but not as a link.
inline constexpr std::size_t MaksDlugoscLacza = 2048;

// Character formatting of a run of text.
struct TFormat {
    bool Pogrubienie = false;
    bool Kursywa = false;
    bool Podkreslenie = false;
    int RozmiarPolpunkty = 24;  // \fs, in half-points (24 = 12 points)
    int Czcionka = -1;          // number in the font table; -1: the document's default
    int Kolor = 0;              // index in the colour table; 0 is the automatic colour
    TLacze Lacze;               // target of a link; empty: no link

    bool operator==(const TFormat&) const = default;
};

// A run of text with one format. Inside a paragraph, '\n' is a line break
// (\line) and '\t' a tab.
struct TFragment {
    std::string Tekst;
    TFormat Format;
};

struct TAkapit {
    std::vector<TFragment> Fragmenty;
    TWyrownanie Wyrownanie = TWyrownanie::Lewo;

    std::string Tekst() const;
};

struct TCzcionka {
    int Numer = 0;
    std::string Nazwa;  // Windows-1250
};

struct TKolor {
    bool Automatyczny = true;
    TColor Wartosc = clBlack;
};

struct TDokument {
    std::vector<TAkapit> Akapity;
    std::map<int, TCzcionka> Czcionki;   // by number; the first definition of a number counts
    std::vector<TKolor> Kolory;
    int DomyslnaCzcionka = -1;  // \deffN; -1 when not given
    // False when the input did not start as rich text and was read as plain
    // text, one paragraph per line.
    bool Rtf = false;

    // Font of a number, or nullptr when the table has no such font.
    const TCzcionka* Czcionka(int numer) const;
    // Colour of an index; the automatic colour (index 0, or an index outside
    // the table) gives nullptr.
    const TKolor* Kolor(int indeks) const;
    // All paragraphs' text, joined with '\n'.
    std::string Tekst() const;
};

// Reads rich text (or plain text) from a buffer.
TDokument Czytaj(std::string_view dane);

// Reads a whole file. False, with an empty document, when the file cannot
// be opened or read.
bool CzytajPlik(const std::filesystem::path& sciezka, TDokument& dokument);

// Splits the runs of a paragraph at web addresses written as plain text
// ("www.", "http://", "https://", "ftp://", "mailto:"); each address becomes
// a run whose link target is the address text as written. Runs that are
// links already are left alone. Czytaj applies this to every paragraph.
void OznaczAdresy(TAkapit& akapit);

} // namespace rtf
