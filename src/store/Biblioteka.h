#pragma once
// The libraries the reader reads from, as one.
//
// A library is a dictionary file and a data folder (the codes container,
// the yearbook containers and the "Dzienniki Ustaw" presence files), as the
// packer writes them. Every library has its own dictionary, so a document is
// always decoded with the dictionary of the library it came from.
//
// The list is ordered: the first library takes precedence. The reader puts
// the user's own library (texts the user imported) before the one bundled
// with the program, and may add further ones after them (a system-wide
// folder, say). From that order:
// - a code is read from the first library whose codes container holds it, so
//   the user's code replaces the bundled code of the same name;
// - a Journal of Laws act is read from the first library whose yearbook
//   holds it; acts of all libraries are available side by side;
// - a Journal act is present when any library has its presence file;
// - the codes list is the codes of all libraries, each once, in code order.
//
// Nothing here knows of Qt; messages go through TKomunikaty like the
// store's own.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/Pliki.h"

class TBiblioteka {
public:
    explicit TBiblioteka(TKomunikaty* komunikaty = nullptr);
    ~TBiblioteka();
    TBiblioteka(const TBiblioteka&) = delete;
    TBiblioteka& operator=(const TBiblioteka&) = delete;

    void UstawKomunikaty(TKomunikaty* komunikaty);

    // Appends a library after those listed (so with lower precedence) and
    // loads its dictionary. A missing dictionary leaves the library empty:
    // it is listed but holds nothing; so does an empty folder.
    void Dodaj(const std::filesystem::path& slownik, const std::filesystem::path& folder);
    // Drops every library.
    void Wyczysc();

    // Library i read afresh from the given files (after they changed), in
    // its place in the order.
    void Zastap(std::size_t i, const std::filesystem::path& slownik, const std::filesystem::path& folder);
    // Points library i at another data folder; its dictionary stays.
    void UstawFolder(std::size_t i, const std::filesystem::path& folder);

    std::size_t Liczba() const { return FBiblioteki.size(); }
    const std::filesystem::path& Slownik(std::size_t i) const;
    const std::filesystem::path& Folder(std::size_t i) const;
    // The store of library i, with that library's dictionary loaded.
    TPliki& Pliki(std::size_t i);

    // The library that holds the named document (a code title or
    // "Dz.U.year.number.position"), -1 when none does. Silent: a damaged
    // container counts as holding nothing.
    int Gdzie(const std::string& nazwa);

    // Titles of the container the name maps to, over all libraries: each
    // title once, in the order of their keys (code order for the codes).
    // Entries whose record cannot lie in their file are left out.
    // With `tylko` >= 0, of that library alone.
    TListaNapisow Tytuly(const std::string& nazwa, int tylko = -1);

    // The first library that marks the Journal act as present
    // ("Dz.U.1998.106.668", or the three-digit form "Dz.U.2001.005.43" that
    // footnote links give); -1 when none does.
    int GdzieDziennik(const std::string& odnosnik) const;
    bool JestDziennik(const std::string& odnosnik) const { return GdzieDziennik(odnosnik) >= 0; }

    // TPliki::OtworzDokument in the library that holds the document, with
    // that library's dictionary, and its result; `tytuly` gets Tytuly(nazwa).
    // A document no library holds is reported as the store reports a missing
    // entry; a container no library has touches nothing (BrakKontenera).
    TWynikOtwarcia OtworzDokument(const std::string& nazwa, TListaNapisow& tekst, TListaNapisow& przypisy, TPlik& plik,
                        bool wczytaj, TListaNapisow& tytuly);

private:
    struct Pozycja;
    std::vector<std::unique_ptr<Pozycja>> FBiblioteki;
    // One library read: its dictionary loaded, its messages until then ours.
    std::unique_ptr<Pozycja> Wczytaj(const std::filesystem::path& slownik, const std::filesystem::path& folder);
    TKomunikaty* FKomunikaty = nullptr;
};
