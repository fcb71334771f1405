#pragma once
// Internal to the store: bytes of a file range read through a small window.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

#include "store/Pliki.h"

namespace odczyt {

// Reads bytes of a file range through a small window, so that walking a
// record's header costs a few reads whatever its tables announce.
class TOknoPliku : public TZrodloBajtow {
public:
    TOknoPliku(std::ifstream& f, std::int64_t poczatek) : FPlik(f), FPoczatek(poczatek) {}

    bool Czytaj(std::int64_t od, std::size_t ile, char* cel) override
    {
        if (od < FOkno || od + std::int64_t(ile) > FOkno + std::int64_t(FBufor.size())) {
            FPlik.clear();
            FPlik.seekg(FPoczatek + od);
            FBufor.resize(kRozmiarOkna);
            FPlik.read(FBufor.data(), std::streamsize(FBufor.size()));
            FBufor.resize(std::size_t(std::max<std::streamsize>(0, FPlik.gcount())));
            FOkno = od;
            if (ile > FBufor.size())
                return false;
        }
        std::copy_n(FBufor.data() + (od - FOkno), ile, cel);
        return true;
    }

private:
    static constexpr std::size_t kRozmiarOkna = 64 * 1024;
    std::ifstream& FPlik;
    std::int64_t FPoczatek;
    std::int64_t FOkno = 0;
    std::string FBufor;
};

} // namespace odczyt
