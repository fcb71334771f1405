#pragma once
// Units of an act: which article, paragraph, point and letter each paragraph
// of a decoded document belongs to, under which headings it stands, and where
// a unit named by the reader or cited by the text begins.
//
// Polish acts are divided into articles ("Art. 415."), their paragraphs ("§ 2."
// in the codes, numbered "2." - "ust. 2" - elsewhere), points ("3)") and
// letters ("a)"); regulations without articles use "§ 5." as the top unit.
// Inserted units carry a superscript number, which the data writes as "5^1".
// Everything here is Windows-1250 text and needs no display.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/Typy.h"

// The address of a unit. An empty part is absent; numbers are kept as the
// data writes them ("5^1", "17a", an article range "11–13").
struct TAdres {
    std::string Artykul;
    std::string Ustep;
    bool Paragraf = false;   // the paragraph is written "§ n", not "ust. n"
    std::string Punkt;
    std::string Litera;

    bool Pusty() const { return Artykul.empty() && Ustep.empty() && Punkt.empty() && Litera.empty(); }
    bool operator==(const TAdres&) const = default;
};

// "Art. 415 § 1", "Art. 10 ust. 2 pkt 3 lit. a", "§ 5" (a regulation's
// paragraph); empty for an empty address.
std::string OpisAdresu(const TAdres& adres);

// Reads an address as a reader types it or a text cites it: "148",
// "art. 148 § 2", "5^1", "Art. 10 ust. 2 pkt 3", "art. 7 pkt 2 lit. b",
// "§ 5", "148 par. 2". Letter case and spacing are free; a full stop after a
// number is allowed. Superscript digits must already be written "^1" (the
// code page has none). Anything else in the text gives nothing.
std::optional<TAdres> RozbierzAdres(std::string_view tekst);

// One unit as the index found it: its address and its first paragraph.
struct TJednostka {
    TAdres Adres;
    std::size_t Pierwszy = 0;
};

class TIndeksJednostek {
public:
    TIndeksJednostek() = default;
    // One linear pass over the document.
    explicit TIndeksJednostek(const TPlik& plik);

    std::size_t LiczbaAkapitow() const { return FJednostkaAkapitu.size(); }

    // The innermost unit paragraph `akapit` belongs to; empty before the first
    // article, for headings and the title lines under them, and out of range.
    const TAdres& Adres(std::size_t akapit) const;

    // The headings the paragraph stands under, outermost first, each as its
    // word and number ("Dział II", "Rozdział 3", "Księga pierwsza"). The act's
    // own title ("USTAWA", "KODEKS …") is not part of the path.
    std::vector<std::string> Naglowki(std::size_t akapit) const;

    // "Dział II › Rozdział 3 › Art. 148 § 2": the headings and the unit.
    std::string OpisMiejsca(std::size_t akapit) const;

    // The first paragraph of the unit. Parts left empty in `adres` match any;
    // the parts given must all exist. A regulation's "§ 5" is found without an
    // article. An article given twice in a document is found at its first.
    std::optional<std::size_t> Znajdz(const TAdres& adres) const;

    // The paragraphs [first, end) of the unit, nested units included, for
    // highlighting or previewing it; nothing when Znajdz finds nothing.
    std::optional<std::pair<std::size_t, std::size_t>> Zakres(const TAdres& adres) const;

    // Every unit in document order.
    const std::vector<TJednostka>& Jednostki() const { return FJednostki; }

private:
    struct TWezel {
        std::string Tekst;
        std::int32_t Rodzic = -1;
    };

    std::vector<TJednostka> FJednostki;
    std::vector<std::int32_t> FJednostkaAkapitu;  // index into FJednostki, -1: none
    std::vector<std::int32_t> FWezelAkapitu;      // innermost heading, -1: none
    std::vector<TWezel> FWezly;
    // Article number (lower case) -> first unit of the article; "§n" keys the
    // paragraphs of a regulation that has no articles.
    std::unordered_map<std::string, std::int32_t> FPoczatki;
};
