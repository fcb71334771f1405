#pragma once
// Helpers shared by the store tests: building records field by field,
// decoding them, and showing paragraphs in a readable form.
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>
#include <vector>

#include "platform/core/Cp1250.h"
#include "store/Pliki.h"
#include "store/Zapis.h"

namespace testy {

inline TSlownik slownik(const std::vector<std::string>& slowa)
{
    TSlownik s;
    for (const auto& w : slowa)
        s.push_back({w, 0});
    return s;
}

struct Dekodowany {
    TListaNapisow tekst;
    TListaNapisow przypisy;
    TPlik plik;
    TListaNapisow komunikaty;
};

inline Dekodowany dekoduj(std::string_view bajty, const TSlownik& s)
{
    Dekodowany d;
    TZbiorKomunikatow k;
    DekodujRekord(bajty, s, &k, d.tekst, d.przypisy, d.plik);
    d.komunikaty = k.Lista;
    return d;
}

// A record of one line holding the given words.
inline std::string rekordSlow(std::vector<std::uint32_t> slowa)
{
    TRekordDoZapisu r;
    r.SlowaWWierszu = {std::uint16_t(slowa.size()), 0};
    r.ZnakiWWierszu = {0, 0};
    r.T = std::int32_t(slowa.size()) - 1;
    r.Slowa = std::move(slowa);
    return ZapiszRekord(r);
}

inline Dekodowany dekoduj(const TRekordDoZapisu& r, const TSlownik& s)
{
    return dekoduj(ZapiszRekord(r), s);
}

// "[2:Art][0:. 5. text]" - kind and text of each piece.
inline std::string pokaz(const TWiersz& w)
{
    std::string o;
    for (const auto& t : w)
        o += "[" + std::to_string(t.Rodzaj) + ":" + cp1250::toUtf8(t.Tekst) + "]";
    return o;
}

inline std::vector<std::string> pokaz(const TPlik& p)
{
    std::vector<std::string> o;
    for (const auto& w : p)
        o.push_back(pokaz(w));
    return o;
}

inline TWiersz akapit(std::initializer_list<std::pair<int, std::string>> czesci)
{
    TWiersz w;
    for (const auto& [r, t] : czesci)
        w.push_back(TTekst{std::uint8_t(r), cp1250::fromUtf8(t)});
    return w;
}

// A fresh folder under the system temp folder, removed with the object.
class TymczasowyFolder {
public:
    TymczasowyFolder()
    {
        static int licznik = 0;
        p = std::filesystem::temp_directory_path() /
            ("lumesta-store-" + std::to_string(::getpid()) + "-" + std::to_string(++licznik));
        std::filesystem::remove_all(p);
        std::filesystem::create_directories(p);
    }
    ~TymczasowyFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(p, ec);
    }
    TymczasowyFolder(const TymczasowyFolder&) = delete;
    TymczasowyFolder& operator=(const TymczasowyFolder&) = delete;
    const std::filesystem::path& sciezka() const { return p; }

private:
    std::filesystem::path p;
};

inline void zapisz(const std::filesystem::path& plik, std::string_view dane)
{
    std::ofstream f(plik, std::ios::binary | std::ios::trunc);
    f.write(dane.data(), std::streamsize(dane.size()));
}

} // namespace testy
