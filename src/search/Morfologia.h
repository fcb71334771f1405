#pragma once
// The Polish morphology of the system's Hunspell dictionary (hunspell-pl):
// the stems (dictionary forms) of a word form. It lets the library search
// find "umowy", "umową" and "umowie" for "umowa".
//
// Hunspell reads its dictionary in its own encoding (ISO 8859-2 for Polish);
// words come in and go out here as Windows-1250.
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class Hunspell;

namespace szukanie {

class TMorfologia {
public:
    // The Polish dictionary where Debian installs it; null when it is not
    // there or cannot be read. Loading takes about a second.
    static std::unique_ptr<TMorfologia> Wczytaj();
    // A dictionary given by its two files.
    static std::unique_ptr<TMorfologia> Wczytaj(const std::filesystem::path& aff,
                                                const std::filesystem::path& dic);
    ~TMorfologia();

    // One copy for the whole program, loaded on first use (null when the
    // dictionary is missing). Searches ask for it only when they need it.
    static TMorfologia* Wspolna();

    // The stems of a word form in lower case (Windows-1250), folded to lower
    // case; empty when the dictionary does not know the word. A word with the
    // negating prefix keeps it ("niezgodny" gives "niezgodny", not
    // "zgodny"): in a statute the negation is the point. Safe to call from
    // several threads (calls are taken one at a time).
    std::vector<std::string> Rdzenie(std::string_view slowo);

private:
    TMorfologia() = default;
    std::unique_ptr<Hunspell> FSlownik;
    std::string FKodowanie;   // the dictionary's encoding, as iconv names it
    std::mutex FBlokada;
};

// Hands out the morphology when a search needs it (loading it is slow);
// may return null.
using TDostawcaMorfologii = std::function<TMorfologia*()>;

} // namespace szukanie
