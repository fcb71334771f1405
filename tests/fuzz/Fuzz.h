#pragma once
// Shared by the fuzz targets: a check that stops the run loudly (libFuzzer
// keeps the input that tripped it), and a scratch folder for the targets
// that must go through real files. The scratch folder lives in memory
// (/dev/shm) where there is one, so that writing an input costs little.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#define FUZZ_CHECK(warunek)                                                                   \
    do {                                                                                      \
        if (!(warunek)) {                                                                     \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #warunek); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

namespace fuzz {

inline std::string_view bajty(const std::uint8_t* dane, std::size_t rozmiar)
{
    return {reinterpret_cast<const char*>(dane), rozmiar};
}

class TFolderRoboczy {
public:
    TFolderRoboczy()
    {
        std::error_code ec;
        const std::filesystem::path baza =
            std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                         : std::filesystem::temp_directory_path();
        FSciezka = baza / ("lumesta-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(FSciezka, ec);
    }
    ~TFolderRoboczy()
    {
        std::error_code ec;
        std::filesystem::remove_all(FSciezka, ec);
    }
    const std::filesystem::path& operator()() const { return FSciezka; }

private:
    std::filesystem::path FSciezka;
};

inline const TFolderRoboczy& folderRoboczy()
{
    static const TFolderRoboczy f;
    return f;
}

inline void zapisz(const std::filesystem::path& plik, std::string_view dane)
{
    std::ofstream f(plik, std::ios::binary | std::ios::trunc);
    f.write(dane.data(), std::streamsize(dane.size()));
}

} // namespace fuzz
