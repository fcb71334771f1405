#pragma once
// The answer to "is that target there?" for a data folder: its codes
// container and the presence files of its Journal acts, as the reader opens
// them. Several folders (the bundled library, the user's own) are asked in
// order through TBibliotekiOdnosnikow.
#include "links/Odnosniki.h"
#include "store/Pliki.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TBibliotekaFolderu : public TBibliotekaOdnosnikow {
public:
    // `pliki` decodes the codes when their units are asked for (and must
    // hold the folder's dictionary); with `jednostkiKodeksow` false they are
    // never decoded and a code's units count as present when the code is.
    TBibliotekaFolderu(TPliki& pliki, std::filesystem::path folder, bool jednostkiKodeksow);

    bool JestKodeks(int indeks) const override;
    bool JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const override;
    const TIndeksJednostek* JednostkiKodeksu(int indeks) const override;

    // The presence file of the act: named after it ("Dz.U.2016.0.380.txt"),
    // or as an older library named it ("Dz.U.2016.000.380.txt").
    std::optional<std::filesystem::path> PlikAktu(const TAkt& akt, const std::string& dawnaNazwa) const;

    const std::filesystem::path& Folder() const { return FFolder; }
    // Forgets what was looked up (the folder's contents changed).
    void Odswiez();

private:
    TPliki& FPliki;
    std::filesystem::path FFolder;
    bool FJednostki;
    mutable std::optional<std::set<int>> FKodeksy;
    mutable std::map<int, std::unique_ptr<TIndeksJednostek>> FIndeksy;
    // A code cites the same acts again and again: each is looked up once.
    struct THashAktu {
        std::size_t operator()(const TAkt& a) const
        {
            return std::hash<std::uint64_t>()((std::uint64_t(std::uint32_t(a.Rok)) << 40) ^
                                              (std::uint64_t(std::uint32_t(a.Numer)) << 20) ^ std::uint32_t(a.Pozycja));
        }
    };
    mutable std::unordered_map<TAkt, std::optional<std::filesystem::path>, THashAktu> FAkty;
    // The names of the presence files, read once: a code cites thousands of
    // acts, and asking the file system for each would take longer than
    // finding the citations.
    mutable std::optional<std::unordered_set<std::string>> FObecne;
    mutable std::map<std::pair<TAkt, std::string>, std::optional<std::filesystem::path>> FDawne;
};

// An ordered list of libraries: a target is there when any of them has it;
// units come from the first library that holds the code.
class TBibliotekiOdnosnikow : public TBibliotekaOdnosnikow {
public:
    explicit TBibliotekiOdnosnikow(std::vector<const TBibliotekaOdnosnikow*> biblioteki = {})
        : FBiblioteki(std::move(biblioteki))
    {
    }
    void Dodaj(const TBibliotekaOdnosnikow* b) { FBiblioteki.push_back(b); }

    bool JestKodeks(int indeks) const override;
    bool JestAkt(const TAkt& akt, const std::string& dawnaNazwa) const override;
    const TIndeksJednostek* JednostkiKodeksu(int indeks) const override;

private:
    std::vector<const TBibliotekaOdnosnikow*> FBiblioteki;
};
