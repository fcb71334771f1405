#pragma once
// Building a document's view from its decoded text, without a window.
//
// A decoded document (TPlik: paragraphs of typed pieces of Windows-1250
// text) becomes the items of a document view: headings as centred lines,
// body text as wrapped lines, a footnote mark as a picture hotspot, and a
// paragraph gap after every non-empty paragraph. Alongside, the builder
// gives the table of contents (one entry per heading, each with an anchor
// placed in the view just before its heading) and the numbers of the
// footnote marks in the order they stand. Nothing is laid out or painted.
//
// Links found in the text (Journal citations, references to provisions)
// become text in the link style, each its own jump, cut out of the pieces
// they stand in; the text itself stays the same.
//
// The footnote list of a document is indexed separately: it is cut into
// blocks, one per footnote, so that mark n shows block n - 1.
#include "links/Odnosniki.h"
#include "store/Typy.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class TDocView;
class TImageList;

// One jump of a built view: a footnote mark or a part of a link.
struct TSkok {
    std::int32_t Przypis = 0;    // the footnote mark's number (1, 2, ...); 0 for a link
    std::int32_t Odnosnik = -1;  // the link's index in the list given to the builder
    bool operator==(const TSkok&) const = default;
};

// Where a run of a paragraph's text went: characters [Od, Od + Dlugosc) of
// paragraph Akapit (its pieces joined) are item Element of the view, from
// the item's first character. Runs come in paragraph and item order.
struct TOdcinek {
    std::uint32_t Akapit = 0;
    std::uint32_t Od = 0;
    std::int32_t Element = 0;
    std::uint32_t Dlugosc = 0;
};

// What building one document gives besides the view's items.
struct TZbudowanyDokument {
    // Contents entries: indent spaces + heading text. Entry n scrolls to the
    // view's checkpoint n.
    TListaNapisow Spis;
    // The numbers of the footnote marks, 1, 2, ... in document order.
    std::vector<std::int32_t> NumeryPrzypisow;
    // What each jump of the view is: jump id minus the view's first jump
    // number indexes it.
    std::vector<TSkok> Skoki;
    // For each paragraph, the index of its first item (the number of items
    // before it), so that a paragraph can be found in the view.
    std::vector<std::int32_t> Elementy;
    // The paragraphs' text in the items, for going to a place of the text
    // and for telling which paragraph an item shows.
    std::vector<TOdcinek> Odcinki;
};

// Called after each paragraph with the count of paragraphs done so far.
using TPostepBudowy = std::function<void(std::size_t zrobione)>;

// Appends the items of `plik` to `widok` (its earlier items, first jump
// number and style stay as they are). Footnote marks draw picture
// `obrazki::ZnakPrzypisuIndeks` of `obrazkiZnakow`. `postep` may be empty.
// `odnosniki`: links of the text to draw, in order of paragraph and offset
// (as OdnosnikiTresci gives them); links in headings are not drawn.
TZbudowanyDokument ZbudujWidokDokumentu(const TPlik& plik, TDocView& widok, const TImageList* obrazkiZnakow,
                                        const TPostepBudowy& postep = {}, const TOdnosniki* odnosniki = nullptr);

// The text style of links in a document view.
constexpr int StylOdnosnika = 4;

// Indent of a contents entry for a line of kind `rodzaj` (6..23), or -1 when
// lines of that kind give no entry.
int WciecieSpisu(int rodzaj);

// One footnote: the lines Pierwszy..Ostatni of Wiersze.
struct TBlokPrzypisu {
    std::int32_t Pierwszy = 0;
    std::int32_t Ostatni = 0;
};

// Footnote index of one tab: the blocks and a copy of the footnote lines.
struct AZapisPrzypisu {
    std::vector<TBlokPrzypisu> Bloki;
    TListaNapisow Wiersze;
};

// Footnote blocks of a footnote list: each block runs from a line starting
// with "(" through the empty line before the next footnote; the last runs to
// the end. A footnote that is not followed by an empty line ends just before
// the next one.
std::vector<TBlokPrzypisu> BlokiPrzypisow(const TListaNapisow& wiersze);

// The index of a footnote list: a copy of its lines and their blocks.
AZapisPrzypisu IndeksPrzypisow(const TListaNapisow& wiersze);

// The lines of footnote block `blok` of `zapis` appended to `linie`; nothing
// for a block that does not exist.
void TekstBloku(const AZapisPrzypisu& zapis, int blok, TListaNapisow& linie);
