#pragma once
// The links of a legal text: Journal of Laws citations, and references to
// provisions ("art. 148 § 2", "art. 5–7", "art. 10 ust. 2 pkt 3",
// "art. 415 k.c.", "art. 2 Konstytucji", "art. 97 ustawy z dnia 23 kwietnia
// 1964 r. – Kodeks cywilny", "art. 11 ustawy z dnia ... o ... (Dz. U. ...)").
//
// A wrong link is worse than none. A reference is a link only when the text
// says unambiguously what it refers to: a reference without a named act
// belongs to the document itself only in a code's text (in a Journal act it
// may quote another act's provision, in a footnote it usually cites the
// amending act); a reference to an act that is not a code is a link only
// when a citation right after the act's title in the same sentence says
// which act it is, and that act is in the library; a reference followed by
// any act this finder cannot tell ("ustawy", "rozporządzenia", "Traktatu",
// "u.s.p.") is no link at all.
//
// Which documents exist is not known here: the caller answers through
// TBibliotekaOdnosnikow. Text is Windows-1250; offsets count bytes from 0.
#include "store/Cytowania.h"
#include "store/Jednostki.h"
#include "store/Typy.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

enum class TRodzajOdnosnika {
    Dziennik,        // a Journal of Laws citation: the act
    Artykul,         // a unit of the document itself
    ArtykulKodeksu,  // a unit of another code
    ArtykulAktu,     // a unit of a Journal act identified by its citation
};

struct TCel {
    TRodzajOdnosnika Rodzaj = TRodzajOdnosnika::Dziennik;
    TAkt Akt;                // Dziennik, ArtykulAktu
    std::string DawnaNazwa;  // Dziennik: the older linked form's name, if written so
    int Kodeks = -1;         // ArtykulKodeksu; Artykul: the document's own code index
    TAdres Adres;            // the three article kinds, as the text cites it
    bool operator==(const TCel&) const = default;
};

// Part of the text a link covers. Line: a paragraph of the document, or a
// line of the footnote it was found in.
struct TMiejsceOdnosnika {
    std::size_t Linia = 0;
    std::size_t Od = 0;
    std::size_t Dlugosc = 0;
    bool operator==(const TMiejsceOdnosnika&) const = default;
};

struct TOdnosnik {
    // One part, or more when a citation runs over a footnote's line end.
    std::vector<TMiejsceOdnosnika> Miejsca;
    TCel Cel;
    // Whether the target is there to be opened. Journal citations are
    // links either way (the reader offers the act's web page instead).
    bool Istnieje = false;
    // The first paragraph of the target unit, when it could be looked up:
    // the cited unit or, when the target document does not divide that
    // finely, the nearest enclosing one.
    std::optional<std::size_t> Akapit;
};
using TOdnosniki = std::vector<TOdnosnik>;

// What the library holds, asked by the finder.
class TBibliotekaOdnosnikow {
public:
    virtual ~TBibliotekaOdnosnikow() = default;
    virtual bool JestKodeks(int indeks) const = 0;
    // `dawnaNazwa`: the name an older library's link gives it, or empty.
    virtual bool JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const = 0;
    // The unit index of a code when the caller has it at hand; without it
    // a reference to the code counts as existing when the code does.
    virtual const TIndeksJednostek* JednostkiKodeksu(int /*indeks*/) const { return nullptr; }
};

// The document the links are found in.
struct TZrodloOdnosnikow {
    int Kodeks = -1;  // its code index, or -1 for a Journal act
    // Its own units, for references within it (may be null: they then do
    // not exist).
    const TIndeksJednostek* Jednostki = nullptr;
    // Whether TOdnosnik::Akapit is looked up. Without it only whether the
    // target exists is (its article is there), which is quicker; a reader
    // looks the paragraph up when the link is followed.
    bool Akapity = true;
    // Without Akapity: the numbers of its articles, enough to tell whether
    // a reference's target is there.
    const class TArtykuly* Artykuly = nullptr;
    // Without Akapity, Artykuly and Jednostki: OdnosnikiTresci reads the
    // numbers of the articles itself, in the same pass over the text as the
    // links (a document opened is read once instead of twice).
    bool ArtykulyZTekstu = false;
};

// The numbers of a document's articles as they open its article lines
// ("5", "5^1", "12a"): one quick pass, for telling whether references
// within it have their target before its unit index is made. A line the
// quick pass cannot read leaves its article out (its references are then no
// links), never the other way round.
class TArtykuly {
public:
    TArtykuly() = default;
    explicit TArtykuly(const TPlik& plik);
    // Gathering them one paragraph at a time: every paragraph (any other
    // than an article line is passed over), then Uporzadkuj before Jest.
    void Dodaj(const TWiersz& akapit);
    void Uporzadkuj();
    bool Jest(const std::string& numer) const;

private:
    // A number of up to eight bytes (nearly all) packed into one integer;
    // longer ones as they are.
    std::vector<std::uint64_t> FKrotkie;  // sorted
    std::unordered_set<std::string> FDlugie;
};


// Links of the document's text, in order of paragraph and offset.
// Headings and the title lines under them are not searched (the reader
// shows them centred, without links); an article's or paragraph's own
// number is never a link.
TOdnosniki OdnosnikiTresci(const TPlik& plik, const TZrodloOdnosnikow& zrodlo, const TBibliotekaOdnosnikow& biblioteka);

// Links of one footnote: its lines are read as one text (the footnote
// window shows them as one paragraph), so that a citation may run on over
// a line end. TMiejsceOdnosnika::Linia is the index in `linie`.
TOdnosniki OdnosnikiPrzypisu(const std::vector<std::string>& linie, const TZrodloOdnosnikow& zrodlo,
                             const TBibliotekaOdnosnikow& biblioteka);

// Links of one text. `przypis`: a footnote's text, where references without
// a named act are no links. Nothing starts before `od`.
TOdnosniki OdnosnikiTekstu(std::string_view tekst, std::size_t od, bool przypis, const TZrodloOdnosnikow& zrodlo,
                           const TBibliotekaOdnosnikow& biblioteka);

// The first paragraph of the unit: the one cited or, when the document
// does not divide that finely, its nearest enclosing unit. Nothing when
// not even the article is there.
std::optional<std::size_t> ZnajdzJednostke(const TIndeksJednostek& jednostki, const TAdres& adres);
// The address that search ends at: the one cited or an enclosing one.
std::optional<TAdres> ZnajdzAdres(const TIndeksJednostek& jednostki, const TAdres& adres);

// "journal", "article", "code-article", "act-article".
const char* NazwaRodzaju(TRodzajOdnosnika rodzaj);
