#pragma once
// The words of a library's dictionary grouped by their stems, so that a
// search for "umowa" finds "umowy", "umową" and "umowie".
//
// A dictionary entry may hold more than a word ("„umowy”", "Dz.U.1998.106",
// two words joined): its words are the runs of letters and digits in it
// (szukanie::DlaSlow). Each distinct word, folded to lower case, is a
// "form"; each form has one or more stems, which the Polish Hunspell
// dictionary gives; a form Hunspell does not know (a number, a name, an
// invented word) is its own stem.
//
// Asking Hunspell costs about 0.1 ms a word, some 20 s for a dictionary of
// 200,000 words, so the packer groups the words once and writes the result
// beside the dictionary (PlikRdzeni); the reader and the tool load it in
// milliseconds. A dictionary without that file (or with one made for other
// words) is grouped when first needed.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/Typy.h"

namespace szukanie {

class TMorfologia;

// "Morvitane.sko" -> "Morvitane.rdz": the stems file of a dictionary.
std::filesystem::path PlikRdzeni(const std::filesystem::path& slownik);

// A fingerprint of a dictionary's words, which a stems file carries.
std::uint64_t OdciskSlownika(const TSlownik& slownik);

// Groups the words of the dictionary file `slownik` with the Polish
// morphology and writes its stems file beside it (what the packer does after
// packing). Uses every processor. False, with the reason in *blad (English),
// when the dictionary cannot be read, the morphology is missing (a file of
// ungrouped words would only hide that) or the file cannot be written.
bool ZapiszRdzenieSlownika(const std::filesystem::path& slownik, std::string* blad = nullptr,
                           std::size_t* slow = nullptr);

class TRdzenie {
public:
    // One word of a dictionary entry.
    struct TCzesc {
        std::uint32_t Forma = 0;
        std::uint8_t Od = 0;        // where it starts in the entry
        std::uint8_t Dlugosc = 0;
    };

    TRdzenie() = default;
    TRdzenie(TRdzenie&&) = default;
    TRdzenie& operator=(TRdzenie&&) = default;
    TRdzenie(const TRdzenie&) = delete;
    TRdzenie& operator=(const TRdzenie&) = delete;

    // Groups the dictionary's words with `morfologia`; without one (null)
    // every form is its own stem. `dodatkoweWatki` more threads ask Hunspell
    // side by side, each loading its own copy of the Polish dictionary
    // (about a second), which pays for large dictionaries only.
    static TRdzenie Zbuduj(const TSlownik& slownik, TMorfologia* morfologia, unsigned dodatkoweWatki = 0);
    // Reads a stems file made for this dictionary; nothing (with the reason
    // in *blad, English) when it is missing, damaged or made for other words.
    static std::optional<TRdzenie> Wczytaj(const std::filesystem::path& plik, const TSlownik& slownik,
                                           std::string* blad = nullptr);
    // The stems file's bytes.
    std::string Zapisz() const;
    // Writes them to `plik`, through a temporary file; false on any error.
    bool ZapiszDo(const std::filesystem::path& plik) const;

    std::size_t LiczbaWpisow() const { return FCzesciOd.empty() ? 0 : FCzesciOd.size() - 1; }
    std::size_t LiczbaForm() const { return FFormyOd.size() - 1; }
    std::size_t LiczbaRdzeni() const { return FRdzenieOd.size() - 1; }

    std::span<const TCzesc> Czesci(std::uint32_t wpis) const;
    std::string_view Forma(std::uint32_t forma) const
    {
        return {FFormyZnaki.data() + FFormyOd[forma], FFormyOd[forma + 1] - FFormyOd[forma]};
    }
    std::string_view Rdzen(std::uint32_t rdzen) const
    {
        return {FRdzenieZnaki.data() + FRdzenieOd[rdzen], FRdzenieOd[rdzen + 1] - FRdzenieOd[rdzen]};
    }
    std::optional<std::uint32_t> ZnajdzForme(std::string_view zlozona) const;
    std::optional<std::uint32_t> ZnajdzRdzen(std::string_view zlozony) const;
    std::span<const std::uint32_t> RdzenieFormy(std::uint32_t forma) const;
    std::span<const std::uint32_t> FormyRdzenia(std::uint32_t rdzen) const;
    std::span<const std::uint32_t> WpisyFormy(std::uint32_t forma) const;

    // The forms a searched word (folded to lower case) stands for: with
    // `dokladnie` the word itself only; otherwise every form that shares a
    // stem with it. A word the dictionary's entries do not hold is stemmed
    // by `morfologia` (when given) to find its other forms.
    std::vector<std::uint32_t> FormySlowa(std::string_view zlozone, bool dokladnie,
                                          TMorfologia* morfologia) const;

private:
    // Splits the entries into their words; `dodawaj` adds forms not yet
    // known, otherwise a missing form fails.
    bool podziel(const TSlownik& slownik, bool dodawaj);
    std::uint32_t dodajForme(std::string_view forma);
    std::uint32_t dodajRdzen(std::string_view rdzen);
    // Builds the lookups and the reverse lists from the forms, the stems and
    // the form -> stems lists.
    void indeksuj();

    std::uint64_t FOdcisk = 0;
    std::uint32_t FLiczbaSlow = 0;
    // Entries -> their words.
    std::vector<std::uint32_t> FCzesciOd;   // per entry, into FCzesci, and the end
    std::vector<TCzesc> FCzesci;
    // Forms and stems: their characters one after another. (Vectors, not
    // strings: the lookups hold views into them, which must survive moves.)
    std::vector<char> FFormyZnaki, FRdzenieZnaki;
    std::vector<std::uint32_t> FFormyOd{0}, FRdzenieOd{0};
    std::unordered_map<std::string_view, std::uint32_t> FIndeksForm, FIndeksRdzeni;
    // Form -> stems, stem -> forms, form -> entries.
    std::vector<std::uint32_t> FRdzenieFormyOd{0}, FRdzenieFormy;
    std::vector<std::uint32_t> FFormyRdzeniaOd, FFormyRdzenia;
    std::vector<std::uint32_t> FWpisyFormyOd, FWpisyFormy;
    // While grouping only: the lookups as the forms and stems come in.
    std::unordered_map<std::string, std::uint32_t> FNoweFormy, FNoweRdzenie;
};

} // namespace szukanie
