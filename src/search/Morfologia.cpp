#include "search/Morfologia.h"

#include <hunspell/hunspell.hxx>
#include <iconv.h>

#include <algorithm>

#include "search/Litery.h"

namespace szukanie {
namespace {

// One conversion between two encodings; empty on any character that does
// not convert.
std::string przekoduj(const std::string& z, const char* zKodowania, const char* naKodowanie)
{
    iconv_t cd = iconv_open(naKodowanie, zKodowania);
    if (cd == iconv_t(-1))
        return {};
    std::string wynik(z.size() * 4 + 4, '\0');
    char* we = const_cast<char*>(z.data());
    std::size_t weDl = z.size();
    char* wy = wynik.data();
    std::size_t wyDl = wynik.size();
    const std::size_t r = iconv(cd, &we, &weDl, &wy, &wyDl);
    iconv_close(cd);
    if (r == std::size_t(-1) || weDl != 0)
        return {};
    wynik.resize(wynik.size() - wyDl);
    return wynik;
}

// Hunspell writes "ISO8859-2"; iconv knows it as "ISO-8859-2".
std::string nazwaIconv(std::string k)
{
    if (k.empty())
        return "ISO-8859-1";
    if (k.rfind("ISO8859", 0) == 0)
        return "ISO-" + k.substr(3);
    return k;
}

const std::string kNie = "nie";

} // namespace

std::unique_ptr<TMorfologia> TMorfologia::Wczytaj()
{
    for (const char* katalog : {"/usr/share/hunspell", "/usr/share/myspell/dicts", "/usr/share/myspell"}) {
        const std::filesystem::path k(katalog);
        std::error_code ec;
        if (std::filesystem::is_regular_file(k / "pl_PL.aff", ec) &&
            std::filesystem::is_regular_file(k / "pl_PL.dic", ec))
            return Wczytaj(k / "pl_PL.aff", k / "pl_PL.dic");
    }
    return nullptr;
}

std::unique_ptr<TMorfologia> TMorfologia::Wczytaj(const std::filesystem::path& aff,
                                                  const std::filesystem::path& dic)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(aff, ec) || !std::filesystem::is_regular_file(dic, ec))
        return nullptr;
    std::unique_ptr<TMorfologia> m(new TMorfologia);
    m->FSlownik = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
    m->FKodowanie = nazwaIconv(m->FSlownik->get_dict_encoding());
    // A dictionary that does not load knows no words at all.
    if (m->FSlownik->stem(przekoduj("umowy", "CP1250", m->FKodowanie.c_str())).empty())
        return nullptr;
    return m;
}

TMorfologia::~TMorfologia() = default;

TMorfologia* TMorfologia::Wspolna()
{
    static const std::unique_ptr<TMorfologia> m = Wczytaj();
    return m.get();
}

std::vector<std::string> TMorfologia::Rdzenie(std::string_view slowo)
{
    std::vector<std::string> wynik;
    if (slowo.empty())
        return wynik;
    const std::string w = przekoduj(std::string(slowo), "CP1250", FKodowanie.c_str());
    if (w.empty())
        return wynik;
    std::vector<std::string> rdzenie;
    {
        std::lock_guard<std::mutex> b(FBlokada);
        rdzenie = FSlownik->stem(w);
        if (rdzenie.empty()) {
            // Names are known to the dictionary only with a capital letter.
            std::string duza(slowo);
            duza[0] = static_cast<char>(Duza(static_cast<unsigned char>(duza[0])));
            const std::string d = przekoduj(duza, "CP1250", FKodowanie.c_str());
            if (!d.empty())
                rdzenie = FSlownik->stem(d);
        }
    }
    for (const std::string& r : rdzenie) {
        std::string s = Zloz(przekoduj(r, FKodowanie.c_str(), "CP1250"), false);
        if (s.empty())
            continue;
        if (slowo.substr(0, kNie.size()) == kNie && s.compare(0, kNie.size(), kNie) != 0)
            s = kNie + s;
        if (std::find(wynik.begin(), wynik.end(), s) == wynik.end())
            wynik.push_back(std::move(s));
    }
    return wynik;
}

} // namespace szukanie
