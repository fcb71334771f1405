#include "search/Rdzenie.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <thread>

#include "search/Litery.h"
#include "search/Morfologia.h"
#include "store/Pliki.h"

namespace szukanie {
namespace {

constexpr std::string_view kMagia = "Rdz";
constexpr std::uint8_t kFormat = 1;

void u8(std::string& o, std::uint32_t v) { o.push_back(char(v & 0xFF)); }
void u16(std::string& o, std::uint32_t v) { u8(o, v), u8(o, v >> 8); }
void u32(std::string& o, std::uint32_t v) { u16(o, v & 0xFFFF), u16(o, v >> 16); }
void u64(std::string& o, std::uint64_t v) { u32(o, std::uint32_t(v)), u32(o, std::uint32_t(v >> 32)); }

// Bounds-checked reading; any read past the end fails and stays failed.
class Czytnik {
public:
    explicit Czytnik(std::string_view d) : d(d) {}
    template <typename T>
    bool czytaj(T& v)
    {
        if (zly || d.size() - p < sizeof(T))
            return !(zly = true);
        std::uint64_t w = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            w |= std::uint64_t(static_cast<unsigned char>(d[p + i])) << (8 * i);
        v = static_cast<T>(w);
        p += sizeof(T);
        return true;
    }
    bool napis(std::size_t n, std::string_view& v)
    {
        if (zly || d.size() - p < n)
            return !(zly = true);
        v = d.substr(p, n);
        p += n;
        return true;
    }
    std::size_t zostalo() const { return d.size() - p; }
    bool zly = false;

private:
    std::string_view d;
    std::size_t p = 0;
};

bool maCyfre(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Stems of the given forms: `morfologia` in this thread, and more threads
// with their own copies.
std::vector<std::vector<std::string>> rdzenieForm(const std::vector<std::string_view>& formy,
                                                  TMorfologia* morfologia, unsigned dodatkoweWatki)
{
    std::vector<std::vector<std::string>> wynik(formy.size());
    auto zakres = [&](TMorfologia* m, std::size_t od, std::size_t do_) {
        for (std::size_t i = od; i < do_; ++i) {
            if (m && !maCyfre(formy[i]))
                wynik[i] = m->Rdzenie(formy[i]);
            if (wynik[i].empty())
                wynik[i].emplace_back(formy[i]);
        }
    };
    if (!morfologia)
        dodatkoweWatki = 0;
    const std::size_t kawalek = (formy.size() + dodatkoweWatki) / (dodatkoweWatki + 1);
    std::vector<std::thread> w;
    for (unsigned t = 1; t <= dodatkoweWatki; ++t) {
        const std::size_t od = std::min(formy.size(), t * kawalek);
        const std::size_t do_ = std::min(formy.size(), od + kawalek);
        w.emplace_back([&, od, do_] {
            // Hunspell is not made for threads: each has its own dictionary.
            std::unique_ptr<TMorfologia> m = TMorfologia::Wczytaj();
            zakres(m.get(), od, do_);
        });
    }
    zakres(morfologia, 0, std::min(formy.size(), kawalek));
    for (auto& t : w)
        t.join();
    return wynik;
}

} // namespace

std::filesystem::path PlikRdzeni(const std::filesystem::path& slownik)
{
    std::filesystem::path p = slownik;
    p.replace_extension(".rdz");
    return p;
}

std::uint64_t OdciskSlownika(const TSlownik& slownik)
{
    // FNV-1a over each word's length and bytes.
    std::uint64_t h = 0xcbf29ce484222325ull;
    auto bajt = [&](unsigned char b) {
        h ^= b;
        h *= 0x100000001b3ull;
    };
    for (const auto& w : slownik) {
        bajt(static_cast<unsigned char>(w.Slowo.size()));
        for (char c : w.Slowo)
            bajt(static_cast<unsigned char>(c));
    }
    return h;
}

std::uint32_t TRdzenie::dodajForme(std::string_view forma)
{
    auto [it, nowa] = FNoweFormy.try_emplace(std::string(forma), std::uint32_t(FFormyOd.size() - 1));
    if (nowa) {
        FFormyZnaki.insert(FFormyZnaki.end(), forma.begin(), forma.end());
        FFormyOd.push_back(std::uint32_t(FFormyZnaki.size()));
    }
    return it->second;
}

std::uint32_t TRdzenie::dodajRdzen(std::string_view rdzen)
{
    auto [it, nowy] = FNoweRdzenie.try_emplace(std::string(rdzen), std::uint32_t(FRdzenieOd.size() - 1));
    if (nowy) {
        FRdzenieZnaki.insert(FRdzenieZnaki.end(), rdzen.begin(), rdzen.end());
        FRdzenieOd.push_back(std::uint32_t(FRdzenieZnaki.size()));
    }
    return it->second;
}

bool TRdzenie::podziel(const TSlownik& slownik, bool dodawaj)
{
    FCzesciOd.assign(1, 0);
    FCzesciOd.reserve(slownik.size() + 1);
    FCzesci.clear();
    FCzesci.reserve(slownik.size() + slownik.size() / 8);
    std::string zlozone;
    for (const auto& w : slownik) {
        bool ok = true;
        DlaSlow(w.Slowo, [&](TFragment f) {
            if (!ok || f.Od > 255 || f.Dlugosc > 255)
                return;
            zlozone.assign(w.Slowo, f.Od, f.Dlugosc);
            Zloz(zlozone, false, zlozone.data());
            std::uint32_t forma = 0;
            if (dodawaj) {
                forma = dodajForme(zlozone);
            } else {
                const auto it = FIndeksForm.find(zlozone);
                if (it == FIndeksForm.end()) {
                    ok = false;
                    return;
                }
                forma = it->second;
            }
            FCzesci.push_back(TCzesc{forma, std::uint8_t(f.Od), std::uint8_t(f.Dlugosc)});
        });
        if (!ok)
            return false;
        FCzesciOd.push_back(std::uint32_t(FCzesci.size()));
    }
    return true;
}

void TRdzenie::indeksuj()
{
    FNoweFormy.clear();
    FNoweRdzenie.clear();
    const std::size_t formy = LiczbaForm(), rdzenie = LiczbaRdzeni();
    FIndeksForm.clear();
    FIndeksForm.reserve(formy);
    for (std::uint32_t f = 0; f < formy; ++f)
        FIndeksForm.emplace(Forma(f), f);
    FIndeksRdzeni.clear();
    FIndeksRdzeni.reserve(rdzenie);
    for (std::uint32_t r = 0; r < rdzenie; ++r)
        FIndeksRdzeni.emplace(Rdzen(r), r);

    // A list per key from (key, value) pairs, values in ascending order.
    auto odwroc = [](std::size_t klucze, auto&& dlaPar, std::vector<std::uint32_t>& od,
                     std::vector<std::uint32_t>& wartosci) {
        od.assign(klucze + 1, 0);
        dlaPar([&](std::uint32_t k, std::uint32_t) { ++od[k + 1]; });
        for (std::size_t i = 0; i < klucze; ++i)
            od[i + 1] += od[i];
        wartosci.assign(od.back(), 0);
        std::vector<std::uint32_t> poz(od.begin(), od.end() - 1);
        dlaPar([&](std::uint32_t k, std::uint32_t v) { wartosci[poz[k]++] = v; });
    };
    odwroc(
        rdzenie,
        [&](auto&& f) {
            for (std::uint32_t forma = 0; forma < formy; ++forma)
                for (std::uint32_t r : RdzenieFormy(forma))
                    f(r, forma);
        },
        FFormyRdzeniaOd, FFormyRdzenia);
    odwroc(
        formy,
        [&](auto&& f) {
            for (std::uint32_t wpis = 0; wpis < LiczbaWpisow(); ++wpis) {
                const auto czesci = Czesci(wpis);
                for (std::size_t i = 0; i < czesci.size(); ++i) {
                    // An entry with a word twice ("a a") is listed once.
                    bool bylo = false;
                    for (std::size_t j = 0; j < i && !bylo; ++j)
                        bylo = czesci[j].Forma == czesci[i].Forma;
                    if (!bylo)
                        f(czesci[i].Forma, wpis);
                }
            }
        },
        FWpisyFormyOd, FWpisyFormy);
}

TRdzenie TRdzenie::Zbuduj(const TSlownik& slownik, TMorfologia* morfologia, unsigned dodatkoweWatki)
{
    TRdzenie r;
    r.FOdcisk = OdciskSlownika(slownik);
    r.FLiczbaSlow = std::uint32_t(slownik.size());
    r.podziel(slownik, true);
    std::vector<std::string_view> formy;
    formy.reserve(r.LiczbaForm());
    for (std::uint32_t f = 0; f < r.LiczbaForm(); ++f)
        formy.push_back(r.Forma(f));
    const auto rdzenie = rdzenieForm(formy, morfologia, dodatkoweWatki);
    for (const auto& lista : rdzenie) {
        for (const auto& s : lista)
            r.FRdzenieFormy.push_back(r.dodajRdzen(s));
        r.FRdzenieFormyOd.push_back(std::uint32_t(r.FRdzenieFormy.size()));
    }
    r.indeksuj();
    return r;
}

bool ZapiszRdzenieSlownika(const std::filesystem::path& slownik, std::string* blad, std::size_t* slow)
{
    auto nie = [&](std::string powod) {
        if (blad)
            *blad = std::move(powod);
        return false;
    };
    std::error_code ec;
    if (!std::filesystem::is_regular_file(slownik, ec))
        return nie("no dictionary file " + slownik.string());
    TZbiorKomunikatow komunikaty;
    TPliki pliki(&komunikaty);
    pliki.WczytajSlownik(slownik);
    if (!komunikaty.Lista.empty())
        return nie(slownik.string() + " is not a dictionary");
    TMorfologia* m = TMorfologia::Wspolna();
    if (!m)
        return nie("the Polish Hunspell dictionary (hunspell-pl) is not installed");
    const unsigned rdzenie = std::max(1u, std::thread::hardware_concurrency());
    const TRdzenie r = TRdzenie::Zbuduj(pliki.Slownik, m, rdzenie - 1);
    if (slow)
        *slow = pliki.Slownik.size();
    if (!r.ZapiszDo(PlikRdzeni(slownik)))
        return nie("cannot write " + PlikRdzeni(slownik).string());
    return true;
}

std::string TRdzenie::Zapisz() const
{
    std::string o(kMagia);
    u8(o, kFormat);
    u32(o, FLiczbaSlow);
    u64(o, FOdcisk);
    u32(o, std::uint32_t(LiczbaForm()));
    for (std::uint32_t f = 0; f < LiczbaForm(); ++f) {
        u8(o, std::uint32_t(Forma(f).size()));
        o.append(Forma(f));
    }
    u32(o, std::uint32_t(LiczbaRdzeni()));
    for (std::uint32_t s = 0; s < LiczbaRdzeni(); ++s) {
        u16(o, std::uint32_t(Rdzen(s).size()));
        o.append(Rdzen(s));
    }
    for (std::uint32_t f = 0; f < LiczbaForm(); ++f) {
        const auto r = RdzenieFormy(f);
        u8(o, std::uint32_t(r.size()));
        for (std::uint32_t s : r)
            u32(o, s);
    }
    return o;
}

bool TRdzenie::ZapiszDo(const std::filesystem::path& plik) const
{
    const std::string bajty = Zapisz();
    std::filesystem::path tymczasowy = plik;
    tymczasowy += ".tmp";
    {
        std::ofstream f(tymczasowy, std::ios::binary | std::ios::trunc);
        if (!f || !f.write(bajty.data(), std::streamsize(bajty.size())) || !f.flush())
            return false;
    }
    std::error_code ec;
    std::filesystem::rename(tymczasowy, plik, ec);
    if (ec) {
        std::filesystem::remove(tymczasowy, ec);
        return false;
    }
    return true;
}

std::optional<TRdzenie> TRdzenie::Wczytaj(const std::filesystem::path& plik, const TSlownik& slownik,
                                          std::string* blad)
{
    auto nie = [&](const std::string& powod) -> std::optional<TRdzenie> {
        if (blad)
            *blad = powod;
        return std::nullopt;
    };
    std::string bajty;
    {
        std::ifstream f(plik, std::ios::binary);
        if (!f)
            return nie("no stems file " + plik.string());
        bajty.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        if (f.bad())
            return nie("cannot read " + plik.string());
    }
    Czytnik c(bajty);
    std::string_view magia;
    std::uint8_t format = 0;
    if (!c.napis(3, magia) || magia != kMagia || !c.czytaj(format) || format != kFormat)
        return nie(plik.string() + " is not a stems file");
    TRdzenie r;
    std::uint64_t odcisk = 0;
    c.czytaj(r.FLiczbaSlow);
    c.czytaj(odcisk);
    if (c.zly || r.FLiczbaSlow != slownik.size() || odcisk != OdciskSlownika(slownik))
        return nie(plik.string() + " was made for another dictionary");
    r.FOdcisk = odcisk;

    std::uint32_t formy = 0, rdzenie = 0;
    c.czytaj(formy);
    if (formy > c.zostalo())
        return nie(plik.string() + " is damaged");
    for (std::uint32_t f = 0; f < formy && !c.zly; ++f) {
        std::uint8_t dl = 0;
        std::string_view s;
        if (c.czytaj(dl) && c.napis(dl, s)) {
            r.FFormyZnaki.insert(r.FFormyZnaki.end(), s.begin(), s.end());
            r.FFormyOd.push_back(std::uint32_t(r.FFormyZnaki.size()));
        }
    }
    c.czytaj(rdzenie);
    if (c.zly || rdzenie > c.zostalo())
        return nie(plik.string() + " is damaged");
    for (std::uint32_t s = 0; s < rdzenie && !c.zly; ++s) {
        std::uint16_t dl = 0;
        std::string_view t;
        if (c.czytaj(dl) && c.napis(dl, t)) {
            r.FRdzenieZnaki.insert(r.FRdzenieZnaki.end(), t.begin(), t.end());
            r.FRdzenieOd.push_back(std::uint32_t(r.FRdzenieZnaki.size()));
        }
    }
    for (std::uint32_t f = 0; f < formy && !c.zly; ++f) {
        std::uint8_t k = 0;
        c.czytaj(k);
        for (std::uint8_t i = 0; i < k && !c.zly; ++i) {
            std::uint32_t s = 0;
            if (c.czytaj(s) && s >= rdzenie)
                c.zly = true;
            r.FRdzenieFormy.push_back(s);
        }
        r.FRdzenieFormyOd.push_back(std::uint32_t(r.FRdzenieFormy.size()));
    }
    if (c.zly)
        return nie(plik.string() + " is damaged");

    r.FIndeksForm.reserve(formy);
    for (std::uint32_t f = 0; f < formy; ++f)
        r.FIndeksForm.emplace(r.Forma(f), f);
    if (r.FIndeksForm.size() != formy || !r.podziel(slownik, false))
        return nie(plik.string() + " does not match the dictionary's words");
    r.indeksuj();
    return r;
}

std::span<const TRdzenie::TCzesc> TRdzenie::Czesci(std::uint32_t wpis) const
{
    if (wpis + 1 >= FCzesciOd.size())
        return {};
    return {FCzesci.data() + FCzesciOd[wpis], FCzesciOd[wpis + 1] - FCzesciOd[wpis]};
}

std::optional<std::uint32_t> TRdzenie::ZnajdzForme(std::string_view zlozona) const
{
    const auto it = FIndeksForm.find(zlozona);
    if (it == FIndeksForm.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::uint32_t> TRdzenie::ZnajdzRdzen(std::string_view zlozony) const
{
    const auto it = FIndeksRdzeni.find(zlozony);
    if (it == FIndeksRdzeni.end())
        return std::nullopt;
    return it->second;
}

std::span<const std::uint32_t> TRdzenie::RdzenieFormy(std::uint32_t forma) const
{
    return {FRdzenieFormy.data() + FRdzenieFormyOd[forma], FRdzenieFormyOd[forma + 1] - FRdzenieFormyOd[forma]};
}

std::span<const std::uint32_t> TRdzenie::FormyRdzenia(std::uint32_t rdzen) const
{
    return {FFormyRdzenia.data() + FFormyRdzeniaOd[rdzen], FFormyRdzeniaOd[rdzen + 1] - FFormyRdzeniaOd[rdzen]};
}

std::span<const std::uint32_t> TRdzenie::WpisyFormy(std::uint32_t forma) const
{
    return {FWpisyFormy.data() + FWpisyFormyOd[forma], FWpisyFormyOd[forma + 1] - FWpisyFormyOd[forma]};
}

std::vector<std::uint32_t> TRdzenie::FormySlowa(std::string_view zlozone, bool dokladnie,
                                                TMorfologia* morfologia) const
{
    std::vector<std::uint32_t> wynik;
    const auto forma = ZnajdzForme(zlozone);
    if (forma)
        wynik.push_back(*forma);
    if (dokladnie)
        return wynik;
    std::vector<std::uint32_t> rdzenie;
    if (forma) {
        const auto r = RdzenieFormy(*forma);
        rdzenie.assign(r.begin(), r.end());
    } else {
        if (morfologia)
            for (const std::string& s : morfologia->Rdzenie(zlozone))
                if (const auto r = ZnajdzRdzen(s))
                    rdzenie.push_back(*r);
        if (const auto r = ZnajdzRdzen(zlozone))
            rdzenie.push_back(*r);
    }
    for (std::uint32_t r : rdzenie)
        for (std::uint32_t f : FormyRdzenia(r))
            wynik.push_back(f);
    std::sort(wynik.begin(), wynik.end());
    wynik.erase(std::unique(wynik.begin(), wynik.end()), wynik.end());
    return wynik;
}

} // namespace szukanie
