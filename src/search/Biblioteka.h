#pragma once
// One library: a dictionary and the data folder of its containers, searched
// as a whole. The reader may have several (the bundled one and the user's
// own); each is searched on its own with its own dictionary.
//
// A library is searched in document order: the codes in the order of the
// codes container, then the Journal of Laws acts that are present (their
// presence file exists), year by year in directory order. Each document's
// results are handed over as soon as it is done, so a caller can show them
// while the search goes on, and stop it.
#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "search/Morfologia.h"
#include "search/Przeszukiwanie.h"
#include "search/Rdzenie.h"
#include "search/Zapytanie.h"
#include "store/Typy.h"

namespace szukanie {

class TMorfologia;

// A document of a library.
struct TDokumentBiblioteki {
    std::string Nazwa;          // as the store's name rule reads it: a code title or "Dz.U.1998.106.668"
    std::filesystem::path Kontener;
    std::size_t Wpis = 0;       // its directory entry
};

struct TWynikDokumentu {
    TDokumentBiblioteki Dokument;
    std::vector<TLiniaWyniku> Linie;
};

class TBiblioteka {
public:
    TBiblioteka(std::filesystem::path slownik, std::filesystem::path folder);

    // Loads the dictionary and its stems file; without a usable stems file
    // the words are grouped with `morfologia` here (slow for a large
    // dictionary; see TRdzenie). False, with the reason in *blad (English),
    // when the dictionary cannot be read. `uwagi` (if given) hears about a
    // missing or stale stems file.
    bool Przygotuj(const TDostawcaMorfologii& morfologia, std::string* blad = nullptr,
                   const std::function<void(const std::string&)>& uwagi = {});
    bool Gotowa() const { return FGotowa; }
    // Whether words grouped by Przygotuj (there was no usable stems file)
    // are written to the stems file for next time: for a library of the
    // user's own, which the program may write to.
    void UstawZapisRdzeni(bool zapisuj) { FZapisRdzeni = zapisuj; }

    const std::filesystem::path& PlikSlownika() const { return FPlikSlownika; }
    const std::filesystem::path& Folder() const { return FFolder; }
    const TSlownik& Slownik() const { return FSlownik; }
    const TRdzenie& Rdzenie() const { return FRdzenie; }

    // The documents, in search order.
    std::vector<TDokumentBiblioteki> Dokumenty() const;

    // Searches every document; `wynik` gets each document that has results,
    // in order, on the calling thread, and may return false to stop.
    // `przerwij` (if given) is looked at between documents. Returns false
    // when stopped. Documents are searched by `watki` threads side by side
    // (0: one per processor); documents named in `pomin` are left out (a
    // library read before this one holds them). Safe to run from another
    // thread once the library is ready, and from several at once.
    bool Szukaj(const TZapytanie& zapytanie, const TDostawcaMorfologii& morfologia,
                const std::function<bool(TWynikDokumentu&&)>& wynik,
                const std::atomic<bool>* przerwij = nullptr, unsigned watki = 0,
                const std::unordered_set<std::string>* pomin = nullptr) const;

private:
    std::filesystem::path FPlikSlownika;
    std::filesystem::path FFolder;
    TSlownik FSlownik;
    TRdzenie FRdzenie;
    std::string FOstatnie;   // last letter of each word, for decoding chosen lines
    bool FGotowa = false;
    bool FZapisRdzeni = false;
};

} // namespace szukanie
