#pragma once
// A container opened for reading its act records one after another, as the
// library search walks every document. (Opening one document for reading
// goes through TPliki::OtworzDokument.)
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "store/Typy.h"

class TKontener {
public:
    // Reads the directory. False, with the reason in *blad (Windows-1250,
    // the store's own messages), when the file is missing, is no container
    // or has a damaged directory.
    bool Otworz(const std::filesystem::path& plik, std::string* blad = nullptr);

    const TTabDaneDZU& Katalog() const { return FKatalog; }
    const std::filesystem::path& Sciezka() const { return FSciezka; }

    // Whether entry i is the one the name rule finds for its key: flag 0 and
    // no earlier entry with the same key and flag 0.
    bool Otwieralny(std::size_t i) const;

    // The bytes of entry i's act record. False when they lie outside the
    // file or cannot be read.
    bool CzytajRekord(std::size_t i, std::string& rekord);

private:
    std::filesystem::path FSciezka;
    std::ifstream FPlik;
    TTabDaneDZU FKatalog;
    std::int64_t FRozmiar = 0;
    std::int64_t FPoczatekKatalogu = 0;
};
