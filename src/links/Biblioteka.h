#pragma once
// The answer to "is that target there?" for the libraries the reader reads
// from (store/Biblioteka: the user's own library, the bundled one, in their
// order): which codes their containers hold and which Journal acts have a
// presence file, as the reader opens them.
#include "links/Odnosniki.h"
#include "store/Biblioteka.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TBibliotekaDanych : public TBibliotekaOdnosnikow {
public:
    // With `jednostkiKodeksow` the codes are decoded when their units are
    // asked for (through the libraries' own messages); without, never, and a
    // code's units count as present when the code is.
    TBibliotekaDanych(TBiblioteka& biblioteka, bool jednostkiKodeksow);

    bool JestKodeks(int indeks) const override;
    bool JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const override;
    const TIndeksJednostek* JednostkiKodeksu(int indeks) const override;

    // The presence file of the act in the first library that has one: named
    // after it ("Dz.U.2016.0.380.txt"), or as an older library named it
    // ("Dz.U.2016.000.380.txt").
    std::optional<std::filesystem::path> PlikAktu(const TAkt& akt, const std::string& dawnaNazwa) const;

    // Forgets what was looked up (the libraries were read again).
    void Odswiez();

private:
    TBiblioteka& FBiblioteka;
    bool FJednostki;
    mutable std::array<std::optional<bool>, kLiczbaKodeksow> FKodeksy;
    mutable std::map<int, std::unique_ptr<TIndeksJednostek>> FIndeksy;
    struct THashAktu {
        std::size_t operator()(const TAkt& a) const
        {
            return std::hash<std::uint64_t>()((std::uint64_t(std::uint32_t(a.Rok)) << 40) ^
                                              (std::uint64_t(std::uint32_t(a.Numer)) << 20) ^ std::uint32_t(a.Pozycja));
        }
    };
    mutable std::unordered_map<TAkt, std::optional<std::filesystem::path>, THashAktu> FAkty;
    mutable std::map<std::pair<TAkt, std::string>, std::optional<std::filesystem::path>> FDawne;
    // The names of each library's presence files, read once: a code cites
    // thousands of acts, and asking the file system for each would take
    // longer than finding the citations.
    mutable std::optional<std::vector<std::unordered_set<std::string>>> FObecne;
};
